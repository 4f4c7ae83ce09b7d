// The command-line import's printed lines and exit codes.

#include <cstdio>
#include <unistd.h>

#include "ImportFixture.h"

#include "import/CommandLineImport.h"
#include "support/ScopedEnv.h"

namespace {

struct Captured {
	int exitCode;
	std::string out;
	std::string err;
};

// Runs the command-line import with standard output and error sent to files.
Captured runImport(const test::TempDir& tmp, const std::string& package, const std::string& dest) {
	std::fflush(stdout);
	std::fflush(stderr);
	const int savedOut = ::dup(1), savedErr = ::dup(2);
	std::FILE* out = std::fopen((tmp / "out.txt").c_str(), "w+");
	std::FILE* err = std::fopen((tmp / "err.txt").c_str(), "w+");
	::dup2(fileno(out), 1);
	::dup2(fileno(err), 2);
	const int code = lumaroll::importFromCommandLine(package, dest);
	std::fflush(stdout);
	std::fflush(stderr);
	::dup2(savedOut, 1);
	::dup2(savedErr, 2);
	::close(savedOut);
	::close(savedErr);
	std::fclose(out);
	std::fclose(err);
	return {code, test::readFile(tmp / "out.txt"), test::readFile(tmp / "err.txt")};
}

} // namespace

TEST_F(ImportTest, CommandLineSuccessLines) {
	std::vector<test::TarEntry> entries;
	for (int i = 0; i < 117; ++i)
		entries.push_back(test::tarFile("opt/plimbo/data/f/" + std::to_string(i), std::string(20000, 'x')));
	ASSERT_TRUE(
		test::writeFile(deb, test::debPackage("data.tar.gz", test::gzip(test::tarArchive(withMarkers(entries))))));
	const Captured c = runImport(tmp, deb, dest);
	EXPECT_EQ(c.exitCode, 0);
	EXPECT_EQ(c.out, "importing " + deb + " into " + dest +
						 "...\n"
						 "  50 files\n"
						 "  100 files\n"
						 "done: 120 files (2.2 MB). Run the game without arguments to play.\n");
	EXPECT_EQ(c.err, "");
}

TEST_F(ImportTest, CommandLineFailureLine) {
	ASSERT_TRUE(test::writeFile(deb, "not a package"));
	const Captured c = runImport(tmp, deb, dest);
	EXPECT_EQ(c.exitCode, 1);
	EXPECT_EQ(c.out, "importing " + deb + " into " + dest + "...\n");
	EXPECT_EQ(c.err, "import failed: The file is not a .deb package.\n");
}

TEST(GameDataDir, FollowsTheDataDirectoryRule) {
	test::ScopedEnv env{{"XDG_DATA_HOME", "/xdg/data"}, {"HOME", "/home/player"}};
	EXPECT_EQ(lumaroll::gameDataDir(), "/xdg/data/lumaroll");
	env.set("XDG_DATA_HOME", "");
	EXPECT_EQ(lumaroll::gameDataDir(), "/home/player/.local/share/lumaroll");
	env.set("XDG_DATA_HOME", nullptr);
	env.set("HOME", nullptr);
	EXPECT_EQ(lumaroll::gameDataDir(), "./.local/share/lumaroll");
}
