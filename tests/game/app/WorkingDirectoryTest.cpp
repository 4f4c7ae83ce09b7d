// The switch to the imported game data changes the working directory: user
// folders given by relative variables (or the "." of a missing $HOME) must keep
// naming the folders they named at start-up, so that settings, scores and the
// game data do not move into the level folder.

#include "app/LaunchOptions.h"
#include "files/Paths.h"
#include "import/Import.h"
#include "store/Scores.h"
#include "store/Settings.h"

#include "support/GameDataWriter.h"
#include "support/ScopedEnv.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ostream>
#include <unistd.h>

using namespace lumaroll;

namespace {

std::string realPath(const std::string& path) {
	char* real = realpath(path.c_str(), nullptr);
	std::string result = real ? real : path;
	std::free(real);
	return result;
}

struct RelativeCase {
	const char* name;
	const char* home;		  // null: unset
	const char* dataHome;	  // null: unset
	const char* configHome;	  // null: unset
	const char* dataFolder;	  // expected data folder, below the start folder
	const char* configFolder; // expected configuration folder, below the start folder
};

void PrintTo(const RelativeCase& c, std::ostream* os) {
	*os << c.name;
}

class WorkingDirectoryTest : public testing::TestWithParam<RelativeCase> {};

TEST_P(WorkingDirectoryTest, UserFoldersStayWhereTheProgramStarted) {
	const RelativeCase& c = GetParam();
	test::TempDir dir;
	test::ScopedCwd cwd;
	test::ScopedEnv env{{"HOME", c.home},
						{"XDG_DATA_HOME", c.dataHome},
						{"XDG_CONFIG_HOME", c.configHome},
						{"XDG_PICTURES_DIR", nullptr}};
	ASSERT_EQ(chdir(dir.path().c_str()), 0);
	const std::string start = realPath(dir.path());
	test::installGameData(start + "/" + c.dataFolder);

	LaunchOptions options;
	ASSERT_TRUE(options.useImportedData());
	ASSERT_EQ(realPath("."), start + "/" + c.dataFolder + "/data/bundles/original");

	EXPECT_EQ(realPath(dataDir()), start + "/" + c.dataFolder);
	EXPECT_EQ(realPath(gameDataDir()), start + "/" + c.dataFolder);
	EXPECT_TRUE(hasGameData(gameDataDir()));

	// What the game writes later lands in the folders of the start-up.
	std::vector<int> list;
	bool saved = false;
	addHighScore(5000, list, saved);
	EXPECT_TRUE(saved);
	EXPECT_TRUE(fileExists(start + "/" + c.dataFolder + "/level2.scores"));
	Settings settings;
	settings.setString("general.language", "en");
	EXPECT_TRUE(settings.saveTo(Settings::path()));
	EXPECT_TRUE(fileExists(start + "/" + c.configFolder + "/config.ini"));
}

INSTANTIATE_TEST_SUITE_P(Cases, WorkingDirectoryTest,
						 testing::Values(RelativeCase{"relative_xdg", "/nonexistent-home", "share", "conf",
													  "share/lumaroll", "conf/lumaroll"},
										 RelativeCase{"relative_home", "home", nullptr, nullptr,
													  "home/.local/share/lumaroll", "home/.config/lumaroll"},
										 RelativeCase{"no_home", nullptr, nullptr, nullptr, ".local/share/lumaroll",
													  ".config/lumaroll"}),
						 [](const testing::TestParamInfo<RelativeCase>& info) { return std::string(info.param.name); });

// Absolute folders are left exactly as they are.
TEST(PinUserDirectoriesTest, AbsoluteVariablesAreUnchanged) {
	test::ScopedEnv env{
		{"HOME", "/h"}, {"XDG_DATA_HOME", "/d"}, {"XDG_CONFIG_HOME", nullptr}, {"XDG_PICTURES_DIR", "/p"}};
	pinUserDirectories();
	EXPECT_EQ(getEnvString("HOME"), "/h");
	EXPECT_EQ(getEnvString("XDG_DATA_HOME"), "/d");
	EXPECT_EQ(getEnvString("XDG_CONFIG_HOME"), "");
	EXPECT_EQ(getEnvString("XDG_PICTURES_DIR"), "/p");
	EXPECT_EQ(configDir(), "/h/.config/lumaroll");
}

} // namespace
