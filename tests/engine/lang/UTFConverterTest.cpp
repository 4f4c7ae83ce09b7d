#include <lang/UTFConverter.h>
#include <lang/String.h>

#include <gtest/gtest.h>
#include <string>
#include <vector>

using lang::UTFConverter;

namespace {

struct DecodeCase {
	const char* name;
	int encoding;
	std::vector<unsigned char> bytes;
	bool ok;
	int consumed;
	unsigned codePoint;
};

TEST(UTFConverter, Decode) {
	const DecodeCase cases[] = {
		{"ascii high byte", UTFConverter::ASCII, {0xE9}, true, 1, 0xE9},
		{"ascii empty", UTFConverter::ASCII, {}, false, 0, 0},
		{"utf8 plain", UTFConverter::UTF8, {0x41, 0x42}, true, 1, 0x41},
		{"utf8 two bytes", UTFConverter::UTF8, {0xC3, 0xA9}, true, 2, 0xE9},
		{"utf8 euro", UTFConverter::UTF8, {0xE2, 0x82, 0xAC}, true, 3, 0x20AC},
		{"utf8 four bytes", UTFConverter::UTF8, {0xF0, 0x9F, 0x98, 0x80}, true, 4, 0x1F600},
		{"utf8 largest four-byte form", UTFConverter::UTF8, {0xF7, 0xBF, 0xBF, 0xBF}, true, 4, 0x1FFFFF},
		{"utf8 over-long form accepted", UTFConverter::UTF8, {0xC0, 0x80}, true, 2, 0},
		{"utf8 truncated", UTFConverter::UTF8, {0xE2, 0x82}, false, 1, 0},
		{"utf8 lone continuation", UTFConverter::UTF8, {0xBF}, false, 1, 0},
		{"utf8 four continuations announced", UTFConverter::UTF8, {0xF8, 0x80, 0x80, 0x80, 0x80}, false, 1, 0},
		{"utf8 0xFF", UTFConverter::UTF8, {0xFF, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80}, false, 1, 0},
		{"utf8 second byte not continuation", UTFConverter::UTF8, {0xE2, 0x41, 0xAC}, false, 1, 0},
		{"utf8 last byte not continuation", UTFConverter::UTF8, {0xF0, 0x9F, 0x98, 0xC3}, false, 1, 0},
		{"utf8 empty", UTFConverter::UTF8, {}, false, 0, 0},
		{"utf16be pair", UTFConverter::UTF16BE, {0xD8, 0x3D, 0xDE, 0x00}, true, 4, 0x1F600},
		{"utf16le pair", UTFConverter::UTF16LE, {0x3D, 0xD8, 0x00, 0xDE}, true, 4, 0x1F600},
		{"utf16 machine order is little-endian", UTFConverter::UTF16, {0x3D, 0xD8, 0x00, 0xDE}, true, 4, 0x1F600},
		{"utf16be unit", UTFConverter::UTF16BE, {0x20, 0xAC}, true, 2, 0x20AC},
		{"utf16be lone low surrogate", UTFConverter::UTF16BE, {0xDC, 0x00}, true, 2, 0xDC00},
		{"utf16be high surrogate at end", UTFConverter::UTF16BE, {0xD8, 0x3D, 0x00}, false, 2, 0},
		{"utf16be high surrogate without low", UTFConverter::UTF16BE, {0xD8, 0x3D, 0x00, 0x41}, false, 2, 0},
		{"utf16 one byte", UTFConverter::UTF16LE, {0x41}, false, 0, 0},
		{"utf32be", UTFConverter::UTF32BE, {0x00, 0x01, 0xF6, 0x00}, true, 4, 0x1F600},
		{"utf32le", UTFConverter::UTF32LE, {0x00, 0xF6, 0x01, 0x00}, true, 4, 0x1F600},
		{"utf32 above int range", UTFConverter::UTF32BE, {0xFF, 0xFF, 0xFF, 0xFE}, true, 4, 0xFFFFFFFE},
		{"utf32 three bytes", UTFConverter::UTF32LE, {0x41, 0, 0}, false, 0, 0},
		{"unknown encoding", 9, {0x41}, false, 0, 0},
		{"encoding 0", 0, {0x41}, false, 0, 0},
	};
	for (const DecodeCase& c : cases) {
		SCOPED_TRACE(c.name);
		UTFConverter conv(c.encoding);
		int consumed = -1;
		unsigned cp = 0;
		const unsigned char* p = c.bytes.data();
		bool ok = conv.decode(p, p + c.bytes.size(), &consumed, &cp);
		EXPECT_EQ(ok, c.ok);
		EXPECT_EQ(consumed, c.consumed);
		if (c.ok) {
			EXPECT_EQ(cp, c.codePoint);
		}
	}
}

struct EncodeCase {
	const char* name;
	int encoding;
	unsigned codePoint;
	int room;
	std::vector<unsigned char> bytes; // empty: fails
};

TEST(UTFConverter, Encode) {
	const EncodeCase cases[] = {
		{"ascii", UTFConverter::ASCII, 0x41, 1, {0x41}},
		{"ascii high", UTFConverter::ASCII, 0xE9, 4, {}},
		{"utf8 one", UTFConverter::UTF8, 0x7F, 1, {0x7F}},
		{"utf8 two", UTFConverter::UTF8, 0xE9, 2, {0xC3, 0xA9}},
		{"utf8 three", UTFConverter::UTF8, 0xFFFF, 3, {0xEF, 0xBF, 0xBF}},
		{"utf8 four", UTFConverter::UTF8, 0x1FFFFF, 4, {0xF7, 0xBF, 0xBF, 0xBF}},
		{"utf8 beyond 21 bits", UTFConverter::UTF8, 0x200000, 8, {}},
		{"utf8 top bit set", UTFConverter::UTF8, 0xFFFFFFFF, 8, {}},
		{"utf8 no room", UTFConverter::UTF8, 0x20AC, 2, {}},
		{"utf8 zero room", UTFConverter::UTF8, 0x41, 0, {}},
		{"utf16be unit", UTFConverter::UTF16BE, 0x20AC, 2, {0x20, 0xAC}},
		{"utf16be pair", UTFConverter::UTF16BE, 0x1F600, 4, {0xD8, 0x3D, 0xDE, 0x00}},
		{"utf16le pair", UTFConverter::UTF16LE, 0x10FFFF, 4, {0xFF, 0xDB, 0xFF, 0xDF}},
		{"utf16 pair without room", UTFConverter::UTF16BE, 0x1F600, 3, {}},
		{"utf16 beyond 0x10FFFF", UTFConverter::UTF16BE, 0x110000, 4, {}},
		{"utf32be", UTFConverter::UTF32BE, 0x1F600, 4, {0x00, 0x01, 0xF6, 0x00}},
		{"utf32 machine order", UTFConverter::UTF32, 0x1F600, 4, {0x00, 0xF6, 0x01, 0x00}},
		{"utf32 no room", UTFConverter::UTF32LE, 0x41, 3, {}},
		{"unknown encoding", 42, 0x41, 4, {}},
	};
	for (const EncodeCase& c : cases) {
		SCOPED_TRACE(c.name);
		UTFConverter conv(c.encoding);
		unsigned char buf[8] = {};
		int written = -1;
		bool ok = conv.encode(buf, buf + c.room, &written, c.codePoint);
		EXPECT_EQ(ok, !c.bytes.empty());
		EXPECT_EQ(written, int(c.bytes.size()));
		EXPECT_EQ(std::vector<unsigned char>(buf, buf + written), c.bytes);
	}
}

TEST(UTFConverter, MachineOrderFormsAreStoredAsLittleEndian) {
	EXPECT_EQ(UTFConverter(3).encoding(), UTFConverter::UTF16LE);
	EXPECT_EQ(UTFConverter(6).encoding(), UTFConverter::UTF32LE);
	EXPECT_EQ(UTFConverter(4).encoding(), UTFConverter::UTF16BE);
}

TEST(UTFConverter, EveryEncodingRoundTrips) {
	const int encodings[] = {UTFConverter::UTF8, UTFConverter::UTF16BE, UTFConverter::UTF16LE, UTFConverter::UTF32BE,
							 UTFConverter::UTF32LE};
	for (int encoding : encodings) {
		SCOPED_TRACE(encoding);
		UTFConverter conv(encoding);
		for (unsigned cp = 0; cp <= 0x10FFFF; cp += (cp < 0x800 ? 1 : 97)) {
			if (cp >= 0xD800 && cp <= 0xDBFF &&
				(encoding == UTFConverter::UTF16BE || encoding == UTFConverter::UTF16LE))
				continue; // a lone high surrogate does not survive UTF-16
			unsigned char buf[4];
			int written = 0, consumed = 0;
			unsigned back = 0;
			ASSERT_TRUE(conv.encode(buf, buf + 4, &written, cp)) << cp;
			ASSERT_TRUE(conv.decode(buf, buf + written, &consumed, &back)) << cp;
			ASSERT_EQ(consumed, written);
			ASSERT_EQ(back, cp);
		}
	}
}

TEST(UTFConverter, StringsFromOtherEncodings) {
	struct Case {
		const char* name;
		int encoding;
		std::string bytes;
		std::string utf8;
	};
	const Case cases[] = {
		{"utf16le", UTFConverter::UTF16LE, std::string("h\0i\0\xAC\x20", 6), "hi\xE2\x82\xAC"},
		{"utf32be with values above the int range", UTFConverter::UTF32BE,
		 std::string("\xFF\xFF\xFF\xFF\0\0\0A\x80\0\0\0\0\0\0B", 16), "AB"},
		{"utf32le with values beyond UTF-8", UTFConverter::UTF32LE, std::string("\0\0\x20\0C\0\0\0", 8), "C"},
		{"ascii high bytes", UTFConverter::ASCII, "\xE9t\xE9", "\xC3\xA9t\xC3\xA9"},
		{"utf8 with garbage", UTFConverter::UTF8,
		 "a\xFF\xE2\x82"
		 "b\xC3",
		 "ab"},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.name);
		UTFConverter conv(c.encoding);
		lang::String s(c.bytes.data(), int(c.bytes.size()), conv);
		EXPECT_EQ(std::string(s.c_str()), c.utf8);
	}
}

} // namespace
