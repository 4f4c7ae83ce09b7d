// A writer-made level with rails: L_rail1 along +z from the origin hands over
// to L_rail2 (drawn in two pieces), both over one floor strip; the camera
// guide L_guide1 beside them; the volume T_attach at the start puts the ball
// on L_rail1; T_fall1 counts falls in "falls".
#pragma once

#include "PlayerFixture.h"

#include <functional>
#include <string>

namespace playertest {

struct RailLevel : Level {
	static constexpr float kLength1 = 6000.f;
	static constexpr float kLength2 = 20000.f;

	// extra adds pieces (walls, other rails) before the level is built.
	explicit RailLevel(const std::function<void(Level&)>& extra = nullptr) {
		draw(*this);
		if (extra)
			extra(*this);
		build();
		testing::internal::CaptureStdout();
		player->buildRails();
		railsOutput = testing::internal::GetCapturedStdout();
		player->placeAtStart();
	}

	// Draws the level's pieces into level (for the parts on their own).
	static void draw(Level& level) {
		const float end1 = kLength1, end2 = kLength1 + kLength2;
		level.pieces.mesh("bed", test::rectangleTriangles(-1500, -1000, 1500, end2, 0.f));

		test::RailDrawing rail1;
		rail1.track = test::shuffledSegments(test::straightSegments({0, 0, 0}, {0, 0, end1}, 40));
		rail1.trackNormal = test::reversedSegments(test::straightSegments({0, 3000, 0}, {0, 3000, end1}, 40));
		rail1.properties = "tracknormalgravity=1\nnext=L_rail2\ndeathplane=T_fall1";
		level.pieces.railNode("L_rail1", rail1);

		// Two pieces 10 apart; the gap adds nothing to the length.
		test::RailDrawing rail2;
		const float half = end1 + 0.5f * kLength2;
		rail2.track = test::joinedSegments(
			test::shuffledSegments(test::straightSegments({0, 0, end1}, {0, 0, half}, 20), 5),
			test::shuffledSegments(test::straightSegments({0, 0, half + 10.f}, {0, 0, end2 + 10.f}, 20), 7));
		rail2.trackNormal = test::straightSegments({0, 3000, end1}, {0, 3000, end2}, 10);
		rail2.properties = "tracknormalgravity=1\ndeathplane=T_fall1";
		level.pieces.railNode("L_rail2", rail2);

		test::RailDrawing guide;
		guide.track = test::straightSegments({5000, 0, 0}, {5000, 0, 4000}, 8);
		guide.cameraPosition = test::straightSegments({4000, 500, 0}, {4000, 500, 4000}, 8);
		guide.cameraLookAt = test::straightSegments({5000, 0, 0}, {5000, 0, 4000}, 8);
		level.pieces.railNode("L_guide1", guide);

		level.pieces.boxVolume("T_attach", {-200, 0, -200}, {200, 300, 200},
							   test::TriggerScript().a("attachtorail,1,L_rail1"));
		level.writer.dummy("T_fall1");
		level.writer.userProperty("T_fall1", test::TriggerScript().a("add,falls,1"));
		level.pieces.dummyAt("D_start", 0, 100, 0);
		level.pieces.dummyAt("cp1", 1000, 100, -500);
	}

	// What buildRails printed.
	std::string railsOutput;

	// Steps until the ball rides a rail (at most a second); false when it never does.
	bool untilOnRail(float steer = 0.f) {
		for (int i = 0; i < 60 && !player->onRail(); ++i)
			player->step(false, kFrame, 0.f, steer);
		return player->onRail();
	}

	void ride(float seconds, float steer = 0.f) { run(int(seconds * 60.f + 0.5f), kFrame, 0.f, steer); }

	float speed() { return world->getVariable("speed01"); }
};

} // namespace playertest
