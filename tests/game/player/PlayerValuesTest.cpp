// The ball values: the form record of the player model, what the player
// publishes into the world's variables and what it reads back.

#include "PlayerFixture.h"

#include <cmath>
#include <limits>

using playertest::Level;

namespace {

// A world that remembers the order of the variables written.
class RecordingWorld : public lumaroll::SceneWorld {
public:
	using SceneWorld::SceneWorld;
	std::vector<std::string> written;
	void setVariable(const std::string& name, float value) override {
		written.push_back(name);
		SceneWorld::setVariable(name, value);
	}
};

struct Built {
	Level level;
	std::unique_ptr<RecordingWorld> world;
	std::unique_ptr<lumaroll::Player> player;

	Built() {
		level.pieces.mesh("floor", test::floorTriangles(3000.f, 0.f));
		level.loaded = test::loadFakeScene(level.writer);
		world.reset(new RecordingWorld(level.loaded.scene));
		testing::internal::CaptureStdout();
		player.reset(new lumaroll::Player(level.loaded.scene, world.get()));
		testing::internal::GetCapturedStdout();
	}
};

TEST(PlayerValues, TheFormRecordSetsAndPublishesTheValues) {
	Built b;
	b.player->loadForms("a,b,c,d,myshadow,40,2,1500,700,300,0.5,900,0.2");
	const lumaroll::BallValues& v = b.player->body.values;
	EXPECT_EQ(40.f, v.radius);
	EXPECT_EQ(2.f, v.mass);
	EXPECT_EQ(1500.f, v.movementForce);
	EXPECT_EQ(700.f, v.jumpForce);
	EXPECT_EQ(300.f, v.friction);
	EXPECT_EQ(0.5f, v.frictionSlide);
	EXPECT_EQ(900.f, v.maxSpeed);
	EXPECT_EQ(0.2f, v.rebound);
	EXPECT_EQ(2000.f, v.gravity);
	const std::vector<std::string> order = {"ballmass",			 "ballrebound",	  "ballmaxspeed",	   "ballfriction",
											"ballfrictionslide", "balljumpforce", "ballmovementforce", "gravity"};
	EXPECT_EQ(order, b.world->written);
	EXPECT_EQ(900.f, b.world->getVariable("ballmaxspeed"));
	EXPECT_EQ(1500.f, b.world->getVariable("ballmovementforce"));
	EXPECT_EQ(2000.f, b.world->getVariable("gravity"));
	EXPECT_TRUE(b.player->resetBallValues().valid);
	EXPECT_EQ(900.f, b.player->resetBallValues().values.maxSpeed);
}

TEST(PlayerValues, AWorldThatHasGravityKeepsIt) {
	Built b;
	b.world->setVariable("gravity", 1234.f);
	b.player->loadForms("a,b,c,d,s,50,1,1750,800,350,0.4,800,0.1");
	EXPECT_EQ(1234.f, b.world->getVariable("gravity"));
}

TEST(PlayerValues, AnIncompleteRecordChangesNothing) {
	Built b;
	testing::internal::CaptureStderr();
	b.player->loadForms("a,b,c,d,s,40,2,1500,700,300,0.5,900");
	EXPECT_EQ("D_forminfo incompleto (12 campos)\n", testing::internal::GetCapturedStderr());
	EXPECT_EQ(50.f, b.player->body.values.radius);
	EXPECT_EQ(800.f, b.player->body.values.maxSpeed);
	EXPECT_TRUE(b.world->written.empty());
	EXPECT_FALSE(b.world->hasVariable("gravity"));
	EXPECT_FALSE(b.player->resetBallValues().valid);
}

struct RadiusCase {
	const char* name;
	const char* field;
	float radius;
	bool refused;
};

TEST(PlayerValues, ARadiusThatIsNotPositiveAndFiniteIsRefused) {
	const RadiusCase cases[] = {
		{"0", "0", 50.f, true},
		{"nan", "nan", 50.f, true},
		{"-5", "-5", 50.f, true},
		{"inf", "inf", 50.f, true},
		{"text", "big", 50.f, true},
		{"30", "30", 30.f, false},
		{"leading blanks", "  25", 25.f, false},
	};
	for (const RadiusCase& c : cases) {
		Built b;
		testing::internal::CaptureStderr();
		b.player->loadForms(std::string("a,b,c,d,s,") + c.field + ",1,1750,800,350,0.4,800,0.1");
		const std::string err = testing::internal::GetCapturedStderr();
		EXPECT_EQ(c.radius, b.player->body.values.radius) << c.name;
		EXPECT_EQ(c.refused ? "ball: radius '" + std::string(c.field) + "' in D_forminfo ignored\n" : "", err)
			<< c.name;
		// The rest of the record still counts.
		EXPECT_TRUE(b.player->resetBallValues().valid) << c.name;
	}
}

TEST(PlayerValues, ReadingBackTakesOnlyFiniteVariablesTheWorldHolds) {
	Built b;
	lumaroll::BallValues& v = b.player->body.values;
	// No variables at all: nothing changes (the ball must not freeze).
	b.player->readBallValues();
	EXPECT_EQ(800.f, v.maxSpeed);
	EXPECT_EQ(1.f, v.mass);

	b.world->setVariable("ballmaxspeed", 300.f);
	b.world->setVariable("ballmass", std::numeric_limits<float>::quiet_NaN());
	b.world->setVariable("ballfriction", std::numeric_limits<float>::infinity());
	b.world->setVariable("radius", 10.f);
	b.player->readBallValues();
	EXPECT_EQ(300.f, v.maxSpeed);
	EXPECT_EQ(1.f, v.mass);
	EXPECT_EQ(350.f, v.friction);
	EXPECT_EQ(50.f, v.radius);

	// A negative limit would turn the velocity round every substep.
	b.world->setVariable("ballmaxspeed", -100.f);
	b.player->readBallValues();
	EXPECT_EQ(0.f, v.maxSpeed);
}

} // namespace
