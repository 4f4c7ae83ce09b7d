// The conversion to 44.1 kHz stereo gives the same samples however the
// decoder cuts the source into blocks, and the same as the plain formula
// applied to the whole source at once.
#include "audio/Resampler.h"
#include "support/Mp3Writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace {

// The conversion written plainly, over the whole source: output frame j of
// N = F * 44100 / R lies at q = j * R / 44100 between source frames
// floor(q) and the next (the last one at the end).
std::vector<int16_t> reference(const std::vector<int16_t>& s, int rate, int channels) {
	const uint64_t frames = s.size() / size_t(channels);
	const double step = double(rate) / 44100.0;
	const uint64_t n = uint64_t(double(frames) / step);
	const size_t right = channels > 1 ? 1 : 0;
	std::vector<int16_t> out;
	for (uint64_t j = 0; j < n; ++j) {
		const double q = double(j) * step;
		const uint64_t i = uint64_t(q);
		const float frac = float(q - double(i));
		const uint64_t next = std::min(frames - 1, i + 1);
		for (size_t c : {size_t(0), right}) {
			const int16_t a = s[size_t(i) * size_t(channels) + c], b = s[size_t(next) * size_t(channels) + c];
			out.push_back(int16_t(float(a) + float(b - a) * frac));
		}
	}
	return out;
}

// Feeds s to a resampler in blocks of the given sizes (the last repeated),
// each in a buffer of its own as a decoder hands them over: the resampler
// must keep what it needs of a block, and read nothing outside it.
std::vector<int16_t> converted(const std::vector<int16_t>& s, int rate, int channels, std::vector<size_t> blocks,
							   std::vector<int16_t> out = {}) {
	lumaroll::Resampler resampler(rate, out);
	const size_t frames = s.size() / size_t(channels);
	size_t at = 0;
	for (size_t b = 0; at < frames; ++b) {
		const size_t count = std::min(blocks[std::min(b, blocks.size() - 1)], frames - at);
		const std::vector<int16_t> block(s.begin() + long(at) * channels, s.begin() + long(at + count) * channels);
		EXPECT_TRUE(resampler.add(block.data(), unsigned(channels), count));
		at += count;
	}
	resampler.finish();
	return out;
}

TEST(ResamplerTest, BlocksOfAnySizeGiveThePlainFormulasSamples) {
	const int rates[] = {1000, 8000, 11025, 22050, 32000, 44100, 48000, 96000, 384000};
	const std::vector<std::vector<size_t>> splits = {{100000},	   {1},	  {2},	  {3},
													 {63, 64, 65}, {576}, {1152}, {1151, 1, 1153},
													 {7, 3000, 1}};
	for (int channels : {1, 2, 4}) {
		// Full-range values: neighbours may differ by 65535.
		const std::string noise = test::junkBytes(size_t(3001 * channels) * 2, unsigned(channels));
		std::vector<int16_t> s(size_t(3001 * channels));
		for (size_t k = 0; k < s.size(); ++k)
			s[k] = int16_t(uint16_t(uint8_t(noise[2 * k])) << 8 | uint8_t(noise[2 * k + 1]));
		s[0] = 32767, s[size_t(channels)] = -32768;
		for (int rate : rates) {
			const std::vector<int16_t> expected = reference(s, rate, channels);
			for (const auto& blocks : splits) {
				const std::vector<int16_t> got = converted(s, rate, channels, blocks);
				ASSERT_EQ(got.size(), expected.size())
					<< rate << " Hz, " << channels << " channels, blocks of " << blocks[0];
				for (size_t k = 0; k < got.size(); ++k)
					ASSERT_EQ(got[k], expected[k])
						<< rate << " Hz, " << channels << " channels, blocks of " << blocks[0] << ", sample " << k;
			}
		}
	}
}

TEST(ResamplerTest, OutputGoesAfterWhatTheClipAlreadyHolds) {
	// A stream whose rate changes: the second stretch's resampler appends.
	const std::vector<int16_t> before = {1, 2, 3, 4, 5, 6};
	std::vector<int16_t> s;
	for (int k = 0; k < 1000; ++k)
		s.push_back(int16_t(k * 37 - 18000));
	std::vector<int16_t> expected = before;
	const std::vector<int16_t> tail = reference(s, 48000, 1);
	expected.insert(expected.end(), tail.begin(), tail.end());
	EXPECT_EQ(converted(s, 48000, 1, {576}, before), expected);
}

} // namespace
