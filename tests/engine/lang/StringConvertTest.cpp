#include <lang/Converter.h>
#include <lang/String.h>
#include <gtest/gtest.h>
#include <string>

using lang::String;

namespace {

/** Reads little-endian 32-bit code points; encode is not needed here. */
class Units32 : public lang::Converter {
public:
	bool decode(const unsigned char* src, const unsigned char* srcEnd, int* consumed, unsigned* cp) override {
		if (srcEnd - src < 4) {
			*consumed = 0;
			return false;
		}
		*cp = src[0] | src[1] << 8 | src[2] << 16 | (unsigned)src[3] << 24;
		*consumed = 4;
		return true;
	}
	bool encode(unsigned char*, unsigned char*, int* written, unsigned) override {
		*written = 0;
		return false;
	}
};

/** One byte per character; bytes above 0x7F do not decode. */
class Strict7 : public lang::Converter {
public:
	bool decode(const unsigned char* src, const unsigned char* srcEnd, int* consumed, unsigned* cp) override {
		*consumed = src < srcEnd ? 1 : 0;
		if (src >= srcEnd || *src > 0x7F)
			return false;
		*cp = *src;
		return true;
	}
	bool encode(unsigned char*, unsigned char*, int* written, unsigned) override {
		*written = 0;
		return false;
	}
};

std::string le32(std::initializer_list<unsigned> cps) {
	std::string s;
	for (unsigned cp : cps)
		for (int i = 0; i < 4; ++i)
			s += (char)(cp >> (8 * i));
	return s;
}

TEST(StringConvert, StoresUtf8OfEveryLength) {
	Units32 from;
	const std::string in = le32({0x41, 0xE9, 0x20AC, 0x1F600, 0x1FFFFF});
	String s(in.data(), (int)in.size(), from);
	EXPECT_STREQ("A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xF7\xBF\xBF\xBF", s.c_str());
}

TEST(StringConvert, CodePointsWithoutAUtf8FormAreDroppedEvenAboveTheIntRange) {
	Units32 from;
	const std::string in = le32({0x200000, 0x80000000u, 0xFFFFFFFFu, 0x42});
	String s(in.data(), (int)in.size(), from);
	EXPECT_STREQ("B", s.c_str());
	const std::string none = le32({0xFFFFFFFFu});
	EXPECT_TRUE(String(none.data(), (int)none.size(), from).isNull());
}

TEST(StringConvert, UndecodableBytesAreSkippedOneByOne) {
	Strict7 from;
	const char in[] =
		"a\xFF\xFE"
		"b";
	EXPECT_STREQ("ab", String(in, 4, from).c_str());
	EXPECT_TRUE(String(in, 0, from).isNull());
	EXPECT_TRUE(String(in, -3, from).isNull());
	EXPECT_TRUE(String("\xFF", 1, from).isNull());
}

TEST(StringConvert, ALeadingZeroCharacterGivesTheNullString) {
	Strict7 from;
	EXPECT_TRUE(String("\0abc", 4, from).isNull());
}

} // namespace
