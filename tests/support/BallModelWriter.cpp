#include "support/BallModelWriter.h"

#include "support/LevelFixtures.h"

namespace test {

void writeBallModel(SceneWriter& writer, BallModel kind, const std::string& formRecord) {
	if (!formRecord.empty())
		writer.userProperty("D_forminfo", "D_forminfo=" + formRecord);
	if (kind == BallModel::Empty)
		return;
	LevelFixtures parts(writer);
	writer.dummy("plimbo").box({-60, -60, -60}, {60, 60, 60});
	if (kind == BallModel::Full) {
		parts.mesh("body", boxTriangles({-50, -50, -50}, {50, 50, 50}), "").parent("plimbo").position(10, 50, 0);
		writer.node("G_plimbo_lookat_eyes").parent("plimbo");
		parts.mesh("plimbo_eyeballs", boxTriangles({-5, -5, -5}, {5, 5, 5}), "")
			.parent("G_plimbo_lookat_eyes")
			.position(10, 50, 30);
	} else {
		parts.mesh("body", boxTriangles({-50, -20, -50}, {50, 20, 50}), "").parent("plimbo").position(10, 50, 0);
	}
	parts.mesh("shadow_plimbo", rectangleTriangles(-60, -60, 60, 60, 0), "").parent("plimbo");
	writer.dummy("cameraposition").position(0, 200, -500).parent("plimbo");
	writer.dummy("cameralookat").position(0, 0, 300).parent("plimbo");
	writer.dummy("splash").parent("plimbo");
	writer.node("G_plimbo_eyes_rolling").parent("plimbo");
}

} // namespace test
