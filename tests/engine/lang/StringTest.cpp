#include <lang/String.h>
#include <lang/StringPool.h>
#include <gtest/gtest.h>
#include <cstring>
#include <string>

using lang::String;

namespace {

TEST(String, EmptyAndNullTextsGiveTheNullString) {
	for (const char* t : {(const char*)nullptr, ""}) {
		SCOPED_TRACE(t ? "empty text" : "null text");
		String s(t);
		EXPECT_TRUE(s.isNull());
		EXPECT_EQ(0, s.length());
		EXPECT_STREQ("", s.c_str());
		EXPECT_EQ(0, s.hashCode());
	}
}

TEST(String, CopiesShareOneBlockAndTheLastFreesIt) {
	String a("shared text");
	{
		String b = a;
		EXPECT_EQ(a.handle(), b.handle());
		EXPECT_EQ(2, lang::StringPool::get().pool.refCount(a.handle()));
	}
	EXPECT_EQ(1, lang::StringPool::get().pool.refCount(a.handle()));
	EXPECT_STREQ("shared text", a.c_str());
	const int h = a.handle();
	a = String();
	EXPECT_EQ(h, String("next").handle());
}

TEST(String, EqualTextsMadeSeparatelyDoNotShare) {
	String a("same"), b("same");
	EXPECT_NE(a.handle(), b.handle());
	EXPECT_EQ(0, a.compareTo(b));
}

TEST(String, AssignmentToItselfKeepsTheText) {
	String a("self");
	String& alias = a;
	a = alias;
	EXPECT_STREQ("self", a.c_str());
	EXPECT_EQ(1, lang::StringPool::get().pool.refCount(a.handle()));
}

TEST(String, HashCodeUsesSignedBytes) {
	EXPECT_EQ(96354, String("abc").hashCode());
	EXPECT_EQ(-23, String("\xE9").hashCode());
	EXPECT_EQ(31 * 97 - 23, String("a\xE9").hashCode());
	// Wrap-around of long texts stays defined.
	String longText(std::string(1000, 'z').c_str());
	int h = 0;
	for (int i = 0; i < 1000; ++i)
		h = (int)(31u * (unsigned)h + 'z');
	EXPECT_EQ(h, longText.hashCode());
}

TEST(String, HashCodeMatchesTheByteRecurrenceForEveryLengthAndByte) {
	std::vector<String> keep; // interleaved blocks put texts at every alignment
	for (int len = 1; len < 70; ++len) {
		std::string text;
		for (int i = 0; i < len; ++i)
			text += (char)(1 + (len * 37 + i * 101) % 255); // covers bytes 1..255
		unsigned expected = 0;
		for (char c : text)
			expected = 31u * expected + (unsigned)(int)(signed char)c;
		String s(text.c_str());
		EXPECT_EQ((int)expected, s.hashCode()) << len;
		keep.push_back(s);
		keep.push_back(String(std::string((size_t)len % 5 + 1, 'p').c_str()));
	}
}

TEST(String, CompareTo) {
	String nul, a("a"), b("b");
	EXPECT_EQ(-97, nul.compareTo(a));
	EXPECT_GT(a.compareTo(nul), 0);
	EXPECT_EQ(0, nul.compareTo(String()));
	EXPECT_LT(a.compareTo(b), 0);
	EXPECT_EQ(-0xE9, nul.compareTo(String("\xE9")));
	EXPECT_EQ(0, nul.compareTo(""));
	EXPECT_EQ(0, nul.compareTo((const char*)nullptr));
	EXPECT_EQ(0, a.compareTo("a"));
}

TEST(String, StartsWith) {
	String name("T_trigger");
	EXPECT_TRUE(name.startsWith("T_"));
	EXPECT_TRUE(name.startsWith(String()));
	EXPECT_TRUE(String().startsWith(String()));
	EXPECT_FALSE(name.startsWith("T_trigger_longer"));
	EXPECT_FALSE(name.startsWith("X"));
	EXPECT_FALSE(String().startsWith("a"));
}

TEST(String, SubstringAndIndexOf) {
	String s("hello.hgr");
	EXPECT_EQ(5, s.indexOf('.', 0));
	EXPECT_EQ(-1, s.indexOf('.', 6));
	EXPECT_EQ(-1, s.indexOf('.', 100));
	EXPECT_EQ(-1, String().indexOf('a', 0));
	EXPECT_STREQ("hello", s.substring(0, 5).c_str());
	EXPECT_STREQ("hgr", s.substring(6).c_str());
	EXPECT_TRUE(s.substring(2, 2).isNull());
	EXPECT_TRUE(s.substring(s.length()).isNull());
}

TEST(String, ToUpperCaseTouchesOnlyAsciiLetters) {
	EXPECT_STREQ("ABC-\xE9Z1", String("abC-\xE9z1").toUpperCase().c_str());
	EXPECT_TRUE(String().toUpperCase().isNull());
}

TEST(String, Concatenation) {
	String a("ab");
	EXPECT_STREQ("abcd", (a + "cd").c_str());
	EXPECT_STREQ("abab", (a + a).c_str());
	EXPECT_STREQ("x", (String() + "x").c_str());
	EXPECT_TRUE((String() + "").isNull());
	EXPECT_TRUE((String() + String()).isNull());
}

TEST(String, CharAtGetCharsAndCopyTo) {
	String s(
		"\xFF"
		"bc");
	EXPECT_EQ(255, s.charAt(0));
	char buf[8] = "xxxxxxx";
	s.getChars(1, 3, buf);
	EXPECT_EQ(std::string("bcxxxxx"), buf);
	s.getChars(2, 1, buf); // nothing
	s.copyTo(buf, 3);
	EXPECT_STREQ(
		"\xFF"
		"b",
		buf);
	s.copyTo(buf, 8);
	EXPECT_STREQ(
		"\xFF"
		"bc",
		buf);
	String().copyTo(buf, 8);
	EXPECT_STREQ("", buf);
}

TEST(String, BoundedCopies) {
	char buf[6];
	EXPECT_FALSE(String::cpy(buf, 4, "abcdef"));
	EXPECT_STREQ("abc", buf);
	EXPECT_TRUE(String::cpy(buf, 4, "abc"));
	std::strcpy(buf, "abc");
	EXPECT_TRUE(String::cat(buf, 6, "de"));
	EXPECT_STREQ("abcde", buf);
	EXPECT_FALSE(String::cat(buf, 6, "f"));
	EXPECT_STREQ("abcde", buf);
	std::strcpy(buf, "ab");
	EXPECT_FALSE(String::cat(buf, 4, "xyz"));
	EXPECT_STREQ("abx", buf);
	EXPECT_TRUE(String("fits").getBytes(buf, 6));
	EXPECT_FALSE(String("too long").getBytes(buf, 6));
	EXPECT_STREQ("too l", buf);
}

TEST(String, CatLeavesAnUnterminatedBufferAlone) {
	char buf[4] = {'a', 'b', 'c', 'd'};
	EXPECT_FALSE(String::cat(buf, 4, "e"));
	EXPECT_EQ('d', buf[3]);
}

TEST(String, SurvivesPoolGrowthAndCompaction) {
	// Enough texts to make the pool compact and grow many times over.
	std::vector<String> keep;
	for (int i = 0; i < 3000; ++i) {
		String s((std::string("text-") + std::to_string(i)).c_str());
		if (i % 3 == 0)
			keep.push_back(s);
		String bigger = s + std::string(i % 50, 'x').c_str();
		if (i % 7 == 0)
			keep.push_back(bigger.substring(0, 5) + bigger);
	}
	int k = 0;
	for (int i = 0; i < 3000; ++i) {
		const std::string t = "text-" + std::to_string(i);
		if (i % 3 == 0) {
			EXPECT_EQ(0, keep[k++].compareTo(t.c_str()));
		}
		if (i % 7 == 0) {
			const std::string b = t + std::string(i % 50, 'x');
			EXPECT_EQ(0, keep[k++].compareTo((b.substr(0, 5) + b).c_str()));
		}
	}
}

TEST(String, ConcatenationWithItselfAcrossGrowth) {
	String s("0123456789");
	for (int i = 0; i < 12; ++i)
		s = s + s; // each step may move the pool under the source
	EXPECT_EQ(10 << 12, s.length());
	EXPECT_EQ('9', s.charAt(s.length() - 1));
	EXPECT_EQ('0', s.charAt(10 * 2048));
}

} // namespace
