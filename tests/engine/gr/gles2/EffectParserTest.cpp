#include <gr/gles2/EffectDescription.h>
#include <gr/gles2/EffectLexer.h>

#include "support/EffectTreeWriter.h"

#include <gtest/gtest.h>

namespace {

using test::EffectTreeWriter;

std::vector<std::string> tokens(const std::string& text) {
	gr::EffectLexer lexer(text);
	std::vector<std::string> list;
	for (std::string t = lexer.next(); !t.empty(); t = lexer.next())
		list.push_back(t);
	return list;
}

TEST(EffectLexer, Tokens) {
	using V = std::vector<std::string>;
	EXPECT_EQ(tokens("priority=5;"), V({"priority", "=", "5", ";"}));
	EXPECT_EQ(tokens("  technique T{pass P{}}\n"), V({"technique", "T", "{", "pass", "P", "{", "}", "}"}));
	EXPECT_EQ(tokens("a//b c"), V({"a//b", "c"}));
	EXPECT_EQ(tokens("a // b c\nd"), V({"a", "d"}));
	EXPECT_EQ(tokens("a /* b\n c */ d /* open"), V({"a", "d"}));
	EXPECT_EQ(tokens("\"x y\" (a.b)"), V({"\"x", "y\"", "(a.b)"}));
	EXPECT_EQ(tokens(" \t\n// only\n/**/"), V());
}

TEST(EffectLexer, ValueTextRunsToTheSemicolon) {
	gr::EffectLexer lexer("= /* c */ // line\n  a b {=} ; next = tail");
	EXPECT_EQ(lexer.next(), "=");
	EXPECT_EQ(lexer.readValue(), "a b {=}");
	EXPECT_EQ(lexer.next(), "next");
	EXPECT_EQ(lexer.next(), "=");
	EXPECT_EQ(lexer.readValue(), "tail");
	EXPECT_EQ(lexer.next(), "");
}

TEST(EffectParser, FullEffect) {
	EffectTreeWriter tree;
	const std::string path =
		tree.write("fx/water.fx",
				   "// water\n"
				   "#define FOG\n"
				   "#define LIGHTS 2\n"
				   "#define GONE\n"
				   "#undef GONE\n"
				   "Priority = 10;\n"
				   "sort = BackToFront; // after the semicolon\n"
				   "technique Default\n"
				   "{\n"
				   "  pass First\n"
				   "  {\n"
				   "    VertexShader = water.vs;\n"
				   "    PixelShader = glsl\\water.fs;\n"
				   "    BlendFuncSrc = SRC_ALPHA;\n"
				   "    CullMode = None // keep\n;\n"
				   "  }\n"
				   "  pass Second { vertexshader = /abs/b.vs; fragmentshader = b.fs; fragmentshader = c.fs; }\n"
				   "}\n"
				   "technique Reflected { }\n"
				   "technique Default { pass P { } }\n");
	gr::EffectDescription d;
	ASSERT_TRUE(gr::parseEffect(path, d)) << d.error;
	EXPECT_EQ(d.path, path);
	EXPECT_EQ(d.error, "");
	EXPECT_EQ(d.defines, std::vector<std::string>({"FOG", "LIGHTS 2"}));
	EXPECT_EQ(d.settings, (std::map<std::string, std::string>{{"priority", "10"}, {"sort", "BackToFront"}}));
	ASSERT_EQ(d.techniques.size(), 3u);
	EXPECT_EQ(d.techniques[0].name, "Default");
	EXPECT_EQ(d.techniques[1].name, "Reflected");
	EXPECT_TRUE(d.techniques[1].passes.empty());
	EXPECT_EQ(d.techniques[2].name, "Default");
	ASSERT_EQ(d.techniques[0].passes.size(), 2u);

	const gr::EffectDescription::Pass& first = d.techniques[0].passes[0];
	EXPECT_EQ(first.name, "First");
	EXPECT_EQ(first.vertexShader, tree.path("fx/water.vs"));
	EXPECT_EQ(first.fragmentShader, tree.path("fx/glsl/water.fs"));
	EXPECT_EQ(first.states,
			  (std::map<std::string, std::string>{{"blendfuncsrc", "SRC_ALPHA"}, {"cullmode", "None // keep"}}));

	const gr::EffectDescription::Pass& second = d.techniques[0].passes[1];
	EXPECT_EQ(second.vertexShader, "/abs/b.vs");
	EXPECT_EQ(second.fragmentShader, tree.path("fx/c.fs"));
	EXPECT_TRUE(second.states.empty());

	const gr::EffectDescription::Pass& bare = d.techniques[2].passes.at(0);
	EXPECT_EQ(bare.vertexShader, "");
	EXPECT_EQ(bare.fragmentShader, "");
}

TEST(EffectParser, CompactAndSpacedFormsReadAlike) {
	EffectTreeWriter tree;
	gr::EffectDescription compact, spaced;
	ASSERT_TRUE(gr::parseEffect(tree.write("a.fx", "priority=5;technique T{pass P{VertexShader=v;}}"), compact));
	ASSERT_TRUE(gr::parseEffect(
		tree.write("b.fx", "priority = 5 ;\ntechnique T {\n pass P {\n VertexShader = v ;\n }\n}\n"), spaced));
	EXPECT_EQ(compact.settings, spaced.settings);
	ASSERT_EQ(compact.techniques.size(), 1u);
	ASSERT_EQ(spaced.techniques.size(), 1u);
	EXPECT_EQ(compact.techniques[0].name, spaced.techniques[0].name);
	EXPECT_EQ(compact.techniques[0].passes.at(0).name, "P");
	EXPECT_EQ(compact.techniques[0].passes.at(0).vertexShader, tree.path("v"));
	EXPECT_EQ(spaced.techniques[0].passes.at(0).vertexShader, tree.path("v"));
}

TEST(EffectParser, UnterminatedValueEndsOpenBlocks) {
	EffectTreeWriter tree;
	gr::EffectDescription d;
	ASSERT_TRUE(gr::parseEffect(tree.write("a.fx", "technique T { pass P { blend = one } }"), d)) << d.error;
	ASSERT_EQ(d.techniques.size(), 1u);
	ASSERT_EQ(d.techniques[0].passes.size(), 1u);
	EXPECT_EQ(d.techniques[0].passes[0].states.at("blend"), "one } }");

	ASSERT_TRUE(gr::parseEffect(tree.write("b.fx", "technique T { pass P { blend = one;"), d)) << d.error;
	EXPECT_EQ(d.techniques.at(0).passes.at(0).states.at("blend"), "one");
}

TEST(EffectParser, Errors) {
	struct Case {
		const char* text;
		const char* error;
	};
	const Case cases[] = {
		{"Technique T { }", "unexpected syntax near 'Technique'"},
		{"priority 5;", "unexpected syntax near 'priority'"},
		{"technique T pass", "expected '{' after technique T"},
		{"technique", "expected '{' after technique "},
		{"technique T { Pass P { } }", "expected 'pass' in technique T, vino 'Pass'"},
		{"technique T { pass P }", "expected '{' after pass P"},
		{"technique T { pass P { blend one; } }", "expected '=' after blend"},
		{"priority = 1; sort = none;", "the effect defines no technique"},
		{"// nothing\n/* at all */\n", "the effect defines no technique"},
		{"", "the effect defines no technique"},
		{"#if 0\ntechnique T { }\n#endif\n", "the effect defines no technique"},
	};
	for (const Case& c : cases) {
		EffectTreeWriter tree;
		gr::EffectDescription d;
		EXPECT_FALSE(gr::parseEffect(tree.write("e.fx", c.text), d)) << c.text;
		EXPECT_EQ(d.error, c.error) << c.text;
	}
}

TEST(EffectParser, PreprocessorFailuresCarryTheirMessage) {
	EffectTreeWriter tree;
	gr::EffectDescription d;
	d.settings["stale"] = "x";
	EXPECT_FALSE(gr::parseEffect(tree.path("none.fx"), d));
	EXPECT_EQ(d.error, "could not open " + tree.path("none.fx"));
	EXPECT_EQ(d.path, tree.path("none.fx"));
	EXPECT_TRUE(d.settings.empty());

	const std::string self = tree.writeSelfInclude("self.fx");
	EXPECT_FALSE(gr::parseEffect(self, d));
	EXPECT_EQ(d.error, "demasiados #include anidados en " + self);
}

TEST(EffectParser, CrlfEffectAndIncludedTechniques) {
	EffectTreeWriter tree;
	tree.writeCrlf("inc/tech.fxh", "technique Inc\n{\n  pass P { VertexShader = v.glsl; }\n}\n");
	const std::string path =
		tree.writeCrlf("main.fx", "#define A 1\n#if A\n#include \"inc/tech.fxh\"\n#endif\nsort = inside out ;\n");
	gr::EffectDescription d;
	ASSERT_TRUE(gr::parseEffect(path, d)) << d.error;
	EXPECT_EQ(d.defines, std::vector<std::string>({"A 1"}));
	EXPECT_EQ(d.settings.at("sort"), "inside out");
	ASSERT_EQ(d.techniques.size(), 1u);
	EXPECT_EQ(d.techniques[0].name, "Inc");
	// Stage names are relative to the effect file, not to the included file.
	EXPECT_EQ(d.techniques[0].passes.at(0).vertexShader, tree.path("v.glsl"));
}

TEST(EffectParser, TreeWriterEffectParses) {
	EffectTreeWriter tree;
	tree.write("tex.vs", EffectTreeWriter::TEXTURED_VERTEX);
	tree.write("tex.fs", EffectTreeWriter::TEXTURED_FRAGMENT);
	const std::string path = tree.writeEffect("tex.fx", "tex.vs", "tex.fs", "\t\tBlend = none;\n", "priority = -2;\n");
	gr::EffectDescription d;
	ASSERT_TRUE(gr::parseEffect(path, d)) << d.error;
	EXPECT_EQ(d.settings.at("priority"), "-2");
	const gr::EffectDescription::Pass& p = d.techniques.at(0).passes.at(0);
	EXPECT_EQ(d.techniques[0].name, "Default");
	EXPECT_EQ(p.vertexShader, tree.path("tex.vs"));
	EXPECT_EQ(p.fragmentShader, tree.path("tex.fs"));
	EXPECT_EQ(p.states.at("blend"), "none");
}

} // namespace
