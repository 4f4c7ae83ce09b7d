// The whole game as a player meets it, under a real X server with real key
// presses and clicks: the package imported with "--import-deb", the program
// started without arguments, level 1 played from the in-game menu through a
// fall and a respawn at the checkpoint to its end on the rail, the results
// and the stored score, level 2 from the menu, a setting changed and a
// screenshot taken in the port menu, and quitting from it. The mixed sound of
// the run (SDL's disk driver into a pipe) holds the music and the ball's
// sounds where the mixer said it started them; screenshots at fixed points
// match the pictures in reference/. The test waits for what the program says
// (its trace lines), never for a time: on a busy machine the game's time runs
// slower than the clock.
#include "game/app/ProgramFixture.h"
#include "support/FolderTree.h"
#include "support/Files.h"
#include "support/GamePackage.h"
#include "support/ImageCompare.h"
#include "support/ProcessRunner.h"
#include "support/SoundCapture.h"
#include "support/TempDir.h"
#include "support/XvfbDisplay.h"

#include <gtest/gtest.h>
#include <stb_image.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

namespace {

using test::xdotool;

// Screenshots count as the reference when at most this share of pixels has a
// channel more than kPixelTolerance away: the water, the fountain and the
// blinking eyes move between runs, and llvmpipe versions round differently.
const int kPixelTolerance = 24;
const double kDifferingShare = 0.05;

// The ride's results panel in the 800 x 480 window (the collectables' panel
// lies within it).
const test::PixelRegion kResultsPanel = {200, 79, 400, 300};

// The sounds of the run must sound within this of the mix frame the program
// traced for their start (the silence SDL writes before the mixer's first
// buffer, and the matcher's resolution).
const double kSoundWindowSeconds = 0.1;
// The package's level music repeats a four-note phrase of two seconds.
const double kMusicPhraseSeconds = 2.0;
// The mix is compared at an eighth of its rate (clips at 22.05 kHz at a quarter).
const int kMixRate = 44100;
const int kMixDecimation = 8;
const double kClipRate = double(kMixRate) / kMixDecimation;
// How long a wait for a line of the program may last: it only bounds a hang.
const int kDeadlineMs = 120000;

// The picture in a PNG file as RGB; width 0 when it cannot be read.
test::RgbImage readRgbImage(const std::string& path) {
	test::RgbImage image;
	int channels = 0;
	unsigned char* data = stbi_load(path.c_str(), &image.width, &image.height, &channels, 3);
	if (!data) {
		image.width = image.height = 0;
		return image;
	}
	image.rgb.assign(data, data + size_t(image.width) * size_t(image.height) * 3);
	stbi_image_free(data);
	return image;
}

std::string referenceDir() {
	const char* source = std::getenv("LUMAROLL_SOURCE_DIR");
	return std::string(source ? source : ".") + "/tests/game/e2e/reference";
}

// The game under Xvfb: its output, its window and the keys and clicks sent to it.
class GameUnderX {
public:
	GameUnderX(const std::string& display, const test::ProcessOptions& options)
		: m_display(display), m_process(test::lumarollBinary(), options) {}

	bool started() const { return m_process.started(); }
	test::RunningProcess& process() { return m_process; }
	const std::string& output() const { return m_process.output(); }
	size_t end() const { return m_process.output().size(); }

	// Waits for text from byte from on; the byte after it, or npos after timeoutMs.
	size_t waitFor(const std::string& text, size_t from, int timeoutMs = kDeadlineMs) {
		if (!m_process.waitForOutput(text, timeoutMs, from))
			return std::string::npos;
		return m_process.output().find(text, from) + text.size();
	}
	// Which of two texts comes first from byte from on: 0 or 1, -1 after timeoutMs.
	int waitForEither(const std::string& a, const std::string& b, size_t from, int timeoutMs = kDeadlineMs) {
		const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
		for (;;) {
			const size_t atA = output().find(a, from), atB = output().find(b, from);
			if (atA != std::string::npos || atB != std::string::npos)
				return atA < atB ? 0 : 1;
			if (std::chrono::steady_clock::now() >= until)
				return -1;
			// Reads whatever comes within a moment; the next line may be either.
			m_process.waitForOutput("\n", 100, end());
		}
	}

	bool findWindow() {
		m_window = test::findWindow(m_display, "^Lumaroll$", kDeadlineMs);
		return !m_window.empty();
	}
	bool keys(const std::vector<std::string>& names) { return send("key", names); }
	bool keyDown(const std::string& name) { return send("keydown", {name}); }
	bool keyUp(const std::string& name) { return send("keyup", {name}); }
	bool click(float x, float y) {
		return xdotool(m_display, {"mousemove", "--window", m_window, std::to_string(int(x)), std::to_string(int(y)),
								   "click", "1"});
	}
	// Clicks the middle of an item the overlay traced as "[trace] NAME at X Y size W H".
	bool clickTraced(const std::string& name, size_t from) {
		const std::string head = "[trace] " + name + " at ";
		const size_t at = waitFor(head, from);
		if (at == std::string::npos)
			return false;
		float x = 0.f, y = 0.f, w = 0.f, h = 0.f;
		if (std::sscanf(output().c_str() + at, "%f %f size %f %f", &x, &y, &w, &h) != 4)
			return false;
		return click(x + w / 2.f, y + h / 2.f);
	}
	// Presses the keys and F2 in one go and waits for the overlay's
	// screenshot; its path, or "".
	std::string screenshot(std::vector<std::string> first = {}) {
		const size_t from = end();
		first.push_back("F2");
		if (!keys(first))
			return "";
		const size_t at = waitFor("screenshot: ", from);
		if (at == std::string::npos || waitFor("\n", at) == std::string::npos)
			return "";
		return output().substr(at, output().find('\n', at) - at);
	}

private:
	bool send(const char* command, const std::vector<std::string>& names) {
		std::vector<std::string> args = {command, "--window", m_window};
		args.insert(args.end(), names.begin(), names.end());
		return xdotool(m_display, args);
	}

	std::string m_display;
	test::RunningProcess m_process;
	std::string m_window;
};

class PlayThroughTest : public apptest::ProgramTest {
protected:
	void SetUp() override {
		apptest::ProgramTest::SetUp();
		for (const char* folder : {"home", "userdata", "config/lumaroll", "pictures"})
			ASSERT_TRUE(test::makeDirs(dir / folder));
		test::writeFile(dir / "config/lumaroll/config.ini",
						"# Lumaroll settings\ngeneral.check_updates=0\ngraphics.fps_limit=60\n");
		std::string log;
		ASSERT_TRUE(test::writeGamePackage(outside / "plimbo-test.deb", &log)) << log;
	}

	// The program tests' home, with the caches and state below it too (so
	// that everything the program may write lies below dir), the sound on, a
	// fixed font and the C language; extra last.
	test::ProcessOptions options(const std::vector<std::string>& args,
								 std::vector<std::pair<std::string, std::string>> extra = {}) const {
		std::vector<std::pair<std::string, std::string>> env = {
			{"XDG_CACHE_HOME", dir / "home/.cache"},
			{"XDG_STATE_HOME", dir / "home/.local/state"},
			// Mesa's shader cache is the driver's, not the program's writing.
			{"MESA_SHADER_CACHE_DISABLE", "true"},
			{"LUMAROLL_NO_AUDIO", test::kUnset},
			{"LUMAROLL_MENU_COMPACT", test::kUnset},
			{"LUMAROLL_FONT", "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"},
			{"LANGUAGE", test::kUnset},
			{"LC_ALL", test::kUnset},
			{"LC_MESSAGES", test::kUnset},
			{"LANG", "C"}};
		env.insert(env.end(), extra.begin(), extra.end());
		return apptest::ProgramTest::options(args, std::move(env));
	}

	// The screenshot at path against reference/NAME.png within region; the
	// first good run stores it there (to be looked at before it is committed).
	void compareWithReference(const std::string& name, const std::string& path, test::PixelRegion region = {}) {
		SCOPED_TRACE(name);
		const test::RgbImage shot = readRgbImage(path);
		ASSERT_GT(shot.width, 0) << "no screenshot at " << path;
		const std::string reference = referenceDir() + "/" + name + ".png";
		if (!test::fileExists(reference) || std::getenv("LUMAROLL_NEW_REFERENCES")) {
			ASSERT_TRUE(test::writeFile(reference, test::readFile(path))) << reference;
			std::printf("stored the new reference picture %s\n", reference.c_str());
			return;
		}
		const test::ImageDifference d = test::compareImages(readRgbImage(reference), shot, kPixelTolerance, region);
		EXPECT_TRUE(d.sameSize) << path;
		EXPECT_LE(d.differingShare, kDifferingShare)
			<< path << " differs from " << reference << " (largest channel difference " << d.largestDelta << ")";
		// Kept in the working folder for a look at what went wrong.
		if (d.differingShare > kDifferingShare)
			test::writeFile("e2e-" + name + "-failed.png", test::readFile(path));
		std::printf("%s: %.2f %% of the pixels differ by more than %d\n", name.c_str(), 100.0 * d.differingShare,
					kPixelTolerance);
	}

	test::TempDir outside; // the package and the sound pipe, out of the program's way
};

// Where a clip sounds near the expected moment, in seconds, or -1. A clip
// that repeats every `period` seconds (the music's phrase) may be found at
// any later repetition, as long as it stays in step with the expected start:
// under load the first phrase can reach the mix too faint to be matched.
double soundsNear(const std::vector<test::ClipMatch>& matches, double expected, double period = 0.0) {
	for (const test::ClipMatch& m : matches) {
		const double at = double(m.at) / kClipRate;
		double offset = at - expected;
		if (period > 0.0 && offset > 0.0)
			offset -= period * std::round(offset / period);
		if (offset > -kSoundWindowSeconds && offset < kSoundWindowSeconds)
			return at;
	}
	return -1.0;
}

// A start the audio engine traced: "[trace] sound|music NAME starts at mix frame N".
struct TracedStart {
	size_t end = std::string::npos; // the byte after the line in the output, npos when there is none
	unsigned long long frame = 0;
};

// The first start of the clip traced in text from byte from on (kind "sound" or "music").
TracedStart tracedStart(const std::string& text, const std::string& kind, const std::string& clip, size_t from) {
	TracedStart start;
	const std::string head = "[trace] " + kind + " " + clip + " starts at mix frame ";
	const size_t at = text.find(head, from);
	const size_t eol = at == std::string::npos ? at : text.find('\n', at);
	if (eol == std::string::npos)
		return start;
	start.frame = std::strtoull(text.c_str() + at + head.size(), nullptr, 10);
	start.end = eol + 1;
	return start;
}

TEST_F(PlayThroughTest, ImportPlayBothLevelsChangeASettingAndQuit) {
	if (!test::xdotoolInstalled())
		GTEST_SKIP() << "xdotool is not installed";
	test::XvfbDisplay display;
	if (!display.started())
		GTEST_SKIP() << display.error();

	// Earlier best distances short enough for the first level's ride to beat.
	ASSERT_TRUE(test::writeFile(dir / "userdata/lumaroll/level2.scores", "5\n3\n1\n"));
	const std::map<std::string, test::TreeEntry> before = test::readFolderTree(dir.path());
	const test::ProcessResult imported =
		test::runProcess(test::lumarollBinary(), options({"--import-deb", outside / "plimbo-test.deb"}), kDeadlineMs);
	ASSERT_EQ(imported.exitCode, 0) << imported.out << imported.err;

	test::PipeRecorder recorder(outside / "mix.raw");
	ASSERT_TRUE(recorder.started());
	GameUnderX game(display.name(), options({}, {{"DISPLAY", display.name()},
												 {"SDL_VIDEODRIVER", "x11"},
												 {"SDL_VIDEO_X11_FORCE_EGL", "1"},
												 {"SDL_AUDIODRIVER", "disk"},
												 {"SDL_DISKAUDIOFILE", recorder.path()},
												 {"LUMAROLL_TRACE", "1"}}));
	ASSERT_TRUE(game.started());

	// The menu level from the imported data; 'p' opens the in-game menu,
	// two steps right select level 1 (first the menu level's picture).
	size_t at = game.waitFor("level loaded in ", 0);
	ASSERT_NE(at, std::string::npos) << game.output();
	ASSERT_NE(game.waitFor("port menu: ready", 0), std::string::npos) << game.output();
	ASSERT_TRUE(game.findWindow()) << "no window named Lumaroll";
	// Behind the menu the menu level runs on with the start logo, at full
	// strength from a third of a second of game time to two and a half: the
	// keys and the screenshot go in one go once the program says it is full.
	ASSERT_NE(game.waitFor("[trace] logo at full strength\n", at), std::string::npos) << game.output();
	const std::string menuShot = game.screenshot({"p", "Right", "Right"});
	ASSERT_FALSE(menuShot.empty()) << game.output();
	// Started from the imported data, the program works in the levels' folder.
	at = game.end();
	ASSERT_TRUE(game.keys({"Return"}));
	at = game.waitFor("--- level change: level01.hgr (play) ---\n", at);
	ASSERT_NE(at, std::string::npos) << game.output();
	const size_t level1Start = at;
	at = game.waitFor("level loaded in ", at);
	ASSERT_NE(at, std::string::npos) << game.output();

	// Up from the start takes the coin and the checkpoint; let go at the jump
	// hint, the ball rolls on into the gap. (Let go once it fell, Up could
	// still be held when it is back at the checkpoint, and roll it on.)
	ASSERT_TRUE(game.keyDown("Up"));
	for (const char* volume : {"T_item01", "T_checkpoint01", "T_jump", "T_fall"}) {
		at = game.waitFor(std::string("[trace] ball enters ") + volume + "\n", at);
		ASSERT_NE(at, std::string::npos) << volume << "\n" << game.output();
		if (std::string(volume) == "T_jump") {
			ASSERT_TRUE(game.keyUp("Up"));
		}
	}
	// Back at the checkpoint, the ball and its camera at rest.
	at = game.waitFor("[trace] ball at rest at ", at);
	ASSERT_NE(at, std::string::npos) << game.output();
	ASSERT_NE(game.waitFor("\n", at), std::string::npos) << game.output();
	float restX = 0.f, restY = 0.f, restZ = 0.f;
	ASSERT_EQ(std::sscanf(game.output().c_str() + at, "(%f, %f, %f)", &restX, &restY, &restZ), 3) << game.output();
	EXPECT_NEAR(restZ, test::gamepackage::kCheckpointZ, 1.f) << "the ball rests away from the checkpoint";
	const std::string levelShot = game.screenshot();
	ASSERT_FALSE(levelShot.empty()) << game.output();

	// From the checkpoint: Up, Space on entering the jump hint, over the gap
	// onto the rail. A jump that falls short respawns at the checkpoint again.
	const std::string jumpSound = "[trace] sound plimbo_jump.wav starts at mix frame ";
	const std::string fell = "[trace] ball enters T_fall\n";
	size_t jumped = std::string::npos; // where the jump of the last attempt was traced
	int attempts = 0;
	bool onRail = false;
	for (; attempts < 4 && !onRail; ++attempts) {
		at = game.end();
		ASSERT_TRUE(game.keyDown("Up"));
		at = game.waitFor("[trace] ball enters T_jump\n", at);
		ASSERT_NE(at, std::string::npos) << game.output();
		// Held until the ball jumped (a press and release within one frame is
		// no jump), or fell: it may have left the edge before the key came.
		ASSERT_TRUE(game.keyDown("space"));
		const int jumpedOrFell = game.waitForEither(jumpSound, fell, at);
		ASSERT_GE(jumpedOrFell, 0) << game.output();
		ASSERT_TRUE(game.keyUp("space"));
		jumped = jumpedOrFell == 0 ? game.output().find(jumpSound, at) : std::string::npos;
		const int outcome = game.waitForEither("[trace] ball enters T_railstart\n", fell, at);
		ASSERT_GE(outcome, 0) << game.output();
		ASSERT_TRUE(game.keyUp("Up"));
		onRail = outcome == 0;
		if (!onRail) {
			at = game.waitFor("[trace] ball at rest at ", game.output().find(fell, at));
			ASSERT_NE(at, std::string::npos) << game.output();
		}
	}
	ASSERT_TRUE(onRail) << "the ball never cleared the gap\n" << game.output();
	ASSERT_NE(jumped, std::string::npos) << "the ball reached the rail without a jump\n" << game.output();
	std::printf("over the gap at jump %d\n", attempts);
	at = game.waitFor("*** level complete: 1 points ***\n", at);
	ASSERT_NE(at, std::string::npos) << game.output();
	at = game.waitFor("[trace] results shown\n", at);
	ASSERT_NE(at, std::string::npos) << game.output();
	const std::string resultsShot = game.screenshot();
	ASSERT_FALSE(resultsShot.empty()) << game.output();
	// The ridden distance (some 11 m) heads the earlier best distances.
	const std::string scores = test::readFile(dir / "userdata/lumaroll/level2.scores");
	int best[3] = {0, 0, 0};
	ASSERT_EQ(std::sscanf(scores.c_str(), "%d %d %d", &best[0], &best[1], &best[2]), 3) << scores;
	EXPECT_GT(best[0], 5) << scores;
	EXPECT_EQ(best[1], 5) << scores;
	EXPECT_EQ(best[2], 3) << scores;

	// Return opens the menu once the level is over; three steps right select level 2.
	at = game.end();
	ASSERT_TRUE(game.keys({"Return", "Right", "Right", "Right", "Return"}));
	at = game.waitFor("--- level change: level02.hgr (play) ---\n", at);
	ASSERT_NE(at, std::string::npos) << game.output();
	const size_t level1End = at;
	at = game.waitFor("level loaded in ", at);
	ASSERT_NE(at, std::string::npos) << game.output();

	// Level 2 rides itself to its end after the countdown: its results show
	// the ridden distance and the best distances (the collectables' panel
	// covers them in level 1).
	at = game.waitFor("*** level complete: 0 points ***\n", at);
	ASSERT_NE(at, std::string::npos) << game.output();
	at = game.waitFor("[trace] results shown\n", at);
	ASSERT_NE(at, std::string::npos) << game.output();
	const std::string rideShot = game.screenshot();
	ASSERT_FALSE(rideShot.empty()) << game.output();

	// The port menu: the controls tab, its "invert y" box, a screenshot, quit.
	ASSERT_TRUE(game.keys({"Escape"}));
	ASSERT_TRUE(game.clickTraced("tab.controls", 0)) << game.output();
	ASSERT_TRUE(game.clickTraced("controls.invert_y", 0)) << game.output();
	const std::string overlayShot = game.screenshot();
	ASSERT_FALSE(overlayShot.empty()) << game.output();
	ASSERT_TRUE(game.clickTraced("button.quit_game", 0)) << game.output();
	const test::ProcessResult r = game.process().wait(kDeadlineMs);
	EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
	EXPECT_FALSE(r.timedOut);
	recorder.stop();

	const std::string config = test::readFile(dir / "config/lumaroll/config.ini");
	EXPECT_NE(config.find("\ncontrols.invert_y=1\n"), std::string::npos) << config;
	for (const std::string& shot : {menuShot, levelShot, resultsShot, rideShot, overlayShot})
		EXPECT_EQ(shot.rfind(dir / "pictures/", 0), 0u) << shot;
	EXPECT_EQ(readRgbImage(overlayShot).width, 800) << overlayShot;
	// The log ends with the last line the program printed.
	const std::string log = test::readFile(dir / "userdata/lumaroll/lumaroll.log");
	ASSERT_FALSE(r.out.empty());
	const std::string lastLine = r.out.substr(r.out.rfind('\n', r.out.size() - 2) + 1);
	EXPECT_NE(log.find(lastLine), std::string::npos) << "the log lacks \"" << lastLine << "\"\n" << log;

	// Nothing written outside the data, configuration and pictures folders.
	for (const std::string& path : test::changedPaths(before, test::readFolderTree(dir.path()))) {
		// The folders above them change only by the folders made in them.
		const bool allowed = path == "userdata" || path.rfind("userdata/lumaroll", 0) == 0 ||
							 path.rfind("config/lumaroll", 0) == 0 || path.rfind("pictures", 0) == 0;
		EXPECT_TRUE(allowed) << "written: " << path;
	}

	compareWithReference("menu", menuShot);
	compareWithReference("level", levelShot);
	// Behind the results the frame the level ended on, blurred: where the
	// ride was then depends on the frame times; the panels must match.
	compareWithReference("results", resultsShot, kResultsPanel);
	compareWithReference("ride-results", rideShot, kResultsPanel);

	// The sound of level 1 (the second audio device the program opened:
	// each level opens its own) holds the music from the level's start, the
	// jump that cleared the gap and the landing beyond it, each where the
	// mixer traced its start.
	const std::vector<test::PipeRecorder::Recording> recordings = recorder.recordings();
	ASSERT_GE(recordings.size(), 3u) << "one recording a level";
	const test::PipeRecorder::Recording& level1 = recordings[1];
	const std::vector<float> mix = test::decimate(test::monoFromPcm16(level1.bytes, 2), kMixDecimation);
	const std::string level1Out = r.out.substr(0, level1End);
	const TracedStart music = tracedStart(level1Out, "music", "music01.mp3", level1Start);
	const TracedStart jump = tracedStart(level1Out, "sound", "plimbo_jump.wav", jumped);
	// The landing sounds when the ball touches the ground beyond the gap before
	// the rail takes it: a jump that comes later (the key a frame later on a
	// busy machine) lands on the rail's start, where the rail holds the ball.
	const TracedStart landing =
		tracedStart(level1Out, "sound", "plimbo_collision.wav", jump.end == std::string::npos ? jumped : jump.end);
	if (landing.end == std::string::npos)
		std::printf("the ball landed beyond the gap without a sound (on the rail)\n");
	struct Sound {
		const char* file;
		TracedStart start;
		double minScore;
		double period; // seconds after which the clip repeats, 0 for once
		bool required; // else only checked when its start was traced
	} sounds[] = {
		{"music01.mp3", music, 0.6, kMusicPhraseSeconds, true},
		{"plimbo_jump.wav", jump, 0.4, 0.0, true},
		{"plimbo_collision.wav", landing, 0.4, 0.0, false},
	};
	for (const Sound& sound : sounds) {
		if (sound.start.end == std::string::npos && !sound.required)
			continue;
		ASSERT_NE(sound.start.end, std::string::npos) << "no start of " << sound.file << " traced\n" << level1Out;
		const double expected = double(sound.start.frame) / kMixRate;
		int rate = 0;
		std::vector<float> clip =
			test::readSoundFile(dir / ("userdata/lumaroll/data/resources/sounds/" + std::string(sound.file)), &rate);
		ASSERT_FALSE(clip.empty()) << sound.file;
		clip = test::decimate(clip, rate * kMixDecimation / kMixRate);
		// One phrase of the music is enough to find it; it repeats every two seconds.
		if (clip.size() > size_t(kClipRate * 2))
			clip.resize(size_t(kClipRate * 2));
		const std::vector<test::ClipMatch> found = test::findClip(mix, clip, sound.minScore);
		const double heard = soundsNear(found, expected, sound.period);
		std::string where;
		for (const test::ClipMatch& m : found)
			where += " " + std::to_string(double(m.at) / kClipRate) + " (" + std::to_string(m.score) + ")";
		EXPECT_GE(heard, 0.0) << sound.file << " expected at " << expected << " s; found at" << where;
		std::printf("%s: expected at %.3f s, sounds at %.3f s\n", sound.file, expected, heard);
	}
}

} // namespace
