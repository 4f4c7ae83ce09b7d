#include <io/PropertyParser.h>
#include <lang/Ptr.h>
#include "IoTest.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

using test::ioMessage;

namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

/** The pairs in iteration (text) order. */
Pairs pairsOf(io::PropertyParser& p) {
	Pairs out;
	for (io::PropertyParser::Iterator it = p.begin(); it != p.end(); ++it)
		out.emplace_back(it.key(), it.value());
	return out;
}

TEST(PropertyParser, ReadsPairsInTextOrder) {
	struct Case {
		const char* name;
		const char* text;
		Pairs pairs;
	};
	const Case cases[] = {
		{"keys lower-cased, blanks cut", "Size = 3  \nColor=red  \n", {{"size", "3"}, {"color", "red"}}},
		{"inner blanks kept", "name = a b \t\r\n", {{"name", "a b"}}},
		{"comment line ignored", "-- a comment\nx=1", {{"x", "1"}}},
		{"comment after value ends it", "a=1 -- note\nb=2", {{"a", "1"}, {"b", "2"}}},
		{"comment after value at end", "a=1--note", {{"a", "1"}}},
		{"empty value keeps the next line", "a=\nb=2\n", {{"a", ""}, {"b", "2"}}},
		{"empty value with blanks", "a=  \t\r\nb=2", {{"a", ""}, {"b", "2"}}},
		{"semicolon separates", "a=1;b=2; c = 3;;", {{"a", "1"}, {"b", "2"}, {"c", "3"}}},
		{"key may precede = across blanks", "k\n =v", {{"k", "v"}}},
		{"high bytes unchanged", "\xC3\x89T\xC3\xA9=\xC3\x89", {{"\xC3\x89t\xC3\xA9", "\xC3\x89"}}},
		{"value keeps = signs", "expr=a=b", {{"expr", "a=b"}}},
		{"empty text", "", {}},
		{"only blanks and comments", "  \n-- x\n\t", {}},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.name);
		io::PropertyParser p(c.text, "set");
		EXPECT_EQ(pairsOf(p), c.pairs);
		EXPECT_EQ(p.size(), int(c.pairs.size()));
	}
}

TEST(PropertyParser, EmptyTextBeginsAtEnd) {
	io::PropertyParser empty;
	EXPECT_FALSE(empty.begin() != empty.end());
	io::PropertyParser p("", "set");
	EXPECT_FALSE(p.begin() != p.end());
}

TEST(PropertyParser, Lookups) {
	lang::Ptr<io::PropertyParser> p =
		new io::PropertyParser("Size = 3\nColor=red\nEmpty=\nzeta=last\nalpha=first", "set");
	EXPECT_STREQ(p->getString("color"), "red");
	EXPECT_STREQ(p->getString("empty"), "");
	EXPECT_STREQ(p->getString("zeta"), "last");
	EXPECT_STREQ(p->getString("alpha"), "first");
	EXPECT_EQ(p->getString("Color"), nullptr); // callers pass lower case
	EXPECT_EQ(p->getString("missing"), nullptr);
	EXPECT_EQ(p->getString(nullptr), nullptr);
	EXPECT_TRUE(p->hasKey("size"));
	EXPECT_FALSE(p->hasKey("siz"));
	EXPECT_EQ(p->getInt("size"), 3);
}

TEST(PropertyParser, RepeatedKeyFindsTheFirst) {
	io::PropertyParser p("b=1\na=x\nb=2\nb=3", "set");
	EXPECT_STREQ(p.getString("b"), "1");
	EXPECT_EQ(pairsOf(p), (Pairs{{"b", "1"}, {"a", "x"}, {"b", "2"}, {"b", "3"}}));
}

TEST(PropertyParser, GetBoolean) {
	io::PropertyParser p("a=YES\nb=Enabled\nc=1\nd=true\ne=no\nf=DISABLED\ng=0\nh=False\nbad=Off", "set");
	for (const char* k : {"a", "b", "c", "d"})
		EXPECT_TRUE(p.getBoolean(k)) << k;
	for (const char* k : {"e", "f", "g", "h"})
		EXPECT_FALSE(p.getBoolean(k)) << k;
	EXPECT_EQ(ioMessage([&] { p.getBoolean("bad"); }), "Failed to parse boolean bad from \"set\"");
	EXPECT_EQ(ioMessage([&] { p.getBoolean("none"); }), "Failed to parse boolean, no key none in \"set\"");
}

TEST(PropertyParser, GetInt) {
	struct Case {
		const char* value;
		int expected;
		const char* error; // null: no error
	};
	const std::string notInteger = "Failed to parse integer k from \"set\" (number is not integer)";
	const std::string outOfRange = "Failed to parse integer k from \"set\" (number out of range)";
	const Case cases[] = {
		{"42", 42, nullptr},
		{"-7", -7, nullptr},
		{"1e3", 1000, nullptr},
		{"2147483647", 2147483647, nullptr},
		{"-2147483648", -2147483647 - 1, nullptr},
		{"12abc", 12, nullptr},
		{"2.5", 0, notInteger.c_str()},
		{"nan", 0, notInteger.c_str()},
		{"1e20", 0, outOfRange.c_str()},
		{"2147483648", 0, outOfRange.c_str()},
		{"-1e10", 0, outOfRange.c_str()},
		{"inf", 0, outOfRange.c_str()},
		{"-infinity", 0, outOfRange.c_str()},
		{"abc", 0, "Failed to parse integer k from \"set\""},
		{"", 0, "Failed to parse integer k from \"set\""},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.value);
		io::PropertyParser p(lang::String("k=") + c.value, "set");
		if (c.error)
			EXPECT_EQ(ioMessage([&] { p.getInt("k"); }), c.error);
		else
			EXPECT_EQ(p.getInt("k"), c.expected);
	}
	io::PropertyParser p("k=1", "set");
	EXPECT_EQ(ioMessage([&] { p.getInt("x"); }), "Failed to parse number, no key x in \"set\"");
}

TEST(PropertyParser, GetFloat) {
	io::PropertyParser p("a=1.5\nb=-2e-3\nc=x1", "set");
	EXPECT_FLOAT_EQ(p.getFloat("a"), 1.5f);
	EXPECT_FLOAT_EQ(p.getFloat("b"), -0.002f);
	EXPECT_EQ(ioMessage([&] { p.getFloat("c"); }), "Failed to parse number c from \"set\"");
	EXPECT_EQ(ioMessage([&] { p.getFloat("d"); }), "Failed to parse number, no key d in \"set\"");
}

TEST(PropertyParser, MissingEqualsNamesKeyAndLine) {
	struct Case {
		const char* text;
		const char* key;
		int line;
		const char* cleanText; // the text as quoted, comments removed
	};
	const Case cases[] = {
		{"a=1\nb=2\nWidth\n", "width", 3, "a=1\nb=2\nWidth\n"},
		{"-- header\na=1\nlonely", "lonely", 3, "\na=1\nlonely"},
		{"a=1;b;c=2", "b", 1, "a=1;b;c=2"},
		{"a=\n\nb\n", "b", 3, "a=\n\nb\n"},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.text);
		EXPECT_EQ(ioMessage([&] { io::PropertyParser p(c.text, "set"); }),
				  std::string("Missing \"") + c.key + "=<value>\" on line " + std::to_string(c.line) +
					  " of property set \"set\":\n" + c.cleanText);
	}
}

TEST(PropertyParser, ParseAgainReplacesEverything) {
	io::PropertyParser p("a=1", "first");
	p.parse("b=2", "second");
	EXPECT_EQ(p.getString("a"), nullptr);
	EXPECT_STREQ(p.getString("b"), "2");
	EXPECT_EQ(ioMessage([&] { p.getInt("a"); }), "Failed to parse number, no key a in \"second\"");
}

TEST(PropertyParser, LongText) {
	std::string text;
	for (int i = 0; i < 400; ++i)
		text += "key" + std::to_string(i) + " = " + std::to_string(i * 3) + " -- comment\n";
	io::PropertyParser p(text.c_str(), "big");
	EXPECT_EQ(p.size(), 400);
	EXPECT_EQ(p.getInt("key0"), 0);
	EXPECT_EQ(p.getInt("key399"), 1197);
	int n = 0;
	for (io::PropertyParser::Iterator it = p.begin(); it != p.end(); ++it, ++n)
		EXPECT_EQ(std::string(it.key()), "key" + std::to_string(n));
	EXPECT_EQ(n, 400);
}

} // namespace
