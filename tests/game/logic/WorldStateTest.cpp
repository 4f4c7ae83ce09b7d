// The world's state that the session and the player read: variables, the
// node table, and the flags and request queue the player takes.
#include "logic/SceneWorld.h"
#include "support/FakeSceneLoader.h"
#include "support/TriggerScript.h"

#include <gtest/gtest.h>

namespace {

test::SceneWriter twoBoxes() {
	test::SceneWriter w;
	w.node("box").position(1.f, 2.f, 3.f);
	w.node("lid").parent("box");
	w.node("box").position(9.f, 9.f, 9.f);
	return w;
}

TEST(TriggerScriptBuilder, WritesKeysInCallOrder) {
	EXPECT_EQ(test::TriggerScript().state(2).executeType(0).a("addscore,5").a("levelcomplete").e("nop").text(),
			  "state=2\nexecutetype=0\na01=addscore,5\na02=levelcomplete\ne01=nop\n");
	EXPECT_EQ(test::TriggerScript().a("nop").key("a03", "delay,1").key("a100", "nop").line(" raw ").crLineEnds().text(),
			  "a01=nop\r\na03=delay,1\r\na100=nop\r\n raw \r\n");
}

TEST(WorldState, FindNodeTakesTheTableFirstThenTheScene) {
	test::FakeScene level = test::loadFakeScene(twoBoxes());
	lumaroll::SceneWorld world(level.scene);
	EXPECT_EQ(world.findNode("scene"), level.scene.ptr());
	hgr::Node* lastBox = nullptr;
	for (hgr::Node* n = level.scene; n; n = n->next(level.scene)) {
		if (std::string(n->getName().c_str()) == "box")
			lastBox = n;
	}
	ASSERT_NE(lastBox, level.scene->findNode("box")) << "the scene's own search finds the other one";
	EXPECT_EQ(world.findNode("box"), lastBox) << "the later of two nodes of one name";
	ASSERT_NE(world.findNode("lid"), nullptr);
	EXPECT_EQ(world.findNode("nothing"), nullptr);
	EXPECT_EQ(world.findNode(""), nullptr);
	world.nodeCache["alias"] = world.findNode("lid");
	EXPECT_EQ(world.findNode("alias"), world.findNode("lid"));
}

TEST(WorldState, TakesReturnTheFlagOnceAndEmptyTheQueue) {
	test::FakeScene level = test::loadFakeScene(twoBoxes());
	lumaroll::SceneWorld world(level.scene);
	EXPECT_FALSE(world.takeLevelFailed());
	EXPECT_FALSE(world.hasVariable("score"));
	world.setVariable("score", 0.f);
	EXPECT_TRUE(world.hasVariable("score"));
	std::vector<lumaroll::PlayerRequest> taken(3);
	world.takePlayerRequests(taken);
	EXPECT_TRUE(taken.empty());
}

TEST(WorldState, VariablesAndEvaluation) {
	test::FakeScene level = test::loadFakeScene(twoBoxes());
	lumaroll::SceneWorld world(level.scene);
	world.setPersistentVariable("kept", 4.f);
	EXPECT_EQ(world.getVariable("kept"), 4.f);
	world.setVariable("score", 12.f);
	struct {
		const char* text;
		float value;
	} cases[] = {{"", 0.f}, {"1e3", 1000.f}, {"score", 12.f}, {"2.5", 2.5f}, {"2x", 0.f}, {"-", 0.f}};
	for (const auto& c : cases)
		EXPECT_EQ(world.evaluate(c.text), c.value) << "'" << c.text << "'";
	EXPECT_EQ(world.getVariable("never"), 0.f);
	EXPECT_FALSE(world.hasVariable("never"));
}

} // namespace
