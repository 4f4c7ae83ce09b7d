// Shadows on the ground: the ball's built quad and the model's own shadow
// node by height, slope and rail, and the shadow copies of objects; the
// shadows on their own where a case needs the ball set by hand.

#include "PlayerFixture.h"
#include "VectorMatch.h"

#include <cmath>
#include <functional>

using math::Vector3;
using playertest::near;
using playertest::Level;
using playertest::kFrame;
using playertest::kPi;

namespace {

// The built shadow quad of a ball of radius 50 over ground made by build.
struct ShadowLevel : Level {
	explicit ShadowLevel(const std::function<void(Level&)>& ground) {
		ground(*this);
		buildParts().shadows.createBallShadow(loaded.context);
		shadow = node("sombra_jugador");
	}
	// Places the shadow of the ball at p, heading 0: off rails, or on one
	// with the ball's up.
	void ballAt(const Vector3& p, const Vector3* railUp = nullptr) {
		lumaroll::BallBody ball;
		ball.position = p;
		if (railUp)
			ball.up = *railUp;
		parts->shadows.placeBallShadow(ball, railUp != nullptr, 0.f);
	}
	hgr::Node* shadow = nullptr;
};

void flatFloor(Level& level) {
	level.pieces.mesh("floor", test::floorTriangles(3000.f, 0.f));
}

struct HeightCase {
	const char* name;
	float centre; // height of the ball's centre above the floor
	bool shown;
	float size; // half width of the quad
};

TEST(PlayerShadows, TheBallsShadowShrinksWithHeightAndGoes) {
	const HeightCase cases[] = {
		{"resting", 50.f, true, 47.5f},
		{"centre 4r up: 70 %", 200.f, true, 33.25f},
		{"centre 7r up: 40 %", 350.f, true, 19.f},
		{"centre 8r up", 400.f, false, 0.f},
		{"no ground within 12r", 650.f, false, 0.f},
	};
	for (const HeightCase& c : cases) {
		ShadowLevel level(flatFloor);
		ASSERT_NE(nullptr, level.shadow);
		level.ballAt(Vector3(100, c.centre, -200));
		EXPECT_EQ(c.shown, level.shadow->isEnabled()) << c.name;
		if (!c.shown)
			continue;
		const math::Matrix3x4& m = level.shadow->getTransform();
		EXPECT_NEAR(c.size, m.getColumn(0).length(), 1e-3f) << c.name;
		EXPECT_NEAR(c.size, m.getColumn(2).length(), 1e-3f) << c.name;
		EXPECT_TRUE(near(Vector3(0, 1, 0), m.getColumn(1))) << c.name;
		EXPECT_TRUE(near(Vector3(100, 6, -200), m.getTranslation())) << c.name << ": 0.12 r above the ground";
	}
}

TEST(PlayerShadows, OnASlopeTheShadowLiesAlongTheGround) {
	ShadowLevel level([](Level& l) { l.pieces.mesh("slope", test::slopeTriangles(30.f, 2000.f)); });
	level.ballAt(Vector3(0, 300, 0));
	ASSERT_TRUE(level.shadow->isEnabled());
	const math::Matrix3x4& m = level.shadow->getTransform();
	const Vector3 n(-0.5f, std::sqrt(3.f) / 2, 0);
	EXPECT_TRUE(near(n, m.getColumn(1)));
	EXPECT_TRUE(near(n * 6.f, m.getTranslation()));
	const float k = 1.f - 0.6f * 250.f / 300.f;
	EXPECT_NEAR(k * 47.5f, m.getColumn(0).length(), 1e-3f);
	EXPECT_NEAR(0.f, m.getColumn(0).dot(n), 1e-3f);
}

TEST(PlayerShadows, OnARailTheShadowFallsAlongMinusUp) {
	ShadowLevel level(flatFloor);
	const Vector3 up(0.6f, 0.8f, 0.f);
	level.ballAt(Vector3(0, 100, 500), &up);
	ASSERT_TRUE(level.shadow->isEnabled());
	// 125 along (-0.6, -0.8, 0) meets the floor at x -75: 75 above the ground.
	EXPECT_TRUE(near(Vector3(-75, 6, 500), level.shadow->getTransform().getTranslation()));
	EXPECT_NEAR((1.f - 0.6f * 75.f / 300.f) * 47.5f, level.shadow->getTransform().getColumn(0).length(), 1e-3f);
}

TEST(PlayerShadows, TheStepCastsTheShadowOfABallOnABankedRailAlongMinusUp) {
	// A rail whose up leans 0.6 towards +x over the floor.
	Level level;
	flatFloor(level);
	test::RailDrawing banked;
	banked.track = test::straightSegments({0, 0, -2000}, {0, 0, 2000}, 8);
	banked.trackNormal = test::straightSegments({2250, 3000, -2000}, {2250, 3000, 2000}, 8);
	banked.properties = "tracknormalgravity=1";
	level.pieces.railNode("L_banked", banked);
	level.pieces.dummyAt("onTheTrack", 0, 55, -1500);
	lumaroll::Player& player = level.build();
	level.attachModel(test::BallModel::Empty);
	testing::internal::CaptureStdout();
	player.buildRails();
	testing::internal::GetCapturedStdout();
	level.moveBallTo("onTheTrack");
	level.world->runCommand("attachtorail", {"1", "L_banked"});
	level.run(30);
	ASSERT_TRUE(player.onRail());
	const Vector3 p = player.ballPosition();
	const Vector3 u = player.body().up * (1.f / player.body().up.length());
	ASSERT_TRUE(near(Vector3(0.6f, 0.8f, 0.f), u, 0.01f));
	hgr::Node* shadow = level.node("sombra_jugador");
	ASSERT_TRUE(shadow->isEnabled());
	EXPECT_TRUE(near(p - u * (p.y / u.y) + Vector3(0, 6, 0), shadow->getTransform().getTranslation(), 0.05f));
}

TEST(PlayerShadows, TheModelsOwnShadowTurnsWithTheHeading) {
	Level level;
	flatFloor(level);
	level.pieces.dummyAt("D_start", 0, 100, 0);
	level.pieces.dummyAt("high", 0, 200, 0);
	level.build();
	level.attachModel(test::BallModel::Full);
	lumaroll::Player& player = *level.player;
	player.placeAtStart();
	// Turning for half a second, the heading summed as the step sums it.
	float h = 0.f;
	for (int i = 0; i < 30; ++i) {
		player.step(false, kFrame, 0.f, 0.5f);
		h += 0.5f * 2.4f * kFrame;
	}
	ASSERT_NEAR(0.6f, h, 1e-4f);
	level.moveBallTo("high");
	level.pausedFrame();
	hgr::Node* shadow = level.node("shadow_plimbo");
	ASSERT_NE(nullptr, shadow);
	EXPECT_EQ(nullptr, level.node("sombra_jugador"));
	ASSERT_TRUE(shadow->isEnabled());
	const math::Matrix3x4& m = shadow->getTransform();
	EXPECT_NEAR(0.7f * std::cos(h), m.m[0][0], 1e-4f);
	EXPECT_NEAR(0.7f * std::sin(h), m.m[0][2], 1e-4f);
	EXPECT_NEAR(-0.7f * std::sin(h), m.m[2][0], 1e-4f);
	EXPECT_NEAR(1.f, m.m[1][1], 1e-4f);
	EXPECT_TRUE(near(Vector3(0, 6, 0), m.getTranslation()));
}

// The lamp O_lamp at (500, height, 0) with the shadow copy O_lamp_shadow
// (its box centred 10, 0, 20 off the lamp, turned a quarter about y) registered
// as its caster; T_take unlinks the lamp. The ball waits far from both; a
// paused frame places the shadows.
struct CasterLevel : Level {
	CasterLevel(float height, bool hideWhenHigh, const std::function<void(Level&)>& ground = flatFloor) {
		ground(*this);
		writer.dummy("O_lamp").position(500, height, 0);
		pieces.mesh("O_lamp_shadow", test::rectangleTriangles(-30, -40, 50, 80, 0), "")
			.parent("O_lamp")
			.transform(test::rotationY(kPi / 2));
		writer.dummy("T_take");
		writer.userProperty("T_take", test::TriggerScript().a("unlink,O_lamp"));
		pieces.dummyAt("D_start", -1500, 2000, -1500);
		build();
		player->placeAtStart();
		lamp = node("O_lamp");
		shadow = node("O_lamp_shadow");
		player->addShadowCaster(shadow, lamp, hideWhenHigh);
		pausedFrame();
	}
	hgr::Node* lamp = nullptr;
	hgr::Node* shadow = nullptr;

	Vector3 shadowCentre() const {
		const hgr::Visual* v = static_cast<const hgr::Visual*>(shadow);
		return shadow->getWorldTransform().transform((v->getBoundBoxMin() + v->getBoundBoxMax()) * 0.5f);
	}
};

struct CasterCase {
	const char* name;
	float height;
	bool hideWhenHigh;
	bool shown;
};

TEST(PlayerShadows, ObjectShadowsLieOnTheGroundBelowTheirObjects) {
	const CasterCase cases[] = {
		{"low", 100.f, false, true},
		{"high", 150.f, false, true},
		{"low, hidden when high", 100.f, true, true},
		{"high, hidden when high", 150.f, true, false},
	};
	for (const CasterCase& c : cases) {
		CasterLevel level(c.height, c.hideWhenHigh);
		EXPECT_EQ(level.loaded.scene.ptr(), level.shadow->getParent()) << c.name;
		EXPECT_EQ(c.shown, level.shadow->isEnabled()) << c.name;
		if (!c.shown)
			continue;
		EXPECT_TRUE(near(Vector3(500, 4, 0), level.shadowCentre())) << c.name << ": ground + 4";
		// It keeps the quarter turn it had when registered.
		EXPECT_TRUE(near(Vector3(0, 0, -1), level.shadow->getTransform().getColumn(0))) << c.name;
	}
}

TEST(PlayerShadows, AnObjectShadowFollowsTheSlopeAndItsObject) {
	CasterLevel level(400.f, false, [](Level& l) { l.pieces.mesh("slope", test::slopeTriangles(30.f, 2000.f)); });
	const Vector3 n(-0.5f, std::sqrt(3.f) / 2, 0);
	const float ground = 500.f * std::tan(30.f * kPi / 180.f);
	ASSERT_TRUE(level.shadow->isEnabled());
	EXPECT_TRUE(near(n, level.shadow->getTransform().getColumn(1)));
	EXPECT_TRUE(near(Vector3(500, ground, 0) + n * 4.f, level.shadowCentre()));

	// Disabled, the object casts nothing; unlinked by a script, neither.
	level.lamp->setEnabled(false);
	level.pausedFrame();
	EXPECT_FALSE(level.shadow->isEnabled());
	level.lamp->setEnabled(true);
	level.pausedFrame();
	EXPECT_TRUE(level.shadow->isEnabled());
	level.world->activateTrigger("T_take");
	ASSERT_EQ(nullptr, level.node("O_lamp"));
	level.player->step(false, kFrame, 0.f, 0.f);
	EXPECT_FALSE(level.shadow->isEnabled());
}

TEST(PlayerShadows, CastersThatCannotBeUsedAreIgnored) {
	CasterLevel level(100.f, false);
	level.player->addShadowCaster(nullptr, level.lamp, false);
	level.player->addShadowCaster(level.shadow, nullptr, false);
	level.player->addShadowCaster(level.loaded.scene, level.lamp, false);
	level.pausedFrame();
	EXPECT_TRUE(level.shadow->isEnabled());
	EXPECT_EQ(nullptr, level.loaded.scene->getParent());
}

} // namespace
