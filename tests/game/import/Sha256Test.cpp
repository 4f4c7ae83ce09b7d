#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "import/Sha256.h"
#include "support/DebWriter.h"
#include "support/Files.h"
#include "support/TempDir.h"

using lumaroll::sha256Hex;

namespace {

std::string randomBytes(size_t n, unsigned seed) {
	std::mt19937 gen(seed);
	std::string s(n, '\0');
	for (char& c : s)
		c = static_cast<char>(gen());
	return s;
}

} // namespace

TEST(Sha256, StandardVectors) {
	struct Case {
		std::string input;
		const char* digest;
	} cases[] = {
		{"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
		{"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
		{"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
		 "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
		{std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
	};
	for (const Case& c : cases)
		EXPECT_EQ(sha256Hex(c.input.data(), c.input.size()), c.digest) << c.input.size() << " bytes";
}

// Every padding case (tail of 0..63 bytes, one or two final blocks) on both
// the instruction-set rounds and the plain rounds.
TEST(Sha256, HardwareAndPlainRoundsAgreeOnEveryTailLength) {
	const std::string data = randomBytes(300, 7);
	for (size_t n = 0; n <= data.size(); ++n) {
		const std::string plain = lumaroll::detail::sha256HexUsing(false, data.data(), n);
		ASSERT_EQ(plain.size(), 64u);
		EXPECT_EQ(sha256Hex(data.data(), n), plain) << n;
		if (lumaroll::detail::sha256HardwareAvailable()) {
			EXPECT_EQ(lumaroll::detail::sha256HexUsing(true, data.data(), n), plain) << n;
		}
	}
}

TEST(Sha256, MatchesSha256sumOfFiles) {
	test::TempDir tmp;
	for (size_t n : {0u, 1u, 55u, 56u, 63u, 64u, 65u, 119u, 120u, 128u, 3000001u}) {
		const std::string data = randomBytes(n, static_cast<unsigned>(n));
		const std::string path = tmp / ("f" + std::to_string(n));
		ASSERT_TRUE(test::writeFile(path, data));
		const std::string expected = test::sha256sumOf(path);
		ASSERT_EQ(expected.size(), 64u) << "sha256sum did not run";
		EXPECT_EQ(sha256Hex(data.data(), data.size()), expected) << n << " bytes";
		EXPECT_EQ(lumaroll::detail::sha256HexUsing(false, data.data(), data.size()), expected) << n << " bytes";
	}
}

TEST(Sha256, PiecesGiveTheSameDigestAsOneBuffer) {
	const std::string data = randomBytes(5000, 3);
	const std::string whole = sha256Hex(data.data(), data.size());
	for (size_t piece : {1u, 3u, 63u, 64u, 65u, 127u, 1000u, 4999u}) {
		lumaroll::Sha256 sha;
		for (size_t at = 0; at < data.size(); at += piece)
			sha.update(data.data() + at, std::min(piece, data.size() - at));
		EXPECT_EQ(sha.finishHex(), whole) << piece;
	}
	lumaroll::Sha256 empty;
	EXPECT_EQ(empty.finishHex(), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
}
