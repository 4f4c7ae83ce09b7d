// Sound files to clips: the conversion to 44.1 kHz stereo, the file formats,
// the cache by name, the route by name checked against the content, and the
// failures, each reported once.
#include "AudioFixture.h"

#include "support/Mp3Writer.h"

#include <sndfile.h>
#include <sys/stat.h>

#include <cmath>
#include <functional>
#include <limits>

using namespace audiotest;

namespace {

TEST_F(AudioTest, ConversionToTheDeviceRate) {
	// 22050 Hz mono: every output frame lies on or halfway between source frames.
	std::vector<double> mono(1000);
	for (int k = 0; k < 1000; ++k)
		mono[size_t(k)] = (k % 13) * 100 - 600;
	mono[0] = 1000, mono[1] = 1001, mono[2] = -1000, mono[3] = -1001, mono[999] = 1234;
	wav("mono22.wav", WavWriter(22050, 1).samples(mono));
	wav("st48.wav", WavWriter(48000, 2).samples(WavWriter::sine(48000, 2, 20000, 100)));
	wav("st32.wav", WavWriter(32000, 1).samples(WavWriter::sine(32000, 1, 20000, 100)));
	const std::vector<double> same = WavWriter::sine(3000, 2, 30000, 77);
	stereo("st44.wav", same);
	std::vector<double> four;
	for (int k = 0; k < 500; ++k)
		for (int c = 0; c < 4; ++c)
			four.push_back(c * 1000 + k);
	wav("four.wav", WavWriter(44100, 4).samples(four));
	auto audio = start();

	const std::vector<int16_t> m = decode(*audio, "mono22.wav");
	ASSERT_EQ(m.size(), 2000u * 2);
	EXPECT_EQ(m[0], 1000);
	EXPECT_EQ(m[2], 1000) << "(1000 + 1001) / 2 truncated";
	EXPECT_EQ(m[10], -1000) << "(-1000 + -1001) / 2 truncated toward zero";
	EXPECT_EQ(m[1998 * 2], 1234);
	EXPECT_EQ(m[1999 * 2], 1234);
	for (size_t j = 0; j < 2000; ++j)
		ASSERT_EQ(m[2 * j], m[2 * j + 1]) << "mono plays on both sides, frame " << j;

	EXPECT_EQ(decode(*audio, "st48.wav").size(), 44099u * 2) << "48000 / (48000 / 44100.0) is just below 44100";
	EXPECT_EQ(decode(*audio, "st32.wav").size(), 44100u * 2);

	const std::vector<int16_t> copied = decode(*audio, "st44.wav");
	ASSERT_EQ(copied.size(), same.size());
	for (size_t i = 0; i < same.size(); ++i)
		ASSERT_EQ(copied[i], int16_t(same[i])) << "sample " << i;

	const std::vector<int16_t> f = decode(*audio, "four.wav");
	ASSERT_EQ(f.size(), 1000u);
	EXPECT_EQ(f[2 * 321], 321);
	EXPECT_EQ(f[2 * 321 + 1], 1321);
}

// 1000 frames at 44100 Hz mono whose first sample is first (in the file's units).
struct FormatCase {
	const char* name;
	std::function<bool(const std::string& path)> write;
	int16_t firstSample; // decoded
	int tolerance;		 // of the first sample (lossy encodings)
	size_t extraFrames;	 // beyond 1000 that the encoding adds (block padding)
};

std::function<bool(const std::string&)> writer(WavWriter::Encoding e, double first, bool extensible = false) {
	return [=](const std::string& path) {
		std::vector<double> s(1000, 0.0);
		if (e == WavWriter::PCM_U8)
			s.assign(1000, 128);
		s[0] = first;
		return WavWriter(44100, 1, e).extensible(extensible).samples(s).write(path);
	};
}

std::function<bool(const std::string&)> sndfileWriter(int format) {
	return [=](const std::string& path) {
		std::vector<float> s(1000, 0.f);
		s[0] = 0.5f;
		return test::writeWithSndfile(path, format, 44100, 1, s);
	};
}

TEST_F(AudioTest, FileFormatsDecodeToTheirLengthAndLevel) {
	const FormatCase cases[] = {
		{"8-bit unsigned", writer(WavWriter::PCM_U8, 192), 16384, 0, 0},
		{"16-bit", writer(WavWriter::PCM_16, 16384), 16384, 0, 0},
		{"24-bit", writer(WavWriter::PCM_24, 4194304), 16384, 0, 0},
		{"32-bit", writer(WavWriter::PCM_32, 1073741824), 16384, 0, 0},
		{"float 32", writer(WavWriter::FLOAT_32, 0.5), 16383, 0, 0},
		{"float 64", writer(WavWriter::FLOAT_64, 0.5), 16383, 0, 0},
		{"extensible 16-bit", writer(WavWriter::PCM_16, 16384, true), 16384, 0, 0},
		{"extensible 24-bit", writer(WavWriter::PCM_24, 4194304, true), 16384, 0, 0},
		{"extensible float", writer(WavWriter::FLOAT_32, 0.5, true), 16383, 0, 0},
		{"data size overstated (truncated file)",
		 [](const std::string& path) {
			 std::vector<double> s(1000, 0.0);
			 s[0] = 16384;
			 return WavWriter(44100, 1).samples(s).dataSizeField(4000 * 2).write(path);
		 },
		 16384, 0, 0},
		{"mu-law", sndfileWriter(SF_FORMAT_WAV | SF_FORMAT_ULAW), 16384, 400, 0},
		// libsndfile's IMA ADPCM writer fills whole blocks of 2041 frames at this rate.
		{"IMA ADPCM", sndfileWriter(SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM), 16384, 4000, 2 * 2041 + 7},
	};
	lumaroll::makeDirs(data());
	for (size_t i = 0; i < std::size(cases); ++i)
		ASSERT_TRUE(cases[i].write(data() + "/f" + std::to_string(i) + ".wav")) << cases[i].name;
	auto audio = start();
	for (size_t i = 0; i < std::size(cases); ++i) {
		const FormatCase& c = cases[i];
		const std::vector<int16_t> s = decode(*audio, "f" + std::to_string(i) + ".wav");
		ASSERT_GE(s.size(), 2000u) << c.name;
		EXPECT_LE(s.size(), 2 * (1000 + c.extraFrames)) << c.name;
		EXPECT_NEAR(s[0], c.firstSample, c.tolerance) << c.name;
		EXPECT_EQ(s[0], s[1]) << c.name;
	}
}

TEST_F(AudioTest, FloatSamplesAreClampedAndScaledBy32767) {
	const double nan = std::numeric_limits<double>::quiet_NaN();
	const std::vector<double> in = {0.5, 1.0, 1.5, -1.5, -1.0, -0.25, nan};
	const std::vector<int16_t> expected = {16383, 32767, 32767, -32767, -32767, -8191, 0};
	wav("f32.wav", WavWriter(44100, 1, WavWriter::FLOAT_32).samples(in));
	wav("f64.wav", WavWriter(44100, 1, WavWriter::FLOAT_64).samples(in));
	auto audio = start();
	for (const char* name : {"f32.wav", "f64.wav"}) {
		const std::vector<int16_t> s = decode(*audio, name);
		ASSERT_EQ(s.size(), 2 * in.size()) << name;
		for (size_t i = 0; i < in.size(); ++i)
			EXPECT_EQ(s[2 * i], expected[i]) << name << ": " << in[i];
	}
}

TEST_F(AudioTest, OneDecodeServesEveryNameOfAFile) {
	stereo("Sfx/Door.WAV", constant(100, 5, 6));
	auto audio = start();
	const auto first = audio->getClip("Sfx/Door.WAV");
	ASSERT_TRUE(first);
	EXPECT_EQ(audio->getClip("door.wav"), first);
	EXPECT_EQ(audio->getClip("other/DOOR.wav"), first);
	EXPECT_EQ(audio->cachedClips(), 1u);
}

std::vector<float> toneOfPeak(float peak, int frames) {
	std::vector<float> s;
	for (int k = 0; k < frames; ++k) {
		const float v = peak * std::sin(float(k) * 0.07f);
		s.push_back(v);
		s.push_back(v);
	}
	return s;
}

TEST_F(AudioTest, Mp3DecodesToItsLengthAndLevel) {
	lumaroll::makeDirs(data());
	ASSERT_TRUE(test::writeWithSndfile(data() + "/Tune.MP3", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100, 2,
									   toneOfPeak(0.3f, 20000)));
	auto audio = start();
	const std::vector<int16_t> s = decode(*audio, "tune.mp3");
	// MPEG frames pad the start and the end: within two frames of the source.
	EXPECT_NEAR(double(s.size() / 2), 20000.0, 2304.0);
	int peak = 0;
	for (int16_t v : s)
		peak = std::max(peak, std::abs(int(v)));
	EXPECT_NEAR(peak, 0.3 * 32767, 0.05 * 0.3 * 32767);
}

struct FailureCase {
	const char* name;
	std::function<void(const std::string& data)> make;
	const char* request;
	const char* message; // "{path}" stands for the indexed path data/<request>
};

TEST_F(AudioTest, EachFailureIsReportedOnceAndGivesNoClip) {
	const FailureCase cases[] = {
		{"not indexed", [](const std::string&) {}, "foo.wav", "audio: 'foo.wav' not found\n"},
		{"not indexed, asked with folders", [](const std::string&) {}, "Sfx/Bar.WAV",
		 "audio: 'Sfx/Bar.WAV' not found\n"},
		{"no channels", [](const std::string& d) { WavWriter(44100, 0).write(d + "/ch0.wav"); }, "ch0.wav",
		 "audio: could not decode '{path}'\n"},
		{"rate 0", [](const std::string& d) { WavWriter(0, 1).samples(constant(50, 1, 1)).write(d + "/r0.wav"); },
		 "r0.wav", "audio: could not decode '{path}'\n"},
		{"rate 1", [](const std::string& d) { WavWriter(1, 1).samples(constant(50, 1, 1)).write(d + "/r1.wav"); },
		 "r1.wav", "audio: could not decode '{path}'\n"},
		{"garbage", [](const std::string& d) { test::writeFile(d + "/junk.wav", "RIFF but no more"); }, "junk.wav",
		 "audio: could not decode '{path}'\n"},
		{"1000 Hz, longer than ten minutes at 44.1 kHz",
		 [](const std::string& d) {
			 WavWriter(1000, 1, WavWriter::PCM_U8).samples(std::vector<double>(600001, 130)).write(d + "/long.wav");
		 },
		 "long.wav", "audio: could not decode '{path}'\n"},
		{"MP3 data named .wav",
		 [](const std::string& d) {
			 test::writeWithSndfile(d + "/mp3.wav", SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, 44100, 2,
									toneOfPeak(0.3f, 5000));
		 },
		 "mp3.wav", "audio: could not decode '{path}'\n"},
		{"WAV data named .mp3",
		 [](const std::string& d) { WavWriter(44100, 2).samples(constant(100, 1, 1)).write(d + "/wav.mp3"); },
		 "wav.mp3", "audio: could not decode '{path}'\n"},
		{"AIFF data named .wav",
		 [](const std::string& d) {
			 test::writeWithSndfile(d + "/aiff.wav", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 44100, 1,
									std::vector<float>(100, 0.1f));
		 },
		 "aiff.wav", "audio: could not decode '{path}'\n"},
		{"a pipe named like a sound (never waited for)",
		 [](const std::string& d) { ASSERT_EQ(mkfifo((d + "/pipe.wav").c_str(), 0600), 0); }, "pipe.wav",
		 "audio: could not decode '{path}'\n"},
		{"a pipe named like an MP3",
		 [](const std::string& d) { ASSERT_EQ(mkfifo((d + "/pipe.mp3").c_str(), 0600), 0); }, "pipe.mp3",
		 "audio: could not decode '{path}'\n"},
		{"WAV of noise named .mp3 (chance sync words are no stream)",
		 [](const std::string& d) {
			 std::vector<double> noise;
			 for (char c : test::junkBytes(2 * 44100, 5))
				 noise.push_back(c * 256.0);
			 WavWriter(44100, 2).samples(noise).write(d + "/noise.mp3");
		 },
		 "noise.mp3", "audio: could not decode '{path}'\n"},
		{"an empty file named .mp3", [](const std::string& d) { test::writeFile(d + "/empty.mp3", ""); }, "empty.mp3",
		 "audio: could not decode '{path}'\n"},
		{"zeros named .mp3", [](const std::string& d) { test::writeFile(d + "/zeros.mp3", std::string(5000, '\0')); },
		 "zeros.mp3", "audio: could not decode '{path}'\n"},
		{"a single MPEG frame (lame's output for no samples): nothing follows to confirm it",
		 [](const std::string& d) {
			 std::string error;
			 const std::string mp3 = test::encodeMp3(44100, 2, {}, {"-t", "-b", "128"}, &error);
			 ASSERT_EQ(test::mpegFrames(mp3).size(), 1u) << error;
			 ASSERT_EQ(test::mpegFrames(mp3)[0].size, mp3.size());
			 test::writeFile(d + "/one.mp3", mp3);
		 },
		 "one.mp3", "audio: could not decode '{path}'\n"},
		{"MP3 of more than ten minutes at 44.1 kHz (8 kHz frames repeated)",
		 [](const std::string& d) {
			 // Without the bit reservoir every frame stands alone and can repeat.
			 std::string error;
			 const std::vector<double> s = WavWriter::sine(8000, 1, 10000, 40);
			 const std::string mp3 = test::encodeMp3(8000, 1, s, {"-t", "--nores", "-b", "8"}, &error);
			 const auto frames = test::mpegFrames(mp3);
			 ASSERT_GT(frames.size(), 12u) << error;
			 const std::string ten = mp3.substr(frames[2].offset, frames[12].offset - frames[2].offset);
			 std::string longer;
			 for (int k = 0; k < 850; ++k) // 8500 frames of 576: 612 s
				 longer += ten;
			 test::writeFile(d + "/long.mp3", longer);
		 },
		 "long.mp3", "audio: could not decode '{path}'\n"},
	};
	lumaroll::makeDirs(data());
	for (const FailureCase& c : cases)
		c.make(data());
	auto audio = start();
	for (const FailureCase& c : cases) {
		std::string expected = c.message;
		const size_t at = expected.find("{path}");
		if (at != std::string::npos)
			expected.replace(at, 6, data() + "/" + c.request);
		Captured first;
		const bool clip = bool(audio->getClip(c.request));
		first.finish();
		Captured again;
		const int id = audio->playSound(c.request, false, 1.f);
		const bool music = audio->playMusic(c.request, 1.f);
		again.finish();
		EXPECT_FALSE(clip) << c.name;
		EXPECT_EQ(first.err(), expected) << c.name;
		EXPECT_EQ(id, -1) << c.name;
		EXPECT_FALSE(music) << c.name;
		EXPECT_EQ(again.err(), "") << c.name << ": reported once";
	}
	EXPECT_TRUE(audio->voices().empty());
}

TEST_F(AudioTest, EmptyFileGivesAnEmptyClipThatNeverPlays) {
	wav("empty.wav", WavWriter(22050, 2));
	auto audio = start();
	Captured c;
	const auto clip = audio->getClip("empty.wav");
	const int id = audio->playSound("empty.wav", true, 1.f);
	c.finish();
	ASSERT_TRUE(clip);
	EXPECT_EQ(clip->frames(), 0u);
	EXPECT_EQ(id, -1);
	EXPECT_EQ(c.err(), "");
}

} // namespace
