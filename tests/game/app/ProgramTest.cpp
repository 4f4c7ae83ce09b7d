// Runs the real lumaroll program with its user folders in a temporary folder
// and checks what the process does: exit codes, printed lines, files.
#include "ProgramFixture.h"
#include "support/DebWriter.h"
#include "support/Files.h"
#include "support/GameDataWriter.h"
#include "support/ProcessRunner.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <map>

namespace {

using test::ProcessResult;

class ProgramTest : public apptest::ProgramTest {
protected:
	std::string gameDir() const { return dir / "userdata/lumaroll"; }
	std::string logPath() const { return gameDir() + "/lumaroll.log"; }

	// The program as a player starts it, with its sound on SDL's dummy driver.
	test::ProcessOptions options(const std::vector<std::string>& args) const {
		return apptest::ProgramTest::options(args, {{"LUMAROLL_NO_AUDIO", test::kUnset}});
	}

	ProcessResult run(const std::vector<std::string>& args) const {
		return test::runProcess(test::lumarollBinary(), options(args));
	}

	// A package built by dpkg-deb with the game-data markers and `extra` more files.
	std::string buildPackage(int extra) const {
		std::map<std::string, std::string> files = {{"opt/plimbo/data/bundles/original/level01.hgr", "level"},
													{"opt/plimbo/data/resources/models/plimbo.hgr", "ball"},
													{"opt/plimbo/data/resources/images/MENU.dat", "menu"}};
		for (int i = 0; i < extra; ++i)
			files["opt/plimbo/data/resources/textures/t" + std::to_string(i) + ".pvr"] = "tex";
		const std::string deb = dir / "game.deb";
		std::string log;
		EXPECT_TRUE(test::buildDebWithDpkg(dir / "pkg", files, "gzip", deb, &log)) << log;
		return deb;
	}
};

// Length of the prefix of text that has the pattern's shape ('#' stands for
// one or more digits); 0 when text does not begin that way.
size_t matchShape(const std::string& text, const std::string& pattern) {
	size_t t = 0;
	for (char p : pattern) {
		if (p == '#') {
			const size_t start = t;
			while (t < text.size() && text[t] >= '0' && text[t] <= '9')
				++t;
			if (t == start)
				return 0;
		} else if (t < text.size() && text[t] == p) {
			++t;
		} else {
			return 0;
		}
	}
	return t;
}

const char* const startLine = "Lumaroll 1.2.0 on Linux, SDL #.#.#, started #-#-# #:#:#\n";

TEST_F(ProgramTest, FailedImportReachesStderrAndTheLog) {
	ASSERT_TRUE(test::writeFile(work() + "/bad.deb", "not a package"));
	ProcessResult r = run({"--import-deb", "bad.deb"});
	EXPECT_EQ(r.exitCode, 1);
	const std::string importing = "importing bad.deb into " + gameDir() + "...\n";
	const std::string failed = "import failed: The file is not a .deb package.\n";
	EXPECT_NE(r.out.find(importing), std::string::npos) << r.out;
	EXPECT_EQ(r.out.find("import failed"), std::string::npos);
	EXPECT_NE(r.err.find(failed), std::string::npos) << r.err;
	EXPECT_EQ(r.out.find("GL: "), std::string::npos); // no window in import mode

	const std::string log = test::readFile(logPath());
	const size_t start = matchShape(log, startLine);
	ASSERT_GT(start, 0u) << log;
	EXPECT_EQ(log.substr(start), "log: " + logPath() + "\n" + importing + failed);
}

TEST_F(ProgramTest, ImportIgnoresEveryOtherOption) {
	ProcessResult r = run({"--screenshot", "s.png", "--frames", "3", "--import-deb", "missing.deb", "level.hgr"});
	EXPECT_EQ(r.exitCode, 1);
	EXPECT_NE(r.err.find("import failed: Could not read the file.\n"), std::string::npos) << r.err;
	EXPECT_EQ(r.out.find("GL: "), std::string::npos);
	EXPECT_FALSE(test::fileExists(work() + "/s.png"));
}

TEST_F(ProgramTest, ImportOfABuiltPackage) {
	if (!test::haveDpkgDeb())
		GTEST_SKIP() << "dpkg-deb is not available";
	const std::string deb = buildPackage(60);
	ProcessResult r = run({"--import-deb", deb});
	EXPECT_EQ(r.exitCode, 0) << r.err;
	const std::string expected = "importing " + deb + " into " + gameDir() + "...\n  50 files\n" +
								 "done: 63 files (0.0 MB). Run the game without arguments to play.\n";
	EXPECT_NE(r.out.find(expected), std::string::npos) << r.out;
	EXPECT_EQ(r.out.find("GL: "), std::string::npos);
	EXPECT_TRUE(test::fileExists(gameDir() + "/data/resources/images/MENU.dat"));
	EXPECT_NE(test::readFile(logPath()).find(expected), std::string::npos);
}

TEST_F(ProgramTest, ClosedReaderOnStdoutDoesNotKillTheProgram) {
	if (!test::haveDpkgDeb())
		GTEST_SKIP() << "dpkg-deb is not available";
	const std::string deb = buildPackage(120);
	test::ProcessOptions o = options({"--import-deb", deb});
	o.closeStdoutReader = true;
	ProcessResult r = test::runProcess(test::lumarollBinary(), o);
	EXPECT_EQ(r.signal, 0);
	EXPECT_EQ(r.exitCode, 0) << r.err;
	EXPECT_NE(test::readFile(logPath()).find("done: 123 files"), std::string::npos);

	o.args = {"--import-deb", "bad.deb"};
	ASSERT_TRUE(test::writeFile(work() + "/bad.deb", "x"));
	r = test::runProcess(test::lumarollBinary(), o);
	EXPECT_EQ(r.signal, 0);
	EXPECT_EQ(r.exitCode, 1);
	EXPECT_NE(r.err.find("import failed: The file is not a .deb package.\n"), std::string::npos) << r.err;
	EXPECT_NE(test::readFile(logPath()).find("import failed: The file is not a .deb package.\n"), std::string::npos);
}

TEST_F(ProgramTest, PreviousLogIsKeptOnce) {
	for (const char* name : {"first.deb", "second.deb", "third.deb"})
		run({"--import-deb", name});
	const std::string log = test::readFile(logPath());
	const std::string previous = test::readFile(gameDir() + "/lumaroll.previous.log");
	EXPECT_NE(log.find("importing third.deb"), std::string::npos);
	EXPECT_NE(previous.find("importing second.deb"), std::string::npos);
	EXPECT_EQ(previous.find("first.deb"), std::string::npos);
}

TEST_F(ProgramTest, WithoutALogFileEverythingStillReachesTheTerminal) {
	ASSERT_TRUE(test::writeFile(dir / "userdata", "a file where the data folder should be"));
	ProcessResult r = run({"--import-deb", "bad.deb"});
	EXPECT_EQ(r.exitCode, 1);
	EXPECT_EQ(r.out.find("Lumaroll 1.2.0"), std::string::npos); // the start line goes only with a log
	EXPECT_NE(r.out.find("importing bad.deb"), std::string::npos);
	EXPECT_NE(r.err.find("import failed: Could not read the file.\n"), std::string::npos) << r.err;
}

TEST_F(ProgramTest, SettingsAreLoadedAndMigratedAtStartUp) {
	const std::string config = dir / "config/lumaroll/config.ini";
	test::writeFile(config, "# Lumaroll settings\r\ncontrols.accelerometer=1\r\ncontrols.touch=classic\r\n");
	run({"--import-deb", "missing.deb"});
	EXPECT_EQ(test::readFile(config), "# Lumaroll settings\ncontrols.touch=accelerometer\n");
}

TEST_F(ProgramTest, LevelRunsForTheGivenFrames) {
	ProcessResult r = run({"--frames", "3", test::writeTestLevel(dir.path())});
	EXPECT_EQ(r.exitCode, 0) << r.err;
	EXPECT_NE(r.out.find("GL: "), std::string::npos) << r.out;
	EXPECT_EQ(r.out.find("game data not found"), std::string::npos); // a level skips the import screen
	EXPECT_NE(test::readFile(logPath()).find("GL: "), std::string::npos);
}

TEST_F(ProgramTest, RelativeScreenshotLandsWhereTheProgramStarted) {
	test::installGameDataWithLevel(gameDir());
	ProcessResult r = run({"--screenshot", "shot.png"});
	EXPECT_EQ(r.exitCode, 0) << r.err;
	EXPECT_TRUE(test::fileExists(work() + "/shot.png")) << r.out;
	EXPECT_FALSE(test::fileExists(gameDir() + "/data/bundles/original/shot.png"));
	EXPECT_EQ(test::readFile(work() + "/shot.png").substr(0, 8), "\x89PNG\r\n\x1a\n");
}

TEST_F(ProgramTest, FailedScreenshotIsAFailure) {
	ProcessResult r = run({"--screenshot", dir / "missing/folder/shot.png", test::writeTestLevel(dir.path())});
	EXPECT_EQ(r.exitCode, 1);
	EXPECT_NE(r.err.find("could not save " + dir / "missing/folder/shot.png" + "\n"), std::string::npos) << r.err;
}

TEST_F(ProgramTest, ScreenshotWithoutGameDataOrLevelEndsInsteadOfHanging) {
	ProcessResult r = run({"--screenshot", "shot.png"});
	EXPECT_FALSE(r.timedOut);
	EXPECT_EQ(r.exitCode, 1);
	EXPECT_NE(r.out.find("game data not found in "), std::string::npos) << r.out;
	EXPECT_NE(r.err.find("could not save shot.png\n"), std::string::npos) << r.err;
	EXPECT_EQ(r.out.find("GL: "), std::string::npos);
}

TEST_F(ProgramTest, ImportScreenRunsUntilTheWindowCloses) {
	test::RunningProcess p(test::lumarollBinary(), options({}));
	ASSERT_TRUE(p.started());
	ASSERT_TRUE(p.waitForOutput("GL: ", 60000));
	p.sendSignal(SIGTERM); // SDL turns it into a quit event, as closing the window does
	ProcessResult r = p.wait(60000);
	EXPECT_EQ(r.exitCode, 0) << r.err;
	EXPECT_NE(r.out.find("game data not found in " + gameDir() +
						 ": opening the import screen (or run with --import-deb file.deb)\n"),
			  std::string::npos)
		<< r.out;
}

TEST_F(ProgramTest, ImportScreenEndsWhenGameDataArrives) {
	test::RunningProcess p(test::lumarollBinary(), options({}));
	ASSERT_TRUE(p.started());
	ASSERT_TRUE(p.waitForOutput("GL: ", 60000));
	test::installGameDataWithLevel(gameDir());
	// The imported level runs in menu mode until the window closes.
	ASSERT_TRUE(p.waitForOutput("level loaded in ", 60000));
	p.sendSignal(SIGTERM);
	ProcessResult r = p.wait(60000);
	EXPECT_FALSE(r.timedOut);
	EXPECT_EQ(r.exitCode, 0) << r.err;
}

} // namespace
