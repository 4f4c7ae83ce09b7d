// The ball values: the form record of the player model, what the player
// publishes into the world's variables and what it reads back, and values
// set by hand on the ball's physics.

#include "PlayerFixture.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

using math::Vector3;
using playertest::Level;
using playertest::Parts;
using playertest::kFrame;

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
	const lumaroll::BallValues& v = b.player->body().values;
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
	// They are what "resetballvalues" publishes again.
	b.world->setVariable("ballmaxspeed", 1.f);
	b.world->runCommand("resetballvalues", {});
	b.player->step(false, kFrame, 0.f, 0.f);
	EXPECT_EQ(900.f, b.world->getVariable("ballmaxspeed"));
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
	EXPECT_EQ(50.f, b.player->body().values.radius);
	EXPECT_EQ(800.f, b.player->body().values.maxSpeed);
	EXPECT_FALSE(b.world->hasVariable("gravity"));
	// Nor is there anything for "resetballvalues" to publish.
	b.world->runCommand("resetballvalues", {});
	b.player->step(false, kFrame, 0.f, 0.f);
	EXPECT_TRUE(b.world->written.empty());
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
		EXPECT_EQ(c.radius, b.player->body().values.radius) << c.name;
		EXPECT_EQ(c.refused ? "ball: radius '" + std::string(c.field) + "' in D_forminfo ignored\n" : "", err)
			<< c.name;
		// The rest of the record still counts.
		EXPECT_EQ(1750.f, b.world->getVariable("ballmovementforce")) << c.name;
	}
}

TEST(PlayerValues, ReadingBackTakesOnlyFiniteVariablesTheWorldHolds) {
	Level level;
	level.pieces.mesh("floor", test::floorTriangles(3000.f, 0.f));
	lumaroll::BallPhysics& physics = level.buildParts().physics;
	lumaroll::SceneWorld& world = *level.world;
	const lumaroll::BallValues& v = physics.body().values;
	// No variables at all: nothing changes (the ball must not freeze).
	physics.readValues();
	EXPECT_EQ(800.f, v.maxSpeed);
	EXPECT_EQ(1.f, v.mass);

	world.setVariable("ballmaxspeed", 300.f);
	world.setVariable("ballmass", std::numeric_limits<float>::quiet_NaN());
	world.setVariable("ballfriction", std::numeric_limits<float>::infinity());
	world.setVariable("radius", 10.f);
	physics.readValues();
	EXPECT_EQ(300.f, v.maxSpeed);
	EXPECT_EQ(1.f, v.mass);
	EXPECT_EQ(350.f, v.friction);
	EXPECT_EQ(50.f, v.radius);

	// A negative limit would turn the velocity round every substep: it is
	// ignored, the limit read before kept.
	world.setVariable("ballmaxspeed", -100.f);
	testing::internal::CaptureStderr();
	physics.readValues();
	EXPECT_EQ(
		"ball: mass 'nan' in ballmass ignored\n"
		"ball: friction 'inf' in ballfriction ignored\n"
		"ball: max speed '-100' in ballmaxspeed ignored\n",
		testing::internal::GetCapturedStderr());
	EXPECT_EQ(300.f, v.maxSpeed);
}

// Where a ball value comes from: a field of the form record, or a world
// variable (read back on "updateballvalues"; "gravity" every step); with the
// range it is taken in (lo excluded when open).
struct ValueSource {
	const char* name; // as the summary line names it
	int field;		  // form record field, or -1
	const char* variable;
	float lo;
	bool open;
	float hi;
	float lumaroll::BallValues::*member;
	bool byHand = false; // set with BallPhysics::setBody
};

const ValueSource kSources[] = {
	{"radius", 5, nullptr, 0.f, true, 12800.f, &lumaroll::BallValues::radius},
	{"mass", 6, nullptr, 0.f, true, 1e6f, &lumaroll::BallValues::mass},
	{"force", 7, nullptr, 0.f, false, 1e6f, &lumaroll::BallValues::movementForce},
	{"jump", 8, nullptr, 0.f, false, 1e6f, &lumaroll::BallValues::jumpForce},
	{"friction", 9, nullptr, 0.f, false, 1e6f, &lumaroll::BallValues::friction},
	{"friction slide", 10, nullptr, 0.f, false, 1e6f, &lumaroll::BallValues::frictionSlide},
	{"max speed", 11, nullptr, 0.f, false, 1e6f, &lumaroll::BallValues::maxSpeed},
	{"rebound", 12, nullptr, 0.f, false, 1e6f, &lumaroll::BallValues::rebound},
	{"mass", -1, "ballmass", 0.f, true, 1e6f, &lumaroll::BallValues::mass},
	{"force", -1, "ballmovementforce", 0.f, false, 1e6f, &lumaroll::BallValues::movementForce},
	{"jump", -1, "balljumpforce", 0.f, false, 1e6f, &lumaroll::BallValues::jumpForce},
	{"friction", -1, "ballfriction", 0.f, false, 1e6f, &lumaroll::BallValues::friction},
	{"friction slide", -1, "ballfrictionslide", 0.f, false, 1e6f, &lumaroll::BallValues::frictionSlide},
	{"max speed", -1, "ballmaxspeed", 0.f, false, 1e6f, &lumaroll::BallValues::maxSpeed},
	{"rebound", -1, "ballrebound", 0.f, false, 1e6f, &lumaroll::BallValues::rebound},
	{"gravity", -1, "gravity", 0.f, false, 1e6f, &lumaroll::BallValues::gravity},
	// By hand; not the gravity, which the world's variable sets every step.
	{"radius", -1, nullptr, 0.f, true, 12800.f, &lumaroll::BallValues::radius, true},
	{"mass", -1, nullptr, 0.f, true, 1e6f, &lumaroll::BallValues::mass, true},
	{"force", -1, nullptr, 0.f, false, 1e6f, &lumaroll::BallValues::movementForce, true},
	{"jump", -1, nullptr, 0.f, false, 1e6f, &lumaroll::BallValues::jumpForce, true},
	{"friction", -1, nullptr, 0.f, false, 1e6f, &lumaroll::BallValues::friction, true},
	{"friction slide", -1, nullptr, 0.f, false, 1e6f, &lumaroll::BallValues::frictionSlide, true},
	{"max speed", -1, nullptr, 0.f, false, 1e6f, &lumaroll::BallValues::maxSpeed, true},
	{"rebound", -1, nullptr, 0.f, false, 1e6f, &lumaroll::BallValues::rebound, true},
};

const char* const kTexts[] = {"nan", "inf", "-inf", "-800", "-1e-30", "0",	   "",	   "none", "1e-30",
							  "0.5", "2",	"1e6",	"2e6",	"12800",  "12801", "1e38", "1e39"};

bool inRange(const ValueSource& source, float v) {
	return std::isfinite(v) && (source.open ? v > source.lo : v >= source.lo) && v <= source.hi;
}

// A floor with a wall across x 800 and the start at the origin.
void wallLevel(Level& level) {
	level.pieces.mesh("floor", test::floorTriangles(3000.f, 0.f));
	level.pieces.mesh("wall", test::wallTriangles(800.f, 3000.f, 2000.f));
	level.pieces.dummyAt("D_start", 0, 100, 0);
	level.pieces.dummyAt("high", 0, 1000, 0);
}

// Whether body stays finite rolling into the wall of wallLevel, jumping, and
// falling from high onto the floor: the ball's own motion, which the step
// would hide by a respawn when a number went wrong.
bool movesFinitely(lumaroll::BallBody body, const lumaroll::CollisionGrid& grid) {
	lumaroll::BallControl control;
	control.move = Vector3(1, 0, 0);
	bool finite = true;
	for (int frame = 0; frame < 120 && finite; ++frame) {
		if (frame == 60)
			body.position = Vector3(0, 1000, 0);
		control.jump = frame % 30 == 10;
		body.integrate(control, grid, kFrame);
		finite = body.position.isFinite() && body.velocity.isFinite() && std::isfinite(body.rollAngle);
	}
	return finite;
}

// The summary line, written again (as a respawn at the start does), names no
// number that is not finite.
::testing::AssertionResult finiteSummary(const std::string& summary) {
	if (summary.find("nan") == std::string::npos && summary.find("inf") == std::string::npos)
		return ::testing::AssertionSuccess();
	return ::testing::AssertionFailure() << summary;
}

TEST(PlayerValues, NoValueFromTheRecordOrTheWorldMakesANumberThatIsNotFinite) {
	const char* record[] = {"a", "b", "c", "d", "s", "50", "1", "1750", "800", "350", "0.4", "800", "0.1"};
	for (const ValueSource& source : kSources)
		for (const char* text : kTexts) {
			if (source.byHand)
				continue;
			const std::string name = std::string(source.variable ? source.variable : source.name) + " '" + text + "'";
			Level level;
			wallLevel(level);
			lumaroll::Player& player = level.build();
			const float value = float(std::strtod(text, nullptr));
			const lumaroll::BallValues defaults;
			std::string fields;
			for (int i = 0; i < 13; ++i)
				fields += std::string(i ? "," : "") + (i == source.field ? text : record[i]);
			testing::internal::CaptureStderr();
			player.loadForms(fields);
			if (source.variable) {
				level.world->setVariable(source.variable, value);
				level.world->runCommand("updateballvalues", {});
			}
			player.placeAtStart();
			level.run(2);
			const std::string err = testing::internal::GetCapturedStderr();
			const bool taken = inRange(source, value);
			const float expected = taken ? value : defaults.*source.member;
			EXPECT_EQ(expected, player.body().values.*source.member) << name;
			char line[128];
			if (source.variable)
				std::snprintf(line, sizeof(line), "ball: %s '%g' in %s ignored\n", source.name, double(value),
							  source.variable);
			else
				std::snprintf(line, sizeof(line), "ball: %s '%s' in D_forminfo ignored\n", source.name, text);
			EXPECT_EQ(taken ? "" : line, err) << name;

			// The ball's own motion, then through the step.
			testing::internal::CaptureStdout();
			const lumaroll::LevelCollision collision(level.loaded.scene, nullptr);
			testing::internal::GetCapturedStdout();
			bool finite = movesFinitely(player.body(), collision.grid());
			EXPECT_TRUE(finite) << name << ": the ball's motion";
			for (int frame = 0; frame < 120 && finite; ++frame) {
				if (frame == 60)
					level.moveBallTo("high");
				player.step(frame % 30 == 10, kFrame, 1.f, 0.f);
				finite = player.body().position.isFinite() && player.body().velocity.isFinite();
			}
			EXPECT_TRUE(finite) << name << ": the step";
			player.placeAtStart();
			EXPECT_TRUE(finiteSummary(player.summary())) << name;
			// What the record publishes (the world's own variables are the scripts').
			for (const char* variable : {"ballmass", "ballrebound", "ballmaxspeed", "ballfriction", "ballfrictionslide",
										 "balljumpforce", "ballmovementforce"})
				if (!source.variable) {
					EXPECT_TRUE(std::isfinite(level.world->getVariable(variable))) << name << ": " << variable;
				}
		}
}

TEST(PlayerValues, NoValueSetByHandMakesANumberThatIsNotFinite) {
	for (const ValueSource& source : kSources)
		for (const char* text : kTexts) {
			if (!source.byHand)
				continue;
			const std::string name = std::string(source.name) + " by hand '" + text + "'";
			Level level;
			wallLevel(level);
			Parts& parts = level.buildParts();
			const float value = float(std::strtod(text, nullptr));
			const lumaroll::BallValues defaults;
			testing::internal::CaptureStderr();
			lumaroll::BallBody ball = parts.physics.body();
			ball.values.*source.member = value;
			parts.physics.setBody(ball);
			parts.physics.placeAtStart("");
			const std::string err = testing::internal::GetCapturedStderr();
			const bool taken = inRange(source, value);
			const float expected = taken ? value : defaults.*source.member;
			EXPECT_EQ(expected, parts.physics.body().values.*source.member) << name;
			char line[128];
			std::snprintf(line, sizeof(line), "ball: %s '%g' from setBody ignored\n", source.name, double(value));
			EXPECT_EQ(taken ? "" : line, err) << name;
			EXPECT_TRUE(movesFinitely(parts.physics.body(), parts.collision.grid())) << name << ": the ball's motion";
			EXPECT_TRUE(finiteSummary(parts.physics.summary())) << name;
		}
}

} // namespace
