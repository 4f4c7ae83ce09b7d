// Shadows on the ground: the ball's built quad and the model's own shadow
// node by height, slope and rail, and the shadow copies of objects.

#include "RailFixture.h"
#include "VectorMatch.h"

#include <cmath>
#include <functional>

using math::Vector3;
using playertest::near;
using playertest::Level;
using playertest::RailLevel;
using playertest::kFrame;
using playertest::kPi;

namespace {

// The ball (radius 50) with the built shadow quad over ground made by build.
struct ShadowLevel : Level {
	explicit ShadowLevel(const std::function<void(Level&)>& ground) {
		ground(*this);
		build();
		attachModel(test::BallModel::Empty);
		shadow = node("sombra_jugador");
	}
	// Puts the ball at p and places its shadow.
	void ballAt(const Vector3& p) {
		playertest::editBall(*player, [&](lumaroll::BallBody& ball) { ball.position = p; });
		player->placeBallShadow();
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
	RailLevel level;
	level.attachModel(test::BallModel::Empty);
	ASSERT_TRUE(level.untilOnRail());
	playertest::editBall(*level.player, [&](lumaroll::BallBody& ball) {
		ball.up = Vector3(0.6f, 0.8f, 0.f);
		ball.position = Vector3(0, 100, 500);
	});
	level.player->placeBallShadow();
	hgr::Node* shadow = level.node("sombra_jugador");
	ASSERT_TRUE(shadow->isEnabled());
	// 125 along (-0.6, -0.8, 0) meets the floor at x -75: 75 above the ground.
	EXPECT_TRUE(near(Vector3(-75, 6, 500), shadow->getTransform().getTranslation()));
	EXPECT_NEAR((1.f - 0.6f * 75.f / 300.f) * 47.5f, shadow->getTransform().getColumn(0).length(), 1e-3f);
}

TEST(PlayerShadows, TheModelsOwnShadowTurnsWithTheHeading) {
	Level level;
	flatFloor(level);
	level.pieces.dummyAt("D_start", 0, 100, 0);
	level.build();
	level.attachModel(test::BallModel::Full);
	lumaroll::Player& player = *level.player;
	player.placeAtStart();
	level.run(30, kFrame, 0.f, 0.5f); // heading 0.6
	const float h = player.headingAngle();
	playertest::editBall(player, [&](lumaroll::BallBody& ball) { ball.position = Vector3(0, 200, 0); });
	player.placeBallShadow();
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
// as its caster; T_take unlinks the lamp.
struct CasterLevel : Level {
	CasterLevel(float height, bool hideWhenHigh, const std::function<void(Level&)>& ground = flatFloor) {
		ground(*this);
		writer.dummy("O_lamp").position(500, height, 0);
		pieces.mesh("O_lamp_shadow", test::rectangleTriangles(-30, -40, 50, 80, 0), "")
			.parent("O_lamp")
			.transform(test::rotationY(kPi / 2));
		writer.dummy("T_take");
		writer.userProperty("T_take", test::TriggerScript().a("unlink,O_lamp"));
		build();
		lamp = node("O_lamp");
		shadow = node("O_lamp_shadow");
		player->addShadowCaster(shadow, lamp, hideWhenHigh);
		player->placeObjectShadows();
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
	level.player->placeObjectShadows();
	EXPECT_FALSE(level.shadow->isEnabled());
	level.lamp->setEnabled(true);
	level.player->placeObjectShadows();
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
	level.player->placeObjectShadows();
	EXPECT_TRUE(level.shadow->isEnabled());
	EXPECT_EQ(nullptr, level.loaded.scene->getParent());
}

} // namespace
