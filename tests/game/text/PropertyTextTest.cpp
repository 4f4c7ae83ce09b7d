// Node property texts read whole, their key=value lines, and the letter case
// of names.
#include "text/LowerAscii.h"
#include "text/PropertyText.h"

#include <lang/String.h>

#include <gtest/gtest.h>

#include <string>

using namespace lumaroll;

namespace {

TEST(PropertyValueTest, KeyAtTheStartOfALine) {
	struct Case {
		const char* text;
		const char* key;
		const char* value;
	};
	const Case cases[] = {
		{"bgcolor=ff0000", "bgcolor", "ff0000"},
		{"xbgcolor=1\nbgcolor=123456  \r", "bgcolor", "123456"},
		{"a=1\r\nbgcolor=abc\r\nc=3", "bgcolor", "abc"},
		{"xbgcolor=1", "bgcolor", ""},
		{"note bgcolor=1", "bgcolor", ""},
		{"bgcolor=", "bgcolor", ""},
		{"", "bgcolor", ""},
		{"load=box, lid\nshadow=0", "load", "box, lid"},
		{"bgcolor = 1", "bgcolor", ""},
	};
	for (const Case& c : cases)
		EXPECT_EQ(propertyValue(c.text, c.key), c.value) << c.text;
}

TEST(WholeTextTest, TextsLongerThanTheEngineCopiesAreReadWhole) {
	// A script of a few hundred lines; its last line lies far past the
	// engine's c_str copies.
	std::string script;
	for (int i = 1; script.size() < 3 * lang::String::C_STR_MAX_LENGTH; ++i)
		script += "a" + std::to_string(i) + "=add,counter,1\n";
	script += "collisiontype=sphere";
	const std::string read = wholeText(lang::String(script.c_str()));
	EXPECT_EQ(read, script);
	EXPECT_EQ(propertyValue(read, "collisiontype"), "sphere");
	EXPECT_EQ(wholeText(lang::String()), "");
}

TEST(LowerAsciiTest, OnlyTheLettersAToZChange) {
	EXPECT_EQ(lowerAscii("Ball.MP3"), "ball.mp3");
	EXPECT_EQ(lowerAscii("Wall_01 \xC3\x84"), "wall_01 \xC3\x84");
	EXPECT_EQ(lowerAscii(""), "");
}

} // namespace
