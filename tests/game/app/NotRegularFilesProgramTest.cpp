// The real program with a named pipe or a folder where it reads a file: the
// level itself ends the program as any unreadable level does; the settings,
// the controller database, the user's language files and the text font are
// passed over as missing files are, and so are the level's effect and
// texture, the menu images and the ball model. Nothing writes to the pipes: a program
// that waited on one would be ended at the runner's time limit.
#include "ProgramFixture.h"
#include "support/Files.h"
#include "support/NamedPipe.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace {

class NotRegularFilesProgramTest : public apptest::ProgramTest,
								   public testing::WithParamInterface<test::FileStandIn> {};

std::string name(const testing::TestParamInfo<test::FileStandIn>& info) {
	return info.param == test::FileStandIn::NamedPipe ? "NamedPipe" : "Folder";
}

TEST_P(NotRegularFilesProgramTest, LevelEndsTheProgramWithTwo) {
	const std::string level = dir / "level01.hgr";
	ASSERT_TRUE(test::makeStandIn(GetParam(), level));
	const test::ProcessResult r = run({level, "--frames", "3"});
	ASSERT_FALSE(r.timedOut) << "the program waited on the level";
	EXPECT_EQ(r.exitCode, 2) << r.out << r.err;
	EXPECT_NE(r.err.find("ERROR: Failed to open " + level + "\n"), std::string::npos) << r.err;
	EXPECT_EQ(r.out.find("level loaded in"), std::string::npos);
}

TEST_P(NotRegularFilesProgramTest, SettingsControllerDatabaseLanguageFilesAndFontArePassedOver) {
	const std::string level = test::writeTestLevel(dir.path());
	const std::string config = dir / "config/lumaroll";
	for (const std::string& file : {config + "/config.ini", config + "/gamecontrollerdb.txt", config + "/lang/en.lang",
									config + "/lang/languages", dir / "font.ttf"})
		ASSERT_TRUE(test::makeStandIn(GetParam(), file)) << file;
	const test::ProcessResult r = run({level, "--frames", "3"}, {{"LUMAROLL_FONT", dir / "font.ttf"}});
	ASSERT_FALSE(r.timedOut) << "the program waited on a file:\n" << r.out;
	EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
	EXPECT_NE(r.out.find("controllers: 0 mappings from SDL_GameControllerDB\n"), std::string::npos) << r.out;
	EXPECT_NE(r.out.find("port menu: ready"), std::string::npos) << r.out;
	EXPECT_NE(r.out.find("level loaded in"), std::string::npos) << r.out;
}

TEST_P(NotRegularFilesProgramTest, EffectTextureMenuImagesAndBallModelArePassedOver) {
	const std::string level = test::writeTestLevel(dir.path());
	const std::string data = dir / "data";
	for (const std::string& file : {data + "/shaders/textured.fx", data + "/resources/textures/green.png",
									data + "/resources/images/MENU.dat", data + "/resources/models/plimbo.hgr"}) {
		std::remove(file.c_str());
		ASSERT_TRUE(test::makeStandIn(GetParam(), file)) << file;
	}
	const test::ProcessResult r = run({level, "--play", "--frames", "3"});
	ASSERT_FALSE(r.timedOut) << "the program waited on a file:\n" << r.out;
	EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
	EXPECT_NE(r.out.find("level loaded in"), std::string::npos) << r.out;
}

INSTANTIATE_TEST_SUITE_P(Kinds, NotRegularFilesProgramTest,
						 testing::Values(test::FileStandIn::NamedPipe, test::FileStandIn::Folder), name);

} // namespace
