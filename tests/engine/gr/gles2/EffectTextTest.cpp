#include <gr/gles2/EffectText.h>

#include "support/EffectTreeWriter.h"
#include "support/NamedPipe.h"

#include <gtest/gtest.h>

namespace {

struct TextCase {
	const char* input;
	const char* expected;
};

TEST(EffectText, TrimRemovesOnlyBlanksTabsAndNewlines) {
	const TextCase cases[] = {
		{"", ""}, {" \t\n", ""}, {"  a b\t\n", "a b"}, {"\n\tx", "x"}, {"\rx\r", "\rx\r"}, {"\vx ", "\vx"},
	};
	for (const TextCase& c : cases)
		EXPECT_EQ(gr::trimWhitespace(c.input), c.expected) << "input: '" << c.input << "'";
}

TEST(EffectText, DirectoryOfKeepsTheLastSeparator) {
	const TextCase cases[] = {
		{"a/b/c.fx", "a/b/"}, {"a\\b.fx", "a\\"}, {"a/b\\c.fx", "a/b\\"}, {"/c.fx", "/"},
		{"c.fx", ""},		  {"", ""},			  {"dir/", "dir/"},
	};
	for (const TextCase& c : cases)
		EXPECT_EQ(gr::directoryOf(c.input), c.expected) << "input: '" << c.input << "'";
}

TEST(EffectText, ResolveRelativePath) {
	struct Case {
		const char* directory;
		const char* name;
		const char* expected;
	};
	const Case cases[] = {
		{"shaders/", "water.glsl", "shaders/water.glsl"},
		{"shaders/", "sub\\water.glsl", "shaders/sub/water.glsl"},
		{"shaders/", "/abs/water.glsl", "/abs/water.glsl"},
		{"shaders/", "\\abs\\water.glsl", "/abs/water.glsl"},
		{"", "water.glsl", "water.glsl"},
		{"shaders", "water.glsl", "shaderswater.glsl"},
		{"shaders/", "", "shaders/"},
	};
	for (const Case& c : cases)
		EXPECT_EQ(gr::resolveRelativePath(c.directory, c.name), c.expected) << c.directory << " + " << c.name;
}

TEST(EffectText, ReadTextFileDropsEveryCarriageReturn) {
	test::EffectTreeWriter tree;
	const std::string path = tree.write("cr.txt", "a\r\nb\rc\r\r\n");
	std::string text;
	ASSERT_TRUE(gr::readTextFile(path, text));
	EXPECT_EQ(text, "a\nbc\n");
}

TEST(EffectText, ReadTextFileKeepsOutputWhenFileIsMissing) {
	test::EffectTreeWriter tree;
	std::string text = "unchanged";
	EXPECT_FALSE(gr::readTextFile(tree.path("missing.txt"), text));
	EXPECT_EQ(text, "unchanged");
	EXPECT_FALSE(gr::readTextFile(tree.dir() + "no/such/dir/file", text));
	EXPECT_EQ(text, "unchanged");
}

TEST(EffectText, ReadTextFileRefusesWhatIsNoRegularFile) {
	// A device never ends (an include of it would fill the memory), a
	// directory has no text and a named pipe would wait for a writer: each
	// counts as a file that cannot be opened.
	test::EffectTreeWriter tree;
	tree.write("sub/x.txt", "x");
	const std::string pipe = tree.dir() + "pipe.fx";
	ASSERT_TRUE(test::makeStandIn(test::FileStandIn::NamedPipe, pipe));
	for (const std::string& path : {tree.dir() + "sub", std::string("/dev/zero"), std::string("/dev/null"), pipe}) {
		std::string text = "unchanged";
		bool read = true;
		test::runWithoutWaiting({pipe}, [&] { read = gr::readTextFile(path, text); });
		EXPECT_FALSE(read) << path;
		EXPECT_EQ(text, "unchanged") << path;
	}
}

TEST(EffectText, ReadTextFileKeepsNulBytesAndEmptyFiles) {
	test::EffectTreeWriter tree;
	std::string text = "old";
	ASSERT_TRUE(gr::readTextFile(tree.write("empty.txt", ""), text));
	EXPECT_EQ(text, "");
	ASSERT_TRUE(gr::readTextFile(tree.write("nul.txt", std::string("a\0b", 3)), text));
	EXPECT_EQ(text, std::string("a\0b", 3));
}

} // namespace
