// MP3 clips in the shapes encoders, taggers and tag removers leave: bytes
// before the first frame, tags of every ID3 version, trailers, seek-table
// frames or none, every MPEG rate and channel mode, streams cut or joined.
// The files are lame's output, put together with the other bytes here.
#include "AudioFixture.h"

#include "audio/SoundDecoder.h"
#include "support/Mp3Writer.h"

#include <algorithm>
#include <cmath>
#include <functional>

using namespace audiotest;

namespace {

// seconds of a sine of the given frequency and peak on each channel (the
// right one, when there is one, at 1.5 times the frequency and 3/4 of the peak).
// lame's output of a steady tone comes back about 5 % lower below 500 Hz at
// every rate and bit rate (its own decoder agrees), 1 to 4.5 % lower around 1 kHz.
std::vector<double> tone(int rate, int channels, double seconds, double hz = 1000, double peak = 16000) {
	const int frames = int(std::lround(rate * seconds));
	std::vector<double> s;
	s.reserve(size_t(frames) * size_t(channels));
	for (int k = 0; k < frames; ++k)
		for (int c = 0; c < channels; ++c)
			s.push_back(std::round(peak * (c ? 0.75 : 1.0) * std::sin(2 * M_PI * hz * (c ? 1.5 : 1.0) * k / rate)));
	return s;
}

int peakOf(const std::vector<double>& s, int channels, int channel) {
	double peak = 0;
	for (size_t i = size_t(channel); i < s.size(); i += size_t(channels))
		peak = std::max(peak, std::abs(s[i]));
	return int(peak);
}

int peakOf(const std::vector<int16_t>& s, int channel) {
	int peak = 0;
	for (size_t i = size_t(channel); i < s.size(); i += 2)
		peak = std::max(peak, std::abs(int(s[i])));
	return peak;
}

// A case's bytes from lame's output; it may change the number of source
// frames the file still holds (a cut).
using Shape = std::function<std::string(const std::string& mp3, size_t& sourceFrames)>;

std::string keep(const std::string& mp3, size_t&) {
	return mp3;
}

// The bytes put right after the ID3v2 tag lame wrote (or at the start).
Shape afterTag(const std::string& bytes) {
	return [bytes](const std::string& mp3, size_t&) {
		const size_t tag = test::id3v2Size(mp3);
		return mp3.substr(0, tag) + bytes + mp3.substr(tag);
	};
}

Shape before(const std::string& bytes) {
	return [bytes](const std::string& mp3, size_t&) { return bytes + mp3; };
}

Shape after(const std::string& bytes) {
	return [bytes](const std::string& mp3, size_t&) { return mp3 + bytes; };
}

// A 40 kB picture file for lame's --ti, in the test's folder.
std::string picture(const std::string& folder) {
	const std::string path = folder + "/cover.jpg";
	test::writeFile(path, "\xff\xd8\xff\xe0" + test::junkBytes(40000, 3) + "\xff\xd9");
	return path;
}

struct Mp3Case {
	const char* name;
	int rate; // of the source and the frames
	int channels;
	std::vector<std::string> lame;
	Shape shape = keep;
	int mode = -1; // the frames' channel mode bits, when the case is about them
};

TEST_F(AudioTest, Mp3ShapesDecodeToTheirLengthAndLevel) {
	const std::string pictureFile = picture(dir.path());
	const std::vector<Mp3Case> cases = {
		{"CBR with an Info frame", 44100, 2, {"-b", "128"}},
		{"200 zero bytes before the first frame (48 kHz CBR, no Info frame)",
		 48000,
		 2,
		 {"-t", "-b", "128"},
		 before(std::string(200, '\0'))},
		{"1 kB of junk before the first frame", 44100, 2, {"-b", "128"}, before(test::junkBytes(1024, 1))},
		{"ID3v2.3 tag, then 10 zero bytes, then the frames",
		 44100,
		 2,
		 {"--add-id3v2", "--tt", "Tune", "-b", "128"},
		 afterTag(std::string(10, '\0'))},
		{"ID3v2.3 tag with padding inside", 44100, 2, {"--pad-id3v2-size", "3000", "--tt", "Tune", "-V", "4"}},
		{"CBR without the LAME tag", 44100, 2, {"-t", "-b", "128"}},
		{"VBR without seek table, 224 zero bytes before it",
		 44100,
		 2,
		 {"-t", "-V", "4"},
		 before(std::string(224, '\0'))},
		{"VBR behind a 40 kB ID3v2.3 tag with a picture, then 10 zero bytes",
		 44100,
		 2,
		 {"--ti", pictureFile, "--tt", "Tune", "-V", "4"},
		 afterTag(std::string(10, '\0'))},
		{"VBR with a Xing frame behind an ID3v2.4 tag", 44100, 2, {"-V", "4"}, before(test::id3v2Tag(4, "Tune", 0, 0))},
		{"ID3v2.4 tag with a picture and padding, then zero bytes",
		 44100,
		 2,
		 {"-t", "-b", "128"},
		 before(test::id3v2Tag(4, "Tune", 20000, 512) + std::string(100, '\0'))},
		{"ID3v2.3 tag with a 500 kB picture: skipped by its size, not searched like junk",
		 44100,
		 2,
		 {"-t", "-b", "128"},
		 before(test::id3v2Tag(3, "Tune", 500000, 0))},
		{"ID3v2.2 tag with a picture", 44100, 2, {"-t", "-b", "128"}, before(test::id3v2Tag(2, "Tune", 40000, 0))},
		{"ID3v1 trailer", 44100, 2, {"--id3v1-only", "--tt", "Tune", "-b", "128"}},
		{"APE trailer with a picture, then ID3v1",
		 44100,
		 2,
		 {"-b", "128"},
		 after(test::apeTag("Tune", 20000) + test::id3v1Tag("Tune"))},
		{"VBRI frame where the Info frame was",
		 44100,
		 2,
		 {"-V", "4"},
		 [](const std::string& mp3, size_t&) {
			 const auto frames = test::mpegFrames(mp3);
			 return test::vbriFrame(mp3, frames.at(0), uint32_t(frames.size() - 1), uint32_t(mp3.size())) +
					mp3.substr(frames.at(0).size);
		 }},
		{"MPEG-1 32 kHz", 32000, 2, {"--resample", "32", "-b", "128"}},
		{"MPEG-1 48 kHz", 48000, 2, {"--resample", "48", "-b", "128"}},
		// Bit rates whose frames are large enough for the LAME tag.
		{"MPEG-2 16 kHz", 16000, 2, {"--resample", "16", "-b", "64"}},
		{"MPEG-2 22.05 kHz", 22050, 2, {"--resample", "22.05", "-b", "64"}},
		{"MPEG-2 24 kHz", 24000, 1, {"--resample", "24", "-b", "64"}},
		{"MPEG-2.5 8 kHz", 8000, 1, {"--resample", "8", "-b", "24"}},
		{"MPEG-2.5 11.025 kHz", 11025, 2, {"--resample", "11.025", "-b", "32"}},
		{"mono", 44100, 1, {"-m", "m", "-b", "64"}, keep, 3},
		{"stereo", 44100, 2, {"-m", "s", "-b", "128"}, keep, 0},
		{"joint stereo", 44100, 2, {"-m", "j", "-b", "128"}, keep, 1},
		{"cut inside a frame: its whole frames play",
		 44100,
		 2,
		 {"-t", "-b", "128"},
		 [](const std::string& mp3, size_t& sourceFrames) {
			 const auto frames = test::mpegFrames(mp3);
			 const test::MpegFrame& cut = frames.at(20);
			 sourceFrames = 20 * size_t(cut.samples);
			 return mp3.substr(0, cut.offset + cut.size / 2);
		 }},
		{"two streams joined: the first Info frame's length does not end the file",
		 44100,
		 2,
		 {"-b", "128"},
		 [](const std::string& mp3, size_t& sourceFrames) {
			 sourceFrames *= 2;
			 return mp3 + mp3.substr(test::mpegFrames(mp3).at(0).size);
		 }},
	};
	lumaroll::makeDirs(data());
	std::vector<size_t> sourceFrames(cases.size());
	std::vector<std::vector<double>> sources(cases.size());
	std::vector<int> frameSamples(cases.size());
	for (size_t i = 0; i < cases.size(); ++i) {
		const Mp3Case& c = cases[i];
		sources[i] = tone(c.rate, c.channels, 1.0);
		std::string error;
		const std::string mp3 = test::encodeMp3(c.rate, c.channels, sources[i], c.lame, &error);
		ASSERT_FALSE(mp3.empty()) << c.name << ": " << error;
		// The fixture is what the case says: lame chose the rate and mode asked for.
		const auto frames = test::mpegFrames(mp3, test::id3v2Size(mp3));
		ASSERT_GT(frames.size(), 2u) << c.name;
		EXPECT_EQ(frames[1].rate, c.rate) << c.name;
		if (c.mode >= 0) {
			EXPECT_EQ(frames[1].modeBits, c.mode) << c.name;
		}
		frameSamples[i] = frames[1].samples;
		sourceFrames[i] = sources[i].size() / size_t(c.channels);
		ASSERT_TRUE(test::writeFile(data() + "/m" + std::to_string(i) + ".mp3", c.shape(mp3, sourceFrames[i])))
			<< c.name;
	}
	auto audio = start();
	for (size_t i = 0; i < cases.size(); ++i) {
		const Mp3Case& c = cases[i];
		Captured quiet;
		const std::vector<int16_t> s = decode(*audio, "m" + std::to_string(i) + ".mp3");
		quiet.finish();
		EXPECT_EQ(quiet.err(), "") << c.name;
		if (s.empty()) {
			ADD_FAILURE() << c.name << ": no sound";
			continue;
		}
		const double expected = double(sourceFrames[i]) * 44100 / c.rate;
		const double twoFrames = 2.0 * frameSamples[i] * 44100 / c.rate;
		EXPECT_NEAR(double(s.size() / 2), expected, twoFrames) << c.name;
		for (int ch = 0; ch < 2; ++ch) {
			const int sourcePeak = peakOf(sources[i], c.channels, std::min(ch, c.channels - 1));
			EXPECT_NEAR(peakOf(s, ch), sourcePeak, 0.05 * sourcePeak) << c.name << ", channel " << ch;
		}
	}
}

TEST_F(AudioTest, Mp3OfOneWholeFrameThenACutOnePlaysTheWholeOne) {
	// A frame alone is refused (EachFailureIsReportedOnceAndGivesNoClip): the
	// header of a next frame, even cut, is what makes it a stream.
	std::string error;
	const std::string mp3 = test::encodeMp3(44100, 2, tone(44100, 2, 0.5), {"-t", "-b", "128"}, &error);
	const auto frames = test::mpegFrames(mp3);
	ASSERT_GT(frames.size(), 2u) << error;
	ASSERT_TRUE(test::writeFile(data() + "/one.mp3", mp3.substr(0, frames[1].offset + 100)));
	auto audio = start();
	Captured quiet;
	const std::vector<int16_t> s = decode(*audio, "one.mp3");
	quiet.finish();
	EXPECT_EQ(quiet.err(), "");
	EXPECT_EQ(s.size(), 1152u * 2);
}

// Hz of the zero crossings (upwards) in frames [from, to) of the left channel.
double frequency(const std::vector<int16_t>& s, size_t from, size_t to) {
	int crossings = 0;
	for (size_t k = from + 1; k < to; ++k)
		crossings += s[2 * (k - 1)] < 0 && s[2 * k] >= 0;
	return crossings * 44100.0 / double(to - from);
}

TEST_F(AudioTest, Mp3StreamsJoinedAtAChangeOfRatePlayEachAtItsRate) {
	// Half a second at 44.1 kHz, then half a second at 22.05 kHz (MPEG-2): the
	// second must neither be dropped nor play an octave high.
	std::string error;
	const std::string first = test::encodeMp3(44100, 2, tone(44100, 2, 0.5, 300), {"-b", "128"}, &error);
	ASSERT_FALSE(first.empty()) << error;
	const std::string second =
		test::encodeMp3(22050, 2, tone(22050, 2, 0.5, 300), {"--resample", "22.05", "-b", "64"}, &error);
	ASSERT_FALSE(second.empty()) << error;
	ASSERT_TRUE(test::writeFile(data() + "/joined.mp3", first + second));
	auto audio = start();
	const std::vector<int16_t> s = decode(*audio, "joined.mp3");
	// The second stream's Info frame is not honoured inside the file: its
	// encoder delay and padding (about three MPEG-2 frames) stay.
	const size_t frames = s.size() / 2;
	EXPECT_GE(frames, 44100u);
	EXPECT_LE(frames, 44100u + 4 * 576 * 2);
	EXPECT_NEAR(frequency(s, 2000, 20000), 300, 10) << "first stream";
	EXPECT_NEAR(frequency(s, frames - 20000, frames - 3000), 300, 10) << "second stream";
}

} // namespace
