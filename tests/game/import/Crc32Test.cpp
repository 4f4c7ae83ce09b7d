// The gzip CRC-32 of inflated data: the folding with carry-less multiply
// agrees with zlib's tables on every length, alignment and starting value.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "import/Crc32.h"

namespace {

TEST(Crc32, StandardCheckValue) {
	EXPECT_EQ(lumaroll::crc32Update(0, "123456789", 9), 0xCBF43926u);
	EXPECT_EQ(lumaroll::crc32Update(0, "", 0), 0u);
}

// Lengths around the 64-byte first block and the 16-byte folds, at every
// alignment, continuing from a CRC that is not zero.
TEST(Crc32, HardwareAgreesWithTheTablesOnEveryLengthAndAlignment) {
	if (!lumaroll::detail::crc32HardwareAvailable())
		GTEST_SKIP() << "no carry-less multiply on this CPU";
	std::mt19937 gen(11);
	std::string data(4096 + 64, '\0');
	for (char& c : data)
		c = static_cast<char>(gen());
	for (size_t offset = 0; offset < 16; ++offset) {
		for (size_t n = 0; n <= 300; ++n) {
			const std::uint32_t start = static_cast<std::uint32_t>(gen());
			EXPECT_EQ(lumaroll::detail::crc32UpdateUsing(true, start, data.data() + offset, n),
					  lumaroll::detail::crc32UpdateUsing(false, start, data.data() + offset, n))
				<< "offset " << offset << ", " << n << " bytes";
		}
	}
	EXPECT_EQ(lumaroll::detail::crc32UpdateUsing(true, 0, data.data(), 4096),
			  lumaroll::detail::crc32UpdateUsing(false, 0, data.data(), 4096));
}

} // namespace
