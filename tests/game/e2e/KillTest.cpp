// The real program killed with SIGKILL at random moments of its work:
// during an import of the package over a working installation, during the
// settings save of a start (a stale key in config.ini makes the start write
// it again), during the rail ride of level02 and its score save, during a
// command-line screenshot over an earlier one, and during an import over a
// working installation that fails at its end (the package's files, then a
// file and a folder of the same name). After every kill config.ini and
// level2.scores are either the file from before or the whole new one, the
// screenshot is the old picture or a whole new PNG, the data folder passes
// the installed-data test with every file of the package complete, or the
// next start reports the game data missing (and a new import then works),
// and the next start plays. After a kill of an import the markers in place
// are the earlier installation's, with no file of the killed import written,
// or the import's own, with every file of the package written; when they do
// not make the folder count as installed, each lies whole in its place or
// under its held-back name.
//
// Ten kills, two of each kind; LUMAROLL_KILLS=50 (or `scripts/bench kill`)
// runs more. The moments come from a seeded generator: the seed is printed,
// and LUMAROLL_KILL_SEED=N repeats a run's moments.
#include "files/DataLayout.h"
#include "game/app/ProgramFixture.h"
#include "game/import/GameDataEntries.h"
#include "import/Import.h"
#include "support/Files.h"
#include "support/GamePackage.h"
#include "support/ProcessRunner.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A start that finds this key in config.ini drops it and saves the file again.
const char* const kOldConfig =
	"# Lumaroll settings\ncontrols.scheme=1\ngeneral.check_updates=0\ngraphics.fps_limit=60\n";
const char* const kNewConfig = "# Lumaroll settings\ngeneral.check_updates=0\ngraphics.fps_limit=60\n";
// Low enough that the ride's distance enters the list at the top.
const char* const kOldScores = "3\n2\n1\n";

enum class Work { Import, SettingsSave, ScoreSave, Screenshot, FailingImport };
const char* const kWorkNames[] = {"import", "settings save", "ride and score save", "screenshot", "failing import"};
const int kWorkKinds = 5;

// The modification time given to the installed files before an import is
// killed: a file with another one was written by the killed import.
const time_t kOldTime = 978307200; // 2001-01-01

using Clock = std::chrono::steady_clock;

long long msSince(Clock::time_point t0) {
	return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t0).count();
}

// The integers of a scores file, one per line; false when the text is not a
// whole list (1 to 3 lines of digits, each ended by a newline).
bool parseScores(const std::string& text, std::vector<long>& list) {
	list.clear();
	std::istringstream in(text);
	std::string line;
	size_t consumed = 0;
	while (std::getline(in, line)) {
		if (line.empty() || line.find_first_not_of("0123456789") != std::string::npos)
			return false;
		list.push_back(std::stol(line));
		consumed += line.size() + 1;
	}
	return consumed == text.size() && !list.empty() && list.size() <= 3;
}

// Whether after is before with one score entered (the list kept at three).
bool oneScoreEntered(const std::vector<long>& before, const std::vector<long>& after) {
	for (size_t i = 0; i < after.size(); ++i) {
		std::vector<long> rest = after;
		rest.erase(rest.begin() + long(i));
		const std::vector<long> kept(before.begin(), before.begin() + long(std::min(before.size(), rest.size())));
		if (rest == kept)
			return true;
	}
	return false;
}

// A PNG written to its end: the signature and, last, the IEND chunk.
bool wholePng(const std::string& bytes) {
	static const std::string signature("\x89PNG\r\n\x1a\n", 8);
	static const std::string end("IEND\xae\x42\x60\x82", 8);
	return bytes.size() > 64 && bytes.compare(0, 8, signature) == 0 &&
		   bytes.compare(bytes.size() - end.size(), end.size(), end) == 0;
}

// The real program in a temporary home (apptest::ProgramTest), with the
// package, its files as written, and settings without the update check.
class KillTest : public apptest::ProgramTest {
protected:
	void SetUp() override {
		apptest::ProgramTest::SetUp();
		std::string log;
		ASSERT_TRUE(test::writeGamePackage(deb(), &log)) << log;
		ASSERT_TRUE(test::writeGameData(dir / "reference/data", &log)) << log;
		ASSERT_TRUE(test::writeFile(configFile(), kNewConfig));
		std::vector<test::TarEntry> entries = importtest::gameDataEntries(dir / "reference/data");
		entries.push_back(test::tarFile("opt/plimbo/data/fd", "a file"));
		entries.push_back(test::tarFile("opt/plimbo/data/fd/x", "then a folder of the same name"));
		ASSERT_TRUE(
			test::writeFile(failingDeb(), test::debPackage("data.tar.gz", test::gzip(test::tarArchive(entries)))));
	}

	std::string deb() const { return dir / "plimbo-test.deb"; }
	std::string failingDeb() const { return dir / "failing.deb"; }
	std::string failingError() const { return "import failed: Could not write " + gameData() + "/data/fd/x.\n"; }
	std::string configFile() const { return dir / "config/lumaroll/config.ini"; }
	std::string scoresFile() const { return dir / "userdata/lumaroll/level2.scores"; }
	std::string gameData() const { return dir / "userdata/lumaroll"; }
	std::string shot() const { return dir / "shot.png"; }

	std::vector<std::string> args(Work work) const {
		switch (work) {
		case Work::Import:
			return {"--import-deb", deb()};
		case Work::SettingsSave:
			return {"--frames", "5"};
		case Work::ScoreSave:
			return {gameData() + "/data/bundles/original/level02.hgr", "--play", "--size", "160x96"};
		case Work::Screenshot:
			return {"--frames", "10", "--screenshot", shot()};
		case Work::FailingImport:
			return {"--import-deb", failingDeb()};
		}
		return {};
	}

	// The paths of the package's files below the data folder ("data/...").
	std::vector<std::string> packageFiles() const {
		std::vector<std::string> files;
		const fs::path reference = dir / "reference";
		for (const fs::directory_entry& e : fs::recursive_directory_iterator(reference))
			if (e.is_regular_file())
				files.push_back(fs::relative(e.path(), reference).string());
		return files;
	}

	// Gives every file of the package in the data folder kOldTime.
	void ageInstalledFiles() const {
		const timespec times[2] = {{kOldTime, 0}, {kOldTime, 0}};
		for (const std::string& rel : packageFiles())
			ASSERT_EQ(::utimensat(AT_FDCWD, (gameData() + "/" + rel).c_str(), times, 0), 0) << rel;
	}

	// Whether the file at path has kOldTime; false when it is missing.
	static bool old(const std::string& path) {
		struct stat st;
		return ::stat(path.c_str(), &st) == 0 && st.st_mtime == kOldTime;
	}

	// After a killed import: "" when the markers claim no file the import
	// left unfinished, otherwise what is wrong. Counts which markers it found.
	std::string markerFault(int& oldMarkers, int& newMarkers) const {
		if (!lumaroll::hasGameData(gameData())) {
			for (const char* marker : lumaroll::kInstalledMarkers) {
				const std::string whole = test::readFile(dir / "reference/" + marker);
				const std::string path = gameData() + "/" + marker;
				if (test::readFile(path) != whole && test::readFile(path + ".import-part") != whole)
					return std::string(marker) + " is neither in place nor held back whole";
			}
			return "";
		}
		int markersOld = 0;
		for (const char* marker : lumaroll::kInstalledMarkers)
			markersOld += old(gameData() + "/" + marker);
		int filesOld = 0;
		const std::vector<std::string> files = packageFiles();
		for (const std::string& rel : files)
			filesOld += old(gameData() + "/" + rel);
		if (markersOld == 3) {
			++oldMarkers;
			return filesOld == int(files.size()) ? "" : "the earlier markers claim files the killed import wrote";
		}
		if (markersOld == 0) {
			++newMarkers;
			return filesOld == 0 ? "" : "the import's markers are in place before every file was written";
		}
		return "earlier and new markers in place together";
	}

	// "" when every file of the package lies in the data folder whole;
	// otherwise the first that does not.
	std::string incompleteFile() const {
		const fs::path reference = dir / "reference";
		for (const fs::directory_entry& e : fs::recursive_directory_iterator(reference)) {
			if (!e.is_regular_file())
				continue;
			const std::string rel = fs::relative(e.path(), reference).string();
			if (test::readFile(e.path().string()) != test::readFile(gameData() + "/" + rel))
				return rel;
		}
		return "";
	}
};

TEST_F(KillTest, FilesStayWholeAndTheNextStartWorks) {
	// The import, and the times the kinds of work take when nobody kills them.
	auto t0 = Clock::now();
	test::ProcessResult r = run(args(Work::Import));
	ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
	const long long importMs = msSince(t0);
	t0 = Clock::now();
	r = run(args(Work::Screenshot));
	ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
	const long long shotMs = msSince(t0);
	ASSERT_TRUE(wholePng(test::readFile(shot())));
	// The failing import over the installation: an error, and the game data
	// still installed.
	t0 = Clock::now();
	r = run(args(Work::FailingImport));
	ASSERT_EQ(r.exitCode, 1) << r.out << r.err;
	ASSERT_EQ(r.err, failingError());
	const long long failingMs = msSince(t0);
	ASSERT_TRUE(lumaroll::hasGameData(gameData()));

	const char* count = std::getenv("LUMAROLL_KILLS");
	const int kills = count && std::atoi(count) > 0 ? std::atoi(count) : 2 * kWorkKinds;
	const char* seedText = std::getenv("LUMAROLL_KILL_SEED");
	const unsigned seed = seedText ? unsigned(std::strtoul(seedText, nullptr, 10)) : std::random_device{}();
	std::printf("kill test: %d kills, seed %u (LUMAROLL_KILL_SEED=%u repeats the moments)\n", kills, seed, seed);
	std::mt19937 random(seed);
	int endedFirst = 0, dataMissing = 0, newFiles = 0, oldMarkers = 0, newMarkers = 0;

	for (int k = 0; k < kills; ++k) {
		const Work work = Work(k % kWorkKinds);
		const bool import = work == Work::Import || work == Work::FailingImport;
		if (import)
			ageInstalledFiles();
		const std::string configBefore = work == Work::SettingsSave ? kOldConfig : kNewConfig;
		ASSERT_TRUE(test::writeFile(configFile(), configBefore));
		ASSERT_TRUE(test::writeFile(scoresFile(), kOldScores));
		const std::string shotBefore = test::readFile(shot());

		// When to kill: anywhere in an import, in the first quarter second
		// of a start (the settings save comes before the window), within 80
		// ms of the ride's end (the score save follows it about 30 ms later),
		// anywhere in a screenshot run.
		test::RunningProcess process(test::lumarollBinary(), options(args(work)));
		ASSERT_TRUE(process.started());
		long long delayMs = 0;
		switch (work) {
		case Work::Import:
			delayMs = std::uniform_int_distribution<long long>(0, importMs)(random);
			break;
		case Work::SettingsSave:
			delayMs = std::uniform_int_distribution<long long>(0, 250)(random);
			break;
		case Work::ScoreSave:
			delayMs = std::uniform_int_distribution<long long>(0, 80)(random);
			ASSERT_TRUE(process.waitForOutput("*** level complete", 60000)) << process.output();
			break;
		case Work::Screenshot:
			delayMs = std::uniform_int_distribution<long long>(0, shotMs)(random);
			break;
		case Work::FailingImport:
			delayMs = std::uniform_int_distribution<long long>(0, failingMs)(random);
			break;
		}
		std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
		process.sendSignal(SIGKILL);
		const test::ProcessResult killed = process.wait(10000);
		if (killed.signal != SIGKILL)
			++endedFirst;
		SCOPED_TRACE(testing::Message() << "kill " << k + 1 << " of " << kills << " (seed " << seed << "), "
										<< kWorkNames[int(work)] << " after " << delayMs << " ms");

		const std::string config = test::readFile(configFile());
		EXPECT_TRUE(config == configBefore || (work == Work::SettingsSave && config == kNewConfig)) << config;
		const std::string scores = test::readFile(scoresFile());
		std::vector<long> before, after;
		ASSERT_TRUE(parseScores(kOldScores, before));
		if (scores != kOldScores) {
			EXPECT_TRUE(work == Work::ScoreSave && parseScores(scores, after) && oneScoreEntered(before, after))
				<< scores;
			++newFiles;
		}
		const std::string picture = test::readFile(shot());
		if (picture != shotBefore) {
			EXPECT_TRUE(work == Work::Screenshot && wholePng(picture)) << picture.size() << " bytes";
			++newFiles;
		}
		if (import) {
			EXPECT_EQ(markerFault(oldMarkers, newMarkers), "");
		}
		const bool installed = lumaroll::hasGameData(gameData());
		if (installed) {
			EXPECT_EQ(incompleteFile(), "") << "the installed-data test passes over an incomplete file";
		}

		// The next start plays, or reports the game data missing and opens
		// the import screen (which waits for a user, so it is ended here);
		// then a new import brings the data back and a start plays.
		if (!installed) {
			++dataMissing;
			test::RunningProcess next(test::lumarollBinary(), options({"--frames", "5"}));
			EXPECT_TRUE(next.waitForOutput("game data not found in", 60000)) << next.output();
			next.sendSignal(SIGKILL);
			next.wait(10000);
			r = run(args(Work::Import));
			ASSERT_EQ(r.exitCode, 0) << r.out << r.err;
			ASSERT_TRUE(lumaroll::hasGameData(gameData()));
		}
		r = run({"--frames", "5"});
		EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
		EXPECT_NE(r.out.find("logic: 8 triggers"), std::string::npos) << r.out;
	}
	// A kill between a temporary file's creation and its rename leaves it
	// behind (named after the killed process, so it is never read).
	int leftBehind = 0;
	for (const fs::directory_entry& e : fs::recursive_directory_iterator(dir.path()))
		leftBehind += e.path().filename().string().find(".tmp.") != std::string::npos;
	std::printf(
		"kill test: %d ended before their kill, %d left the game data missing, %d left a new file, %d "
		"temporary files left behind; imports left the earlier markers %d times, their own %d times\n",
		endedFirst, dataMissing, newFiles, leftBehind, oldMarkers, newMarkers);
}

} // namespace
