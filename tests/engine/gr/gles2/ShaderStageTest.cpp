#include <gr/gles2/ShaderStage.h>

#include "support/EffectTreeWriter.h"

#include <gtest/gtest.h>

namespace {

using test::EffectTreeWriter;

std::string build(const std::string& path, const std::vector<std::string>& defines, bool fragment,
				  std::string* error = nullptr) {
	std::string out, err;
	if (!gr::buildShaderStageSource(path, defines, fragment, out, err)) {
		if (error)
			*error = err;
		else
			ADD_FAILURE() << err;
		return "(failed)";
	}
	return out;
}

TEST(ShaderStage, HeaderLayout) {
	EffectTreeWriter tree;
	const std::string path = tree.write("s.glsl", "void main() {}\n");
	EXPECT_EQ(build(path, {"FOG", "LIGHTS 2"}, false),
			  "#version 100\n#define FOG\n#define LIGHTS 2\n#line 1\nvoid main() {}\n");
	EXPECT_EQ(build(path, {"FOG", "LIGHTS 2"}, true),
			  "#version 100\nprecision mediump float;\n#define FOG\n#define LIGHTS 2\n#line 1\nvoid main() {}\n");
	EXPECT_EQ(build(path, {}, false), "#version 100\n#line 1\nvoid main() {}\n");
	EXPECT_EQ(build(path, {}, true), "#version 100\nprecision mediump float;\n#line 1\nvoid main() {}\n");
}

TEST(ShaderStage, BodyLinesAreKeptAsReadAndCarriageReturnsDropped) {
	EffectTreeWriter tree;
	const std::string path = tree.writeCrlf("s.glsl", "  a;\n#ifdef FOG\n\tb;\n#endif\nlast");
	EXPECT_EQ(build(path, {}, false), "#version 100\n#line 1\n  a;\n#ifdef FOG\n\tb;\n#endif\nlast\n");
}

TEST(ShaderStage, IncludesAreExpandedOncePerStage) {
	EffectTreeWriter tree;
	tree.write("common.glsl", "common;\n");
	tree.write("lib/a.glsl", "a;\n#include \"../common.glsl\"\n");
	const std::string path =
		tree.write("s.glsl",
				   "#include \"common.glsl\"\n  #include \"common.glsl\"\n#include \"lib\\a.glsl\"\n"
				   "# include \"common.glsl\"\nbody;\n");
	// "lib/../common.glsl" differs from "common.glsl" as a string, so it is a second file.
	const std::string body = "common;\na;\ncommon;\n# include \"common.glsl\"\nbody;\n";
	EXPECT_EQ(build(path, {}, false), "#version 100\n#line 1\n" + body);
	EXPECT_EQ(build(path, {}, true), "#version 100\nprecision mediump float;\n#line 1\n" + body);
}

TEST(ShaderStage, StageFileIncludedByItsOwnIncludeIsExpandedOnceMore) {
	EffectTreeWriter tree;
	tree.write("inc.glsl", "inc;\n#include \"s.glsl\"\n");
	const std::string path = tree.write("s.glsl", "top;\n#include \"inc.glsl\"\nend;\n");
	EXPECT_EQ(build(path, {}, false), "#version 100\n#line 1\ntop;\ninc;\ntop;\nend;\nend;\n");
}

TEST(ShaderStage, Failures) {
	EffectTreeWriter tree;
	struct Case {
		const char* name;
		std::string path;
		std::string error;
	};
	tree.write("angle.glsl", "#include <common.glsl>\n");
	tree.write("common.glsl", "x;\n");
	tree.write("gone.glsl", "a;\n#include \"sub/none.glsl\"\n");
	const Case cases[] = {
		{"missing stage file", tree.path("none.glsl"), "could not open " + tree.path("none.glsl")},
		{"empty stage path", "", "could not open "},
		{"angle brackets are kept", tree.path("angle.glsl"), "could not open " + tree.path("<common.glsl>")},
		{"missing include", tree.path("gone.glsl"), "could not open " + tree.path("sub/none.glsl")},
	};
	for (const Case& c : cases) {
		std::string out = "old", error;
		EXPECT_FALSE(gr::buildShaderStageSource(c.path, {"X"}, true, out, error)) << c.name;
		EXPECT_EQ(error, c.error) << c.name;
		EXPECT_EQ(out, "old") << c.name;
	}
}

TEST(ShaderStage, IncludeDepthLimit) {
	EffectTreeWriter tree;
	// The stage file and 16 levels of includes below it.
	std::string error;
	std::string out = build(tree.writeIncludeChain("ok/c.glsl", 17), {}, false);
	EXPECT_NE(out.find("leaf\n"), std::string::npos);
	EXPECT_EQ(out.find("#include"), std::string::npos);

	out = build(tree.writeIncludeChain("deep/c.glsl", 18), {}, false, &error);
	EXPECT_EQ(out, "(failed)");
	EXPECT_EQ(error, "demasiados #include anidados en " + tree.path("deep/c17.glsl"));
}

TEST(ShaderStage, IncludeFanOutIsBounded) {
	EffectTreeWriter tree;
	// Fifteen levels, each naming the next through four directories: every
	// spelling is a new path, so the includes taken grow fourfold per level
	// while the depth stays within its limit.
	const char* const dirs[] = {"a", "b", "c", "d"};
	for (const char* dir : dirs)
		tree.write(std::string(dir) + "/keep.txt", "");
	for (int level = 0; level < 15; ++level) {
		std::string text = "x;\n";
		for (const char* dir : dirs)
			text += std::string("#include \"") + dir + "/../f" + std::to_string(level + 1) + ".glsl\"\n";
		tree.write("f" + std::to_string(level) + ".glsl", text);
	}
	tree.write("f15.glsl", "leaf;\n");
	std::string error;
	EXPECT_EQ(build(tree.path("f0.glsl"), {}, false, &error), "(failed)");
	EXPECT_EQ(error.find("too many #include files (more than 256) at " + tree.dir()), 0u) << error;
}

TEST(ShaderStage, SelfIncludeIsExpandedOnce) {
	EffectTreeWriter tree;
	const std::string path = tree.writeSelfInclude("self.glsl");
	EXPECT_EQ(build(path, {}, false), "#version 100\n#line 1\nbefore\nbefore\nafter\nafter\n");
}

TEST(ShaderStage, ExtensionLinesGoRightAfterTheVersionLine) {
	EffectTreeWriter tree;
	const std::string path = tree.write("ext.glsl", EffectTreeWriter::EXTENSION_FRAGMENT);
	const std::string out = build(path, {"FOG"}, true);
	const std::string head =
		"#version 100\n"
		"#extension GL_OES_standard_derivatives : enable\n"
		"precision mediump float;\n"
		"#define FOG\n"
		"#line 1\n"
		"\n" // the extension line's place keeps the line numbers
		"varying mediump vec2 V_TexCoord0;\n";
	EXPECT_EQ(out.substr(0, head.size()), head);
	EXPECT_EQ(out.find("#extension", head.size()), std::string::npos);
}

TEST(ShaderStage, ExtensionLinesFromIncludesAreHoistedButNotFromConditionals) {
	EffectTreeWriter tree;
	tree.write("ext.glsl", "  #  extension GL_EXT_a : enable\n");
	const std::string path = tree.write("s.glsl",
										"// derivatives\n"
										"#include \"ext.glsl\"\n"
										"#ifdef HIGH\n"
										"#extension GL_EXT_b : enable\n"
										"#endif\n"
										"#extension GL_EXT_c : require\n"
										"void main() {}\n");
	EXPECT_EQ(build(path, {}, false),
			  "#version 100\n"
			  "#  extension GL_EXT_a : enable\n"
			  "#extension GL_EXT_c : require\n"
			  "#line 1\n"
			  "// derivatives\n"
			  "\n"
			  "#ifdef HIGH\n"
			  "#extension GL_EXT_b : enable\n"
			  "#endif\n"
			  "\n"
			  "void main() {}\n");
}

TEST(ShaderStage, ExtensionWordMustStandAlone) {
	EffectTreeWriter tree;
	const std::string path = tree.write("s.glsl", "#extensions x\n#define extension 1\n");
	EXPECT_EQ(build(path, {}, false), "#version 100\n#line 1\n#extensions x\n#define extension 1\n");
}

} // namespace
