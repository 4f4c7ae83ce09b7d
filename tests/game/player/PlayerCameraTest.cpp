// The follow camera after it has settled (dt 1/60, radius 50): where it
// stands in each mode, walls that pull it in and poles that do not, the
// ground and water below it, camera guides, and the orbit's input.

#include "RailFixture.h"
#include "VectorMatch.h"

#include <cmath>
#include <functional>

using math::Vector3;
using playertest::near;
using playertest::orbitOf;
using playertest::Level;
using playertest::RailLevel;
using playertest::kFrame;
using playertest::settle;
using playertest::kPi;

namespace {

Vector3 orbit(float yaw, float pitch) {
	return Vector3(-std::sin(yaw) * std::cos(pitch), std::sin(pitch), -std::cos(yaw) * std::cos(pitch));
}

Vector3 position(const hgr::Node* camera) {
	return camera->getWorldTransform().getTranslation();
}

// Whether the camera looks at point (its z axis points there).
::testing::AssertionResult looksAt(const hgr::Node* camera, const Vector3& point) {
	const math::Matrix3x4 m = camera->getWorldTransform();
	return near((point - m.getTranslation()).normalize(), m.getColumn(2).normalize(), 1e-3f);
}

// A ball at rest on a floor at height floorY (at the origin), with extra pieces.
struct CameraLevel : Level {
	explicit CameraLevel(const std::function<void(Level&)>& extra = nullptr, float floorY = 0.f) {
		pieces.mesh("floor", test::floorTriangles(5000.f, floorY));
		pieces.dummyAt("D_start", 0, floorY + 100.f, 0);
		if (extra)
			extra(*this);
		build();
		player->placeAtStart();
		run(30);
		camera = addCamera();
	}
	hgr::Node* camera = nullptr;
	Vector3 ball() const { return player->ballPosition(); }
};

TEST(PlayerCamera, WhereTheCameraSettlesInEachMode) {
	{
		CameraLevel level;
		level.player->setMoveInput(true, false, false, 0.f, 0.f);
		level.player->step(false, kFrame, 0.f, 0.f);
		settle(*level.player, level.camera);
		const Vector3 p = level.ball();
		EXPECT_TRUE(near(p + orbit(0.f, 0.59f) * 720.f, position(level.camera), 0.05f)) << "orbit, yaw 0, pitch 0.59";
		EXPECT_TRUE(looksAt(level.camera, p + Vector3(0, 25, 0))) << "orbit";
	}
	{
		CameraLevel level;
		settle(*level.player, level.camera);
		const Vector3 p = level.ball();
		EXPECT_TRUE(near(p + Vector3(0, 400, -600), position(level.camera), 0.05f)) << "trailing, forward +z";
		EXPECT_TRUE(looksAt(level.camera, p + Vector3(0, 25, 0))) << "trailing";
	}
	{
		RailLevel level;
		ASSERT_TRUE(level.untilOnRail());
		level.run(10);
		hgr::Node* camera = level.addCamera();
		settle(*level.player, camera);
		const Vector3 p = level.player->ballPosition();
		ASSERT_TRUE(near(Vector3(0, 1, 0), level.player->body().up, 1e-3f));
		EXPECT_TRUE(near(p + Vector3(0, 158, -465), position(camera), 0.05f)) << "rail, F +z, U +y";
		EXPECT_TRUE(looksAt(camera, p + Vector3(0, 15, 312))) << "rail";
		EXPECT_NEAR(0.f, camera->getWorldTransform().getColumn(0).y, 1e-3f) << "no roll on a level rail";
	}
}

TEST(PlayerCamera, ALowOrbitComesCloserAndLooksHigher) {
	Level level; // nothing to hit: only the orbit decides
	lumaroll::Player& player = level.build();
	hgr::Node* camera = level.addCamera();
	player.setMoveInput(true, false, false, 0.f, 0.f);
	player.addCameraInput(0.f, -2.f);
	player.step(false, kFrame, 0.f, 0.f);
	settle(player, camera);
	const Vector3 p = player.ballPosition();
	EXPECT_NEAR(288.f, (position(camera) - p).length(), 0.05f) << "40 % of 720 at pitch -0.6";
	EXPECT_TRUE(near(p + orbit(0.f, -0.6f) * 288.f, position(camera), 0.05f));
	EXPECT_TRUE(looksAt(camera, p + Vector3(0, 25 + 2 * 50 * 0.75f, 0)));
}

struct InputCase {
	const char* name;
	float yaw, pitch; // the input
	float orbitPitch; // the pitch it turns the orbit to (from 0.59)
};

TEST(PlayerCamera, AStickModeStepSpendsTheCameraInputItTurnsBy) {
	// One input, then steps without one, each followed by the camera's
	// placement as in the session's frame: the orbit turns once, by the input.
	const InputCase cases[] = {
		{"within the pitch's range", 0.5f, 0.3f, 0.89f},
		{"above it", -0.4f, 2.f, 1.2f},
		{"below it", 1.f, -3.f, -0.6f},
	};
	for (const InputCase& c : cases) {
		Level level; // nothing to hit: only the orbit places the camera
		lumaroll::Player& player = level.build();
		hgr::Node* camera = level.addCamera();
		player.setMoveInput(true, false, false, 0.f, 0.f);
		player.step(false, kFrame, 0.f, 0.f); // the orbit takes the heading, 0
		player.updateCamera(camera, kFrame);
		player.addCameraInput(c.yaw, c.pitch);
		for (int i = 0; i < 10; ++i) {
			player.setMoveInput(true, false, false, 0.f, 0.f);
			player.step(false, kFrame, 0.f, 0.f);
			player.updateCamera(camera, kFrame);
		}
		settle(player, camera);
		const playertest::Orbit orbit = orbitOf(camera, player.ballPosition());
		EXPECT_NEAR(c.yaw, orbit.yaw, 1e-5f) << c.name;
		EXPECT_NEAR(c.orbitPitch, orbit.pitch, 1e-5f) << c.name;
		EXPECT_GE(orbit.pitch, -0.6f - 1e-5f) << c.name;
		EXPECT_LE(orbit.pitch, 1.2f + 1e-5f) << c.name;
	}
}

void pole(Level& level) {
	level.pieces.mesh("pole01", test::poleTriangles(0.f, -300.f, 5.f, 2000.f));
}

void wallAcross(Level& level) {
	level.pieces.mesh("wall01", test::wallTriangles(0.f, 1000.f, 2000.f))
		.transform(test::rotationY(kPi / 2, 0, 0, -300));
}

struct BlockCase {
	const char* name;
	void (*build)(Level&);
	float distance; // of the settled camera from the look point
};

TEST(PlayerCamera, WallsPullTheCameraInPolesDoNot) {
	// Trailing: from B = P + (0, 25, 0) towards P + (0, 400, -600), 707.6 long;
	// a wall 300 behind the ball meets the rays 353.8 along them.
	const BlockCase cases[] = {
		{"a thin pole hides one ray", pole, std::sqrt(375.f * 375.f + 600.f * 600.f)},
		{"a wall hides all three", wallAcross, 300.f / (600.f / std::sqrt(375.f * 375.f + 600.f * 600.f)) - 50.f},
	};
	for (const BlockCase& c : cases) {
		CameraLevel level(c.build);
		settle(*level.player, level.camera);
		const Vector3 base = level.ball() + Vector3(0, 25, 0);
		EXPECT_NEAR(c.distance, (position(level.camera) - base).length(), 0.05f) << c.name;
		EXPECT_GE((position(level.camera) - base).length(), 150.f) << c.name;
	}
}

TEST(PlayerCamera, TheGroundAndTheWaterKeepTheCameraAbove) {
	// A slope behind the ball, 50 above the line from the look point to the
	// trailing point: no step towards the ball clears it, so the camera
	// rises above the ground at the trailing point.
	const auto slope = [](Level& l) {
		const auto at = [](float x, float d) { return test::Vec3{x, 125.f + 0.625f * d, -d}; };
		l.pieces.mesh("slope",
					  {at(-1000, 100), at(1000, 100), at(1000, 700), at(-1000, 100), at(1000, 700), at(-1000, 700)});
	};
	CameraLevel raised(slope);
	settle(*raised.player, raised.camera);
	EXPECT_NEAR(125.f + 0.625f * 600.f + 40.f, position(raised.camera).y, 0.05f) << "ground + 40";
	EXPECT_NEAR(-600.f, position(raised.camera).z - raised.ball().z, 0.05f);

	// A ledge at 430 from 500 to 700 behind: the camera moves in by 5 % steps
	// until it has left the ledge (at 80 %).
	CameraLevel ledge([](Level& l) { l.pieces.mesh("ledge", test::rectangleTriangles(-1000, -700, 1000, -500, 430)); });
	settle(*ledge.player, ledge.camera);
	const Vector3 base = ledge.ball() + Vector3(0, 25, 0);
	EXPECT_TRUE(near(base + Vector3(0, 375, -600) * 0.8f, position(ledge.camera), 0.05f));

	for (const bool water : {true, false}) {
		CameraLevel level(nullptr, -1000.f);
		if (water)
			level.player->setWaterHeightCallback([](float, float, float& height) {
				height = 100.f;
				return true;
			});
		settle(*level.player, level.camera);
		EXPECT_NEAR(water ? 130.f : level.ball().y + 400.f, position(level.camera).y, 0.05f) << water;
	}
}

TEST(PlayerCamera, AGuideTurnsTheCameraAlongItsPaths) {
	RailLevel level;
	lumaroll::Player& player = *level.player;
	hgr::Node* camera = level.addCamera();
	player.setTiltScheme(true);
	testing::internal::CaptureStdout();
	level.world->runCommand("setguidingobject", {"L_guide1"});
	level.pausedFrame();
	testing::internal::GetCapturedStdout();
	settle(player, camera);
	// The camera path runs 1000 to the side of the look path and 500 above it.
	EXPECT_NEAR(kPi / 2, orbitOf(camera, player.ballPosition()).yaw, 1e-3f);
	const Vector3 offset = position(camera) - player.ballPosition();
	EXPECT_NEAR(720.f, offset.length(), 0.05f);
	EXPECT_NEAR(std::atan2(500.f, 1000.f), std::asin(offset.y / offset.length()), 1e-3f);
}

TEST(PlayerCamera, AGuideWithAZeroLengthTrackUsesTheStartOfItsPaths) {
	Level level;
	level.pieces.mesh("floor", test::floorTriangles(5000.f, 0.f));
	test::RailDrawing guide;
	guide.track = {{{0, 0, 0}, {0, 0, 0}}};
	guide.cameraPosition = test::straightSegments({0, 300, -1000}, {2000, 300, -1000}, 4);
	guide.cameraLookAt = test::straightSegments({1000, 0, 0}, {1000, 0, 3000}, 4);
	level.pieces.railNode("L_zero", guide);
	lumaroll::Player& player = level.build();
	testing::internal::CaptureStdout();
	player.buildRails();
	level.world->runCommand("setguidingobject", {"L_zero"});
	level.pausedFrame();
	testing::internal::GetCapturedStdout();
	player.setTiltScheme(true);
	hgr::Node* camera = level.addCamera();
	settle(player, camera);
	EXPECT_NEAR(kPi / 4, orbitOf(camera, player.ballPosition()).yaw, 1e-3f);
	const Vector3 offset = position(camera) - player.ballPosition();
	EXPECT_NEAR(std::atan2(300.f, std::sqrt(2.f) * 1000.f), std::asin(offset.y / offset.length()), 1e-3f);
}

} // namespace
