// The real program on writer-made levels: library objects on screen, the
// water reflection's trace lines (remembered per process) and its picture,
// a ball model that does not load, a play level showing all of them with
// the ball, and a ball riding round a closed rail.
#include "../app/ProgramFixture.h"
#include "support/LevelFixtures.h"
#include "support/SetupFixtures.h"
#include "support/TriggerScript.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <string>

namespace {

using apptest::isColour;
using apptest::Png;
using apptest::readPng;

class SetupProgramTest : public apptest::ProgramTest {
protected:
	void SetUp() override {
		apptest::ProgramTest::SetUp();
		data = dir / "data";
		test::writeSetupFiles(data);
	}

	static int count(const std::string& text, const std::string& piece) {
		int n = 0;
		for (size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1))
			++n;
		return n;
	}

	std::string data;
};

TEST_F(SetupProgramTest, LibraryObjectIsDrawnWhereItsPlaceholderStands) {
	test::writeLibraryModels(data);
	test::SceneWriter level = test::testLevelScene();
	level.dummy("crate").position(250.f, 0.f, 0.f);
	level.userProperty("crate", "load=box");
	const std::string path = test::writeTestLevel(dir.path(), level);
	const test::ProcessResult r = run({path, "--frames", "3", "--screenshot", "objects.png"});
	ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
	EXPECT_NE(r.out.find("library objects: 1 of 1 loaded\n"), std::string::npos) << r.out;

	// The start camera looks along +z from 500 units away, where the level's
	// 200 unit quad covers pixels 316 to 484: the middle box (40 units wide
	// at x 250) covers 593 to 627, the background shows left of the boxes.
	const Png png = readPng(work() + "/objects.png");
	ASSERT_EQ(png.width, 800);
	EXPECT_TRUE(isColour(png.at(610, 240), 0, 0, 255));
	EXPECT_TRUE(isColour(png.at(400, 240), 0, 255, 0)); // the level's own quad
	EXPECT_TRUE(isColour(png.at(515, 240), 255, 0, 0)); // background between them
}

TEST_F(SetupProgramTest, ReflectionStateIsTracedOncePerChange) {
	test::writeWaterEffects(data);
	const std::vector<std::pair<std::string, std::string>> trace = {{"LUMAROLL_TRACE", "1"}};
	{
		SCOPED_TRACE("no water");
		const std::string path = test::writeTestLevel(dir.path());
		const test::ProcessResult r = run({path, "--frames", "5"}, trace);
		ASSERT_EQ(r.exitCode, 0) << r.err;
		EXPECT_EQ(count(r.out, "[trace] no reflection: no water linked to the scene (t="), 1) << r.out;
		EXPECT_NE(r.out.find(" s, camera y=0, water y=0)\n"), std::string::npos) << r.out;
		EXPECT_EQ(count(r.out, "[trace] reflejando"), 0);
	}
	{
		SCOPED_TRACE("above the water");
		const std::string path = test::writeTestLevel(dir.path(), test::waterLevel(0.f, 500.f));
		const test::ProcessResult r = run({path, "--frames", "5", "--screenshot", "water.png"}, trace);
		ASSERT_EQ(r.exitCode, 0) << r.err;
		EXPECT_EQ(count(r.out, "[trace] reflejando O_water ("), 1) << r.out;
		EXPECT_EQ(count(r.out, "[trace] no reflection"), 0) << r.out;
		// The camera looks down at the water, which shows the red ceiling behind it.
		const Png png = readPng(work() + "/water.png");
		ASSERT_EQ(png.width, 800);
		EXPECT_TRUE(isColour(png.at(400, 240), 255, 0, 0));
	}
	{
		SCOPED_TRACE("just below the water");
		const std::string path = test::writeTestLevel(dir.path(), test::waterLevel(0.f, -0.01f));
		const test::ProcessResult r = run({path, "--frames", "5"}, trace);
		ASSERT_EQ(r.exitCode, 0) << r.err;
		EXPECT_EQ(count(r.out, "[trace] no reflection: camera below the water of O_water ("), 1) << r.out;
		EXPECT_EQ(count(r.out, "[trace] reflejando"), 0) << r.out;
	}
}

TEST_F(SetupProgramTest, BallThatIsNoSceneLeavesTheLevelToTheFreeCamera) {
	const std::string path = test::writeTestLevel(dir.path());
	ASSERT_TRUE(test::writeFile(data + "/resources/models/plimbo.hgr", "no scene"));
	const test::ProcessResult r = run({path, "--play", "--frames", "3", "--screenshot", "noball.png"});
	ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
	EXPECT_NE(r.err.find("could not load the ball: "), std::string::npos) << r.err;
	EXPECT_EQ(r.out.find("ball: radius"), std::string::npos) << r.out;
	// The free camera starts at the start camera, which faces the level's quad.
	const Png png = readPng(work() + "/noball.png");
	ASSERT_EQ(png.width, 800);
	EXPECT_TRUE(isColour(png.at(400, 240), 0, 255, 0));
}

TEST_F(SetupProgramTest, PlayShowsTheObjectsTheBallAndTheReflection) {
	test::writeWaterEffects(data);
	test::writeLibraryModels(data);
	ASSERT_TRUE(test::ballModel("").write(data + "/resources/models/plimbo.hgr"));
	// Water at y 0 over a floor just below it; a ceiling that is green, and
	// red only in the reflection; a box library object ahead of the start.
	test::SceneWriter level;
	level.material("water", "water.fx");
	level.material("ceiling", "ceiling.fx").texture("BASEMAP", level.texture("green.png"));
	test::addQuad(level.primitive(0), {-3000.f, 0.f, -3000.f}, {6000.f, 0.f, 0.f}, {0.f, 0.f, 6000.f});
	test::addQuad(level.primitive(1), {-10000.f, 1000.f, -10000.f}, {20000.f, 0.f, 0.f}, {0.f, 0.f, 20000.f});
	level.mesh("O_water").primitives({0});
	level.mesh("ceiling").primitives({1});
	test::LevelFixtures(level).mesh("floor", test::floorTriangles(3000.f, -10.f));
	level.dummy("D_start").position(0.f, 100.f, 0.f);
	level.dummy("crate").transform(test::SceneWriter::rotationZ(0.f, 0.f, 30.f, 300.f));
	level.userProperty("crate", "load=box");
	const std::string path = test::writeTestLevel(dir.path(), level);

	const test::ProcessResult r = run({path, "--play", "--frames", "10", "--screenshot", "play.png"});
	ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
	EXPECT_NE(r.out.find("library objects: 1 of 1 loaded\n"), std::string::npos) << r.out;
	EXPECT_NE(r.out.find("\nball: radius "), std::string::npos) << r.out;
	const Png png = readPng(work() + "/play.png");
	ASSERT_EQ(png.width, 800);
	const auto near = [](const unsigned char* p, int r, int g, int b) { return bool(isColour(p, r, g, b)); };
	int red = 0, yellow = 0, blue = 0;
	for (int y = 0; y < png.height; ++y)
		for (int x = 0; x < png.width; ++x) {
			const unsigned char* p = png.at(x, y);
			red += near(p, 255, 0, 0);
			yellow += near(p, 255, 255, 0);
			blue += near(p, 0, 0, 255);
		}
	EXPECT_GT(red, 800 * 480 / 10) << "the water's reflection";
	EXPECT_GT(yellow, 100) << "the ball";
	EXPECT_GT(blue, 50) << "the library object";
}

TEST_F(SetupProgramTest, PlayRidesRoundAClosedRail) {
	ASSERT_TRUE(test::ballModel("").write(data + "/resources/models/plimbo.hgr"));
	// A loop round a circle of radius 4000 handing over to itself, its
	// orientation line 1000 above it, a wall just outside it. The volume at
	// the start puts the ball on the rail; three more mark its quarters.
	test::SceneWriter level;
	test::LevelFixtures pieces(level);
	pieces.mesh("bed", test::rectangleTriangles(-6000, -6000, 6000, 6000, 0.f));
	pieces.mesh("wall", test::ringWallTriangles(0, 0, 4150, 300, 64));
	test::RailDrawing loop;
	loop.track = test::circleLoopSegments(0, 0, 0, 4000, 64);
	loop.trackNormal = test::circleLoopSegments(0, 1000, 0, 4000, 64);
	loop.properties = "tracknormalgravity=1\nnext=L_loop\ndeathplane=T_fell";
	pieces.railNode("L_loop", loop);
	pieces.dummyAt("D_start", 4000, 100, 0);
	pieces.boxVolume("T_start", {3700, 0, -300}, {4300, 400, 300},
					 test::TriggerScript().a("attachtorail,1,L_loop").text());
	const std::string mark = test::TriggerScript().a("add,quarters,1").text();
	pieces.boxVolume("T_quarter", {-300, 0, 3700}, {300, 400, 4300}, mark);
	pieces.boxVolume("T_half", {-4300, 0, -300}, {-3700, 400, 300}, mark);
	pieces.boxVolume("T_threequarters", {-300, 0, -4300}, {300, 400, -3700}, mark);
	level.dummy("T_fell");
	level.userProperty("T_fell", test::TriggerScript().a("add,falls,1").text());
	const std::string path = test::writeTestLevel(dir.path(), level);

	test::RunningProcess game(test::lumarollBinary(), options({path, "--play"}, {{"LUMAROLL_TRACE", "1"}}));
	ASSERT_TRUE(game.started());
	// A lap: the start, the quarters in order, the start again. The deadline only bounds a hang.
	size_t at = 0;
	for (const char* volume : {"T_start", "T_quarter", "T_half", "T_threequarters", "T_start"}) {
		const std::string line = std::string("[trace] ball enters ") + volume + "\n";
		ASSERT_TRUE(game.waitForOutput(line, 120000, at)) << game.output();
		at = game.output().find(line, at) + line.size();
	}
	EXPECT_NE(game.output().find("[trace] rail L_loop: 65 points, 1 pieces, length 25123\n"), std::string::npos)
		<< game.output();
	EXPECT_EQ(game.output().find("[trace] rail L_loop: fell"), std::string::npos) << game.output();
}

TEST_F(SetupProgramTest, PlayCountsOnlyTheWayRiddenOnAnOpenRailThatNamesItself) {
	ASSERT_TRUE(test::ballModel("").write(data + "/resources/models/plimbo.hgr"));
	// A straight rail 2000 long naming itself as its next, on a bed that runs
	// on far past its end: the ball rides it once, then rolls on off its end
	// until it counts as fallen.
	test::SceneWriter level;
	test::LevelFixtures pieces(level);
	pieces.mesh("bed", test::rectangleTriangles(-2000, -1000, 2000, 16000, 0.f));
	test::RailDrawing rail;
	rail.track = test::straightSegments({0, 0, 0}, {0, 0, 2000}, 4);
	rail.properties = "tracknormalgravity=1\nnext=L_open\ndeathplane=T_fell";
	pieces.railNode("L_open", rail);
	pieces.dummyAt("D_start", 0, 100, 0);
	pieces.boxVolume("T_start", {-300, 0, -300}, {300, 400, 300},
					 test::TriggerScript().a("attachtorail,1,L_open").text());
	level.dummy("T_fell");
	level.userProperty("T_fell", test::TriggerScript().a("add,falls,1").text());
	const std::string path = test::writeTestLevel(dir.path(), level);

	test::RunningProcess game(test::lumarollBinary(), options({path, "--play"}, {{"LUMAROLL_TRACE", "1"}}));
	ASSERT_TRUE(game.started());
	// The deadline only bounds a hang.
	ASSERT_TRUE(game.waitForOutput("[trace] rail L_open: fell", 120000)) << game.output();
	game.sendSignal(SIGTERM); // SDL turns it into a quit event
	const test::ProcessResult r = game.wait(60000);
	const size_t at = r.out.find("[trace] distance ridden ");
	ASSERT_NE(at, std::string::npos) << r.out;
	const long ridden = std::strtol(r.out.c_str() + at + 24, nullptr, 10);
	EXPECT_GE(ridden, 1999) << r.out.substr(at);
	EXPECT_LE(ridden, 2000) << r.out.substr(at);
}

} // namespace
