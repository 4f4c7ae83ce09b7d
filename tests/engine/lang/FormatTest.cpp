#include <lang/Format.h>
#include <lang/FormatException.h>
#include <gtest/gtest.h>
#include <climits>
#include <cmath>
#include <string>

using lang::Format;
using lang::String;

namespace {

std::string expand(const Format& f) {
	return String(f).c_str();
}

struct Case {
	const char* format;
	Format::Arg arg;
	const char* expected;
};

TEST(Format, ExpandsArguments) {
	const Case cases[] = {
		{"Failed to open {0}", "data/x.hgr", "Failed to open data/x.hgr"},
		{"{0}", 3, "3"},
		{"{0,0.00}", 3, "3.00"},
		{"{0,000}", 3, "003"},
		{"{0,00.00}", 3, "03.00"},
		{"{0,00.00}", 12.345, "12.35"},
		{"{0,000.0}", -1.5, "-01.5"},
		{"{0,#.##}", 2.5, "2.50"},
		{"{0,#}", 2.5, "2"},
		{"{0,.0}", 2.25, "2.2"},
		{"{0,x}", 255, "ff"},
		{"{0,X}", 255, "FF"},
		{"{0,x}", -1, "ffffffff"},
		{"{0,0x}", 4294967295.0, "ffffffff"},
		{"{0,x}", 4294967296.0 + 16, "10"},
		{"{0,x}", 1e300, "0"},
		{"{0,x}", -1e300, "0"},
		{"{0,x}", INFINITY, "0"},
		{"{0,x}", NAN, "0"},
		{"{0,x}", -2147483649.0, "7fffffff"},
		{"{0}", 0.5, "0.5"},
		{"{0}", 1e20, "1e+20"},
		{"{0,abc}", 7, "7"},
		{"{0,text ignored}", "plain", "plain"},
		{"{0}", Format::Arg(), ""},
		{"\\{0}", 1, "{0}"},
		{"a\\\\b", 1, "a\\b"},
		{"end{", 1, "end{"},
		{"end\\", 1, "end"},
		{"{0}{0}", "ab", "abab"},
		{"{0}", String(), ""},
		{"{0}", 0, "0"},
	};
	for (const Case& c : cases)
		EXPECT_EQ(c.expected, expand(Format(c.format, c.arg))) << c.format;
}

TEST(Format, HugeNumbersAreWrittenWhole) {
	const std::string big = expand(Format("{0,0.00}", 1e300));
	EXPECT_EQ(301u + 3u, big.size());
	EXPECT_EQ("1", big.substr(0, 1));
	EXPECT_EQ(".00", big.substr(big.size() - 3));
	const std::string wide = expand(Format(("{0," + std::string(60, '0') + "}").c_str(), 5));
	EXPECT_EQ(std::string(59, '0') + "5", wide);
	const std::string precise = expand(Format(("{0,." + std::string(80, '#') + "}").c_str(), 1));
	EXPECT_EQ("1." + std::string(80, '0'), precise);
}

TEST(Format, SeveralArgumentsByIndex) {
	EXPECT_EQ("b a 3 e", expand(Format("{1} {0} {2} {4}", "a", "b", 3, "d", "e")));
}

struct ErrorCase {
	const char* format;
	const char* message;
};

TEST(Format, BadPlaceholdersThrowWithExactMessages) {
	const ErrorCase cases[] = {
		{"{a}", "Failed to format \"{a}\", digit expected at 1"},
		{"x{}", "Failed to format \"x{}\", argument index not found at 2"},
		{"{3}", "Failed to format \"{3}\", invalid argument index at 1"},
		{"{0} and {1", "Failed to format \"{0} and {1\", '}' not found after 9"},
	};
	for (const ErrorCase& c : cases) {
		try {
			expand(Format(c.format, 1, 2));
			ADD_FAILURE() << "no exception for " << c.format;
		} catch (const lang::FormatException& e) {
			EXPECT_EQ(c.message, expand(e.getMessage())) << c.format;
		}
	}
}

TEST(Format, CutIntoASmallBufferReturnsTheFullLength) {
	Format f("0123456789abcdef");
	char buf[10];
	EXPECT_EQ(17, f.format(buf, sizeof(buf)));
	EXPECT_STREQ("012345678", buf);
	EXPECT_EQ(17, f.format(buf, 1));
	EXPECT_STREQ("", buf);
	EXPECT_EQ(1, f.format(buf, 0));
	EXPECT_EQ(1, Format().format(buf, sizeof(buf)));
	EXPECT_STREQ("", buf);
}

TEST(Format, LongMessagesBecomeWholeStrings) {
	const std::string text(600, 'm');
	EXPECT_EQ(600, String(Format("{0}", text.c_str())).length());
	const std::string edge(511, 'e'); // the first buffer's exact limit
	EXPECT_EQ(511, String(Format(edge.c_str())).length());
	EXPECT_EQ(512, String(Format((edge + "f").c_str())).length());
}

TEST(Format, CopiesKeepTheArguments) {
	Format a("{0}-{1}", "x", 2);
	Format b = a;
	a = Format();
	EXPECT_EQ("x-2", expand(b));
	EXPECT_EQ(2, b.argumentCount());
}

} // namespace
