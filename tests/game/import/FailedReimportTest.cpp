// A command-line import that fails over a working installation of the
// synthetic game data package leaves it installed: the program reports the
// failure, the files the failing import wrote stay, the three markers are in
// place, and the next start plays the menu level.

#include <csignal>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "GameDataEntries.h"

#include "files/DataLayout.h"
#include "import/Import.h"
#include "support/DebWriter.h"
#include "support/Files.h"
#include "support/GamePackage.h"
#include "support/ProcessRunner.h"
#include "support/TempDir.h"

using test::tarFile;
using test::TarEntry;

namespace {

class FailedReimportTest : public ::testing::Test {
protected:
	void SetUp() override {
		ASSERT_FALSE(test::lumarollBinary().empty()) << "the lumaroll program was not found";
		std::string log;
		ASSERT_TRUE(test::writeGamePackage(gameDeb, &log)) << log;
		ASSERT_TRUE(test::writeGameData(reference, &log)) << log;
		game = importtest::gameDataEntries(reference);
	}

	test::ProcessOptions options(const std::vector<std::string>& args,
								 std::vector<std::pair<std::string, std::string>> extraEnv = {}) const {
		test::ProcessOptions o;
		o.args = args;
		o.env = test::programEnvironment(tmp.path());
		for (auto& e : extraEnv)
			o.env.push_back(e);
		o.workDir = tmp.path();
		return o;
	}

	// A start without arguments, to its fifth frame with the level's trace;
	// a start that opens the import screen instead (which would wait for a
	// user) is ended once its window is up.
	test::ProcessResult start() const {
		test::RunningProcess program(test::lumarollBinary(), options({"--frames", "5"}, {{"LUMAROLL_TRACE", "1"}}));
		if (program.waitForOutput("GL: ", 60000) && program.output().find("game data not found") != std::string::npos)
			program.sendSignal(SIGKILL);
		return program.wait(60000);
	}

	test::TempDir tmp;
	std::string gameDeb = tmp / "plimbo-test.deb";
	std::string reference = tmp / "reference/data";
	std::string gameDir = tmp / "userdata/lumaroll";
	std::string failing = tmp / "failing.deb";
	std::vector<TarEntry> game; // the package's files, markers first
};

std::vector<TarEntry> operator+(std::vector<TarEntry> entries, const std::vector<TarEntry>& more) {
	entries.insert(entries.end(), more.begin(), more.end());
	return entries;
}

std::string gzipPackage(const std::vector<TarEntry>& entries) {
	return test::debPackage("data.tar.gz", test::gzip(test::tarArchive(entries)));
}

} // namespace

TEST_F(FailedReimportTest, TheInstallationStaysAndTheNextStartPlays) {
	const TarEntry written = tarFile("opt/plimbo/data/written.txt", "written before the failure");
	const std::vector<TarEntry> clash{written, tarFile("opt/plimbo/data/fd", "a file"),
									  tarFile("opt/plimbo/data/fd/x", "then a folder of the same name")};

	// The game's files, then a file whose data the archive cuts halfway (its
	// 200000 bytes are padded to 200192, the end blocks are left out).
	std::string truncated = test::tarArchive(
		game + std::vector<TarEntry>{written, tarFile("opt/plimbo/data/cut.bin", std::string(200000, 'c'))}, false);
	truncated.resize(truncated.size() - (200192 - 100000));

	std::string corrupt = test::gzip(test::tarArchive(game + std::vector<TarEntry>{written}));
	for (size_t i = corrupt.size() / 3; i < corrupt.size() / 3 + 16; ++i)
		corrupt[i] = char(corrupt[i] ^ 0x5a);

	std::vector<TarEntry> otherGame;
	for (const TarEntry& e : game)
		otherGame.push_back(tarFile("opt/othergame/" + e.name.substr(11), e.data));

	const std::string locked = "data/resources/sounds/locked.wav";

	const struct {
		const char* name;
		std::string package;
		int exitCode;
		std::string error;										// empty: "done" is printed
		std::vector<std::pair<std::string, std::string>> stays; // files the import wrote
		std::vector<std::string> absent;
	} cases[] = {
		{"a file, then a folder of the same name",
		 gzipPackage(game + clash),
		 1,
		 "Could not write " + gameDir + "/data/fd/x.",
		 {{"data/written.txt", written.data}, {"data/fd", "a file"}},
		 {}},
		{"the same clash in a package without markers",
		 gzipPackage(clash),
		 1,
		 "Could not write " + gameDir + "/data/fd/x.",
		 {{"data/written.txt", written.data}, {"data/fd", "a file"}},
		 {}},
		{"a truncated data.tar",
		 test::debPackage("data.tar", truncated),
		 1,
		 "The package data is incomplete.",
		 {{"data/written.txt", written.data}},
		 {"data/cut.bin"}},
		{"a corrupt gzip member",
		 test::debPackage("data.tar.gz", corrupt),
		 1,
		 "corrupted compressed data",
		 {},
		 {"data/written.txt"}},
		// Nothing below opt/plimbo/data: the installation already there counts.
		{"a package of another game", gzipPackage(otherGame), 0, "", {}, {"othergame"}},
		{"a target file that cannot be written",
		 gzipPackage(game + std::vector<TarEntry>{written, tarFile("opt/plimbo/" + locked, "sound")}),
		 1,
		 "Could not write " + gameDir + "/" + locked + ".",
		 {{"data/written.txt", written.data}},
		 {}},
	};
	ASSERT_TRUE(test::writeFile(tmp / "config/lumaroll/config.ini", "general.check_updates=0\n"));
	for (const auto& c : cases) {
		SCOPED_TRACE(c.name);
		test::removeTree(gameDir);
		const lumaroll::ImportResult installed = lumaroll::importDebPackage(gameDeb, gameDir, nullptr);
		ASSERT_TRUE(installed.ok) << installed.error;
		// A folder holding a file stands where the package has a file: the
		// test runs as root, where no permission would stop the write.
		ASSERT_TRUE(test::writeFile(gameDir + "/" + locked + "/inside", "in the way"));
		ASSERT_TRUE(test::writeFile(failing, c.package));

		const test::ProcessResult import = test::runProcess(test::lumarollBinary(), options({"--import-deb", failing}));
		EXPECT_EQ(import.exitCode, c.exitCode) << import.out << import.err;
		if (c.error.empty())
			EXPECT_NE(import.out.find("done: 0 files (0.0 MB). Run the game without arguments to play.\n"),
					  std::string::npos)
				<< import.out;
		else
			EXPECT_EQ(import.err, "import failed: " + c.error + "\n") << import.out;

		EXPECT_TRUE(lumaroll::hasGameData(gameDir));
		for (const char* marker : lumaroll::kInstalledMarkers) {
			EXPECT_EQ(test::readFile(gameDir + "/" + marker), test::readFile(tmp / "reference/" + marker)) << marker;
			EXPECT_FALSE(test::fileExists(gameDir + "/" + marker + ".import-part")) << marker;
		}
		for (const TarEntry& e : game)
			EXPECT_EQ(test::readFile(gameDir + "/" + e.name.substr(11)), e.data) << e.name;
		for (const auto& file : c.stays)
			EXPECT_EQ(test::readFile(gameDir + "/" + file.first), file.second) << file.first;
		for (const std::string& rel : c.absent)
			EXPECT_FALSE(test::fileExists(gameDir + "/" + rel)) << rel;

		// The next start finds the game data and plays the menu level (its
		// attract trigger gets past the menu-mode test only there).
		const test::ProcessResult next = start();
		EXPECT_EQ(next.exitCode, 0) << next.out << next.err;
		EXPECT_EQ(next.out.find("game data not found"), std::string::npos) << next.out;
		EXPECT_NE(next.out.find("logic: 8 triggers"), std::string::npos) << next.out;
		EXPECT_NE(next.out.find("[trace] T_attract a02 setcamera"), std::string::npos) << next.out;
	}
}
