// The real program: audio set-up lines, running without a device or without
// audio, and the level's music (WAV and MP3) written by SDL's disk driver.
#include "game/app/ProgramFixture.h"
#include "audio/SoundDecoder.h"
#include "support/Files.h"
#include "support/GameDataWriter.h"
#include "support/Mp3Writer.h"
#include "support/ProcessRunner.h"
#include "support/TempDir.h"
#include "support/WavWriter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cmath>
#include <cstdlib>
#include <thread>

namespace {

// How long a wait for a line or for sound may last: it only bounds a hang.
const int kDeadlineMs = 120000;

class AudioProgramTest : public apptest::ProgramTest {
protected:
	// The test level with an extra node whose properties are text; returns its path.
	std::string level(const std::string& text) {
		test::SceneWriter scene = test::testLevelScene();
		scene.dummy("D_sound").position(0.f, 0.f, 0.f);
		scene.userProperty("D_sound", text);
		return test::writeTestLevel(dir.path(), scene);
	}

	// The program with its sound wanted; env (the audio driver) goes last.
	test::ProcessResult run(const std::vector<std::string>& args,
							std::vector<std::pair<std::string, std::string>> env) const {
		env.insert(env.begin(), {"LUMAROLL_NO_AUDIO", test::kUnset});
		return apptest::ProgramTest::run(args, std::move(env));
	}
};

TEST_F(AudioProgramTest, UnknownDriverLeavesTheLevelSilent) {
	const test::ProcessResult r =
		run({level("music=tone.wav"), "--frames", "3"}, {{"SDL_AUDIODRIVER", "nosuchdriver"}});
	EXPECT_EQ(r.exitCode, 0) << r.err;
	EXPECT_NE(r.err.find("audio: could not initialize SDL audio: Audio target 'nosuchdriver' not available\n"),
			  std::string::npos)
		<< r.err;
	EXPECT_EQ(r.out.find("audio: "), std::string::npos) << r.out;
}

TEST_F(AudioProgramTest, NoAudioWantedMeansNoAudioLine) {
	const test::ProcessResult r =
		run({level("music=tone.wav"), "--frames", "3"}, {{"SDL_AUDIODRIVER", "dummy"}, {"LUMAROLL_NO_AUDIO", "1"}});
	EXPECT_EQ(r.exitCode, 0) << r.err;
	EXPECT_EQ(r.out.find("audio: "), std::string::npos) << r.out;
	EXPECT_EQ(r.err.find("audio: "), std::string::npos) << r.err;
}

TEST_F(AudioProgramTest, LevelMusicLoopsAtSevenTenths) {
	// A quarter second, left and right different, first frame not silent.
	const int frames = 11025;
	std::vector<double> tone;
	for (int k = 0; k < frames; ++k) {
		tone.push_back(std::round(12000 * std::sin(2 * M_PI * k / 441) + 500));
		tone.push_back(std::round(-9000 * std::cos(2 * M_PI * k / 300)));
	}
	const std::string path = level("music=tone.wav  \r");
	ASSERT_TRUE(test::makeDirs(dir / "data/sounds"));
	ASSERT_TRUE(test::WavWriter(44100, 2).samples(tone).write(dir / "data/sounds/tone.wav"));
	test::writeFile(dir / "config/lumaroll/config.ini", "# Lumaroll settings\ngraphics.fps_limit=30\n");
	const std::string raw = dir / "out.raw";

	// The program plays until its output holds a loop seam and a buffer more:
	// how much sound a number of frames writes depends on the machine.
	test::ProcessOptions o = options({path}, {{"LUMAROLL_NO_AUDIO", test::kUnset},
											  {"SDL_AUDIODRIVER", "disk"},
											  {"SDL_DISKAUDIOFILE", raw},
											  {"LUMAROLL_TRACE", "1"}});
	test::RunningProcess game(test::lumarollBinary(), o);
	ASSERT_TRUE(game.started());
	ASSERT_TRUE(game.waitForOutput("level loaded in ", kDeadlineMs)) << game.output();
	for (int waited = 0; waited < kDeadlineMs; waited += 20) {
		const test::DiskAudio sofar = test::DiskAudio::read(raw);
		if (sofar.frames() > sofar.firstNonZeroFrame() + frames + 2048)
			break;
		std::this_thread::sleep_for(std::chrono::milliseconds(20));
	}
	game.sendSignal(SIGTERM);
	const test::ProcessResult r = game.wait(kDeadlineMs);
	ASSERT_EQ(r.exitCode, 0) << r.err;
	EXPECT_NE(r.out.find("audio: 1 sound and music files indexed\n"), std::string::npos) << r.out;
	EXPECT_NE(r.out.find("audio: music tone.wav\n"), std::string::npos) << r.out;
	EXPECT_NE(r.out.find("audio: 0 ambient sounds\n"), std::string::npos) << r.out;

	const test::DiskAudio out = test::DiskAudio::read(raw);
	const size_t first = out.firstNonZeroFrame();
	ASSERT_GT(out.frames(), first + frames + 1024) << "the file holds at least one loop seam";
	// The music begins at the mix frame the program traced for it, or a
	// buffer later when SDL wrote one of silence before the mixer's first.
	const std::string traced = "[trace] music tone.wav starts at mix frame ";
	const size_t line = r.out.find(traced);
	ASSERT_NE(line, std::string::npos) << r.out;
	const size_t start = size_t(std::strtoull(r.out.c_str() + line + traced.size(), nullptr, 10));
	EXPECT_TRUE(first == start || first == start + 1024) << "traced " << start << ", sounds from " << first;
	for (size_t m = 0; first + m < out.frames(); ++m) {
		const size_t k = m % size_t(frames);
		for (int c = 0; c < 2; ++c) {
			const int expected = int(float(tone[2 * k + size_t(c)]) * 0.7f);
			const int got = c ? out.right(first + m) : out.left(first + m);
			ASSERT_LE(std::abs(got - expected), 1) << "frame " << m << " channel " << c;
		}
	}
}

TEST_F(AudioProgramTest, LevelMusicFromAnMp3WithZerosBeforeItsFirstFrame) {
	// A shape other encoders write: 48 kHz CBR without an Info frame, zero
	// bytes before the first frame. The mix must be the decoded clip at
	// seven tenths, looping.
	std::vector<double> tone;
	for (int k = 0; k < 12000; ++k) {
		tone.push_back(std::round(12000 * std::sin(2 * M_PI * k / 160)));
		tone.push_back(std::round(-9000 * std::cos(2 * M_PI * k / 110)));
	}
	std::string error;
	const std::string mp3 = test::encodeMp3(48000, 2, tone, {"-t", "-b", "128"}, &error);
	ASSERT_FALSE(mp3.empty()) << error;
	const std::string path = level("music=Tune.mp3");
	ASSERT_TRUE(test::writeFile(dir / "data/sounds/Tune.mp3", std::string(192, '\0') + mp3));
	test::writeFile(dir / "config/lumaroll/config.ini", "# Lumaroll settings\ngraphics.fps_limit=30\n");
	std::vector<int16_t> clip;
	ASSERT_TRUE(lumaroll::decodeSoundFile(dir / "data/sounds/Tune.mp3", lumaroll::SoundRoute::Mp3, clip));
	const size_t frames = clip.size() / 2;
	const std::string raw = dir / "out.raw";

	const test::ProcessResult r =
		run({path, "--frames", "30"}, {{"SDL_AUDIODRIVER", "disk"}, {"SDL_DISKAUDIOFILE", raw}});
	ASSERT_EQ(r.exitCode, 0) << r.err;
	EXPECT_NE(r.out.find("audio: music Tune.mp3\n"), std::string::npos) << r.out;
	EXPECT_EQ(r.err.find("audio: "), std::string::npos) << r.err;

	const test::DiskAudio out = test::DiskAudio::read(raw);
	const auto matches = [&](size_t at, size_t m) {
		const size_t k = m % frames;
		return std::abs(out.left(at + m) - int(float(clip[2 * k]) * 0.7f)) <= 1 &&
			   std::abs(out.right(at + m) - int(float(clip[2 * k + 1]) * 0.7f)) <= 1;
	};
	// The music starts where the first stretch of the clip (past the
	// encoder's silent start) lines up with the mix.
	size_t start = 0;
	for (; start + frames < out.frames(); ++start) {
		size_t m = 0;
		while (m < frames && matches(start, m))
			++m;
		if (m == frames)
			break;
	}
	ASSERT_GT(out.frames(), start + frames + 1024) << "the music was not found, or the file holds no loop seam";
	for (size_t m = 0; start + m < out.frames(); ++m)
		ASSERT_TRUE(matches(start, m)) << "frame " << m;
}

} // namespace
