// The mixer, called directly on a paused device for exact tables, and the
// voice list it shares with the main thread.
#include "AudioFixture.h"
#include "support/AllocationCounter.h"

#include <cmath>
#include <limits>

using namespace audiotest;

namespace {

class MixerTest : public AudioTest {
protected:
	// Writes the clips, starts the engine and pauses its device.
	void SetUp() override {
		std::vector<double> ramp;
		for (int k = 0; k < 1500; ++k) {
			ramp.push_back(k);
			ramp.push_back(-k);
		}
		stereo("ramp.wav", ramp); // frame k: (k, -k)
		stereo("high.wav", constant(1500, 20000, -20000));
		stereo("mid.wav", constant(1500, 12767, -12000));
		stereo("ten.wav", constant(1500, 10000, -10000));
		stereo("Sfx/Door.wav", constant(100, 1, 1));
		restart();
	}

	// A new engine on the data folder, its device paused.
	void restart() {
		audio.reset(); // the dummy driver has one device
		audio = start();
		ASSERT_TRUE(started) << startErr;
		audio->pauseDevice(true);
	}

	// One buffer of frames stereo frames.
	std::vector<int16_t> mix(int frames = 1024) {
		std::vector<int16_t> out(size_t(frames) * 2, 12345);
		audio->mix(out.data(), frames);
		return out;
	}

	std::unique_ptr<Audio> audio;
};

TEST_F(MixerTest, SumsAreClampedToTheSixteenBitRange) {
	struct Case {
		const char* name;
		const char* a;
		const char* b;
		float volume; // of the second voice
		int16_t left, right;
	};
	const float nan = std::numeric_limits<float>::quiet_NaN();
	const float inf = std::numeric_limits<float>::infinity();
	const Case cases[] = {
		{"sum 32767 is kept", "high.wav", "mid.wav", 1.f, 32767, -32000},
		{"40000 and -40000 are clamped", "high.wav", "high.wav", 1.f, 32767, -32768},
		{"a sum just over full scale stays at full scale", "high.wav", "mid.wav", 1.0001f, 32767, -32001},
		{"NaN gain writes silence", "high.wav", "ten.wav", nan, 0, 0},
		{"infinite gain writes silence", "high.wav", "ten.wav", inf, 0, 0},
	};
	for (const Case& c : cases) {
		ASSERT_GT(audio->playSound(c.a, false, 1.f), 0) << c.name;
		const int second = audio->playSound(c.b, false, 1.f);
		audio->setVolume(second, c.volume);
		const std::vector<int16_t> out = mix();
		EXPECT_EQ(out[0], c.left) << c.name;
		EXPECT_EQ(out[1], c.right) << c.name;
		EXPECT_EQ(out[2046], c.left) << c.name;
		audio->stopSound(c.a);
		audio->stopSound(c.b);
	}
}

TEST_F(MixerTest, OneShotsEndAndLoopsWrapWithoutAGap) {
	audio->playSound("ramp.wav", false, 1.f);
	std::vector<int16_t> out = mix();
	EXPECT_EQ(out[2 * 1023], 1023);
	out = mix();
	EXPECT_EQ(out[2 * 475], 1499) << "the last frame of the one-shot";
	EXPECT_EQ(out[2 * 475 + 1], -1499);
	EXPECT_EQ(out[2 * 476], 0);
	EXPECT_EQ(out[2 * 1023 + 1], 0);
	EXPECT_TRUE(audio->voices().empty()) << "removed during the second buffer";

	audio->playSound("ramp.wav", true, 1.f);
	mix();
	out = mix();
	EXPECT_EQ(out[2 * 475], 1499);
	EXPECT_EQ(out[2 * 476], 0) << "clip frame 0 right after the last one";
	EXPECT_EQ(out[2 * 477], 1);
	EXPECT_EQ(out[2 * 1023 + 1], -547);
	ASSERT_EQ(audio->voices().size(), 1u);
	EXPECT_EQ(audio->voices()[0].position, 548u);

	// A request longer than the device's buffer is mixed in blocks, seamlessly.
	out = mix(3000);
	EXPECT_EQ(out[0], 548);
	EXPECT_EQ(out[2 * 951], 1499);
	EXPECT_EQ(out[2 * 952], 0);
	EXPECT_EQ(out[2 * 2452], 0);
	EXPECT_EQ(out[2 * 2999], 547);
}

TEST_F(MixerTest, BackgroundMuteHoldsEveryVoiceInPlace) {
	audio->playSound("ramp.wav", true, 1.f);
	mix(100);
	audio->backgroundMute = true;
	for (int i = 0; i < 3; ++i) {
		const std::vector<int16_t> out = mix();
		EXPECT_EQ(out, std::vector<int16_t>(2048, 0));
	}
	EXPECT_EQ(audio->voices()[0].position, 100u);
	audio->backgroundMute = false;
	EXPECT_EQ(mix()[0], 100) << "playback resumes where it was";
}

TEST_F(MixerTest, GainIsVoiceVolumeTimesGroupVolumeTimesMasterVolume) {
	struct Case {
		const char* name;
		bool music;
		float voice, musicVolume;
		bool musicMute;
		float soundsVolume;
		bool soundsMute;
		float master;
		bool masterMute;
		int16_t left;
	};
	const Case cases[] = {
		{"sound at full gain", false, 1.f, 1.f, false, 1.f, false, 1.f, false, 10000},
		{"sound, all three gains", false, 0.5f, 0.1f, false, 0.5f, false, 0.5f, false, 1250},
		{"music, all three gains", true, 0.5f, 0.5f, false, 0.1f, false, 0.5f, false, 1250},
		{"sounds muted", false, 1.f, 1.f, false, 1.f, true, 1.f, false, 0},
		{"music muted", true, 1.f, 1.f, true, 1.f, false, 1.f, false, 0},
		{"music muted leaves sounds", false, 1.f, 1.f, true, 1.f, false, 1.f, false, 10000},
		{"sounds muted leave music", true, 1.f, 1.f, false, 1.f, true, 1.f, false, 10000},
		{"master muted", false, 1.f, 1.f, false, 1.f, false, 1.f, true, 0},
	};
	for (const Case& c : cases) {
		restart();
		audio->musicVolume = c.musicVolume;
		audio->musicMute = c.musicMute;
		audio->soundsVolume = c.soundsVolume;
		audio->soundsMute = c.soundsMute;
		audio->masterVolume = c.master;
		audio->masterMute = c.masterMute;
		if (c.music)
			audio->playMusic("ten.wav", c.voice);
		else
			audio->playSound("ten.wav", true, c.voice);
		const std::vector<int16_t> out = mix(16);
		EXPECT_EQ(out[0], c.left) << c.name;
		EXPECT_EQ(out[1], -c.left) << c.name;
	}
}

TEST_F(MixerTest, VoicesByIdNameAndKind) {
	// Ids count every start, music included.
	EXPECT_EQ(audio->playSound("ten.wav", true, 1.f), 1);
	audio->playMusic("ramp.wav", 1.f);
	EXPECT_EQ(audio->playSound("high.wav", true, 1.f), 3);
	EXPECT_EQ(audio->voices()[1].id, 2);
	EXPECT_TRUE(audio->voices()[1].music);

	// Music changes only for a clip that plays.
	Captured quiet;
	const bool missing = audio->playMusic("missing.wav", 1.f);
	quiet.finish();
	EXPECT_FALSE(missing);
	EXPECT_EQ(audio->voices().size(), 3u);
	EXPECT_TRUE(audio->playMusic("mid.wav", 0.25f));
	std::vector<Audio::Voice> v = audio->voices();
	ASSERT_EQ(v.size(), 3u);
	EXPECT_EQ(v[2].name, "mid.wav");
	EXPECT_TRUE(v[2].music);
	EXPECT_EQ(v[2].id, 4);

	// Music is never stopped by name; sounds are, by their file name in any case.
	audio->stopSound("mid.wav");
	audio->stopSound("HIGH.WAV");
	v = audio->voices();
	ASSERT_EQ(v.size(), 2u);
	EXPECT_EQ(v[0].name, "ten.wav");
	EXPECT_EQ(v[1].name, "mid.wav");

	// A sound started with folders stops by its bare name, and the other way round.
	audio->playSound("Sfx/Door.wav", true, 1.f);
	audio->stopSound("door.wav");
	audio->playSound("door.wav", true, 1.f);
	audio->stopSound("SFX/DOOR.WAV");
	EXPECT_EQ(audio->voices().size(), 2u);

	audio->setVolume(99, 0.75f);
	audio->setVolume(1, 0.5f);
	v = audio->voices();
	EXPECT_EQ(v[0].volume, 0.5f);
	EXPECT_EQ(v[1].volume, 0.25f) << "an unknown id changes nothing";
}

TEST_F(MixerTest, MixingAllocatesNothing) {
	for (int i = 0; i < 8; ++i)
		audio->playSound("ramp.wav", i % 2 == 0, 0.1f);
	audio->playMusic("ten.wav", 0.7f);
	std::vector<int16_t> out(4096 * 2);
	const long before = test::allocationCount();
	for (int i = 0; i < 4; ++i)
		audio->mix(out.data(), 1024); // the one-shots end and are removed on the way
	audio->mix(out.data(), 4096);
	audio->backgroundMute = true;
	audio->mix(out.data(), 1024);
	EXPECT_EQ(test::allocationCount(), before);
	EXPECT_EQ(audio->voices().size(), 5u);
}

} // namespace
