#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "import/Gunzip.h"
#include "support/DebWriter.h"

using lumaroll::gunzip;

namespace {

struct Inflated {
	bool ok;
	std::string data;
	std::string error;
};

Inflated inflate(const std::string& gz, std::int64_t maxOut = lumaroll::kMaxDataSize) {
	std::vector<char> out{'x'};
	std::string error;
	const bool ok = gunzip(gz.data(), static_cast<int>(gz.size()), out, error, maxOut);
	return {ok, std::string(out.begin(), out.end()), error};
}

std::string pattern(size_t n) {
	std::string s(n, '\0');
	for (size_t i = 0; i < n; ++i)
		s[i] = static_cast<char>((i * 7919) >> 5);
	return s;
}

} // namespace

TEST(Gunzip, InflatesAcrossManyOutputSteps) {
	for (size_t n : {size_t(0), size_t(1), size_t(65536), size_t(65537), size_t(1000003)}) {
		const std::string data = pattern(n);
		const Inflated r = inflate(test::gzip(data));
		ASSERT_TRUE(r.ok) << n << ": " << r.error;
		EXPECT_EQ(r.data, data) << n;
	}
}

TEST(Gunzip, OnlyTheFirstMemberIsDecoded) {
	const Inflated r = inflate(test::gzip("first member") + test::gzip("second member"));
	ASSERT_TRUE(r.ok) << r.error;
	EXPECT_EQ(r.data, "first member");
}

TEST(Gunzip, DamagedInputFails) {
	const std::string gz = test::gzip(pattern(200000));
	std::string flipped = gz;
	flipped[gz.size() / 2] ^= 0x55;
	const std::string cases[] = {
		gz.substr(0, gz.size() / 2), // truncated in the deflate data
		gz.substr(0, gz.size() - 4), // trailer cut
		flipped,
		"",
		"not gzip at all",
		std::string("\x78\x9c\x03\x00\x00\x00\x00\x01", 8), // zlib wrapper, not gzip
	};
	for (const std::string& input : cases) {
		const Inflated r = inflate(input);
		EXPECT_FALSE(r.ok) << input.size();
		EXPECT_EQ(r.error, "corrupted compressed data") << input.size();
	}
}

// A small member that inflates to far more than the cap stops at the cap
// instead of growing without bound.
TEST(Gunzip, OutputBeyondTheCapFails) {
	const std::string bomb = test::gzip(std::string(64 << 20, '\0'));
	ASSERT_LT(bomb.size(), 100000u);
	const Inflated r = inflate(bomb, 1 << 20);
	EXPECT_FALSE(r.ok);
	EXPECT_EQ(r.error, "The package data is too large.");
	EXPECT_TRUE(r.data.empty());
}

TEST(Gunzip, OutputOfExactlyTheCapSucceeds) {
	const std::string data = pattern(300000);
	const Inflated exact = inflate(test::gzip(data), 300000);
	ASSERT_TRUE(exact.ok) << exact.error;
	EXPECT_EQ(exact.data, data);
	EXPECT_FALSE(inflate(test::gzip(data), 299999).ok);
}

TEST(Gunzip, MisleadingSizeTrailerIsOnlyAHint) {
	std::string gz = test::gzip(pattern(100000));
	// Claim 4 GiB - 1 in the trailer: the stream still decodes (the length
	// check of zlib then fails, as for any damaged trailer).
	gz[gz.size() - 1] = gz[gz.size() - 2] = gz[gz.size() - 3] = gz[gz.size() - 4] = '\xff';
	const Inflated r = inflate(gz, 1 << 20);
	EXPECT_FALSE(r.ok);
	EXPECT_EQ(r.error, "corrupted compressed data");
}
