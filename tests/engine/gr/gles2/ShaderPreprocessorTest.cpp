#include <gr/gles2/ShaderPreprocessor.h>

#include "support/EffectTreeWriter.h"

#include <gtest/gtest.h>

namespace {

using test::EffectTreeWriter;

struct Result {
	bool ok;
	std::string out;
	std::string error;
};

Result run(const std::string& path, gr::ShaderPreprocessor& pp) {
	Result r;
	r.ok = pp.process(path, r.out, 0);
	r.error = pp.error;
	return r;
}

Result runText(EffectTreeWriter& tree, const std::string& text) {
	gr::ShaderPreprocessor pp;
	return run(tree.write("main.fx", text), pp);
}

struct DirectiveCase {
	const char* name;
	const char* text;
	const char* expected;
};

TEST(ShaderPreprocessor, DirectivesAndExpressions) {
	const DirectiveCase cases[] = {
		{"plain lines keep their blanks", "  a\t\nb", "  a\t\nb\n"},
		{"final newline adds no line", "a\n\n", "a\n\n"},
		{"unknown directives vanish", "#version 100\n#pragma x\n#\nline\n", "line\n"},
		{"blank between hash and keyword", "#define X\n#  ifdef X\nA\n# endif\n", "A\n"},
		{"define without value: ifdef true, if false", "#define X\n#ifdef X\nA\n#endif\n#if X\nB\n#endif\n", "A\n"},
		{"define with value 1: both true", "#define X 1\n#ifdef X\nA\n#endif\n#if X\nB\n#endif\n", "A\nB\n"},
		{"undefined name is false", "#if Y\nA\n#else\nB\n#endif\n", "B\n"},
		{"ifndef", "#define X\n#ifndef X\nA\n#endif\n#ifndef Y\nB\n#endif\n", "B\n"},
		{"value 0 and non-numeric values are false", "#define Z 0\n#define W abc\n#if Z || W\nA\n#endif\n", ""},
		{"and binds tighter than or", "#define P 1\n#define Q 0\n#define R 0\n#if P || Q && R\nA\n#endif\n", "A\n"},
		{"not applies to one operand", "#define P 1\n#define Q 0\n#if !P && Q\nA\n#else\nB\n#endif\n", "B\n"},
		{"two nots cancel", "#define P 1\n#if !!P\nA\n#endif\n", "A\n"},
		{"comparison is ignored after the operand", "#define P 1\n#if P == 2\nA\n#endif\n", "A\n"},
		{"lone ampersand ends the expression", "#define P 1\n#if P & Q\nA\n#endif\n", "A\n"},
		{"parentheses group", "#define P 1\n#if (P || Q) && R\nA\n#else\nB\n#endif\n", "B\n"},
		{"missing closing parenthesis is no error", "#define P 1\n#if (P\nA\n#endif\n", "A\n"},
		{"no short circuit: operators after a false operand still parse", "#if 0 && 1 || 1\nA\n#endif\n", "A\n"},
		{"numbers", "#if 12abc\nA\n#endif\n#if 0x10\nB\n#endif\n#if 0\nC\n#endif\n", "A\n"},
		{"defined forms",
		 "#define X\n#if defined X\nA\n#endif\n#if defined(X)\nB\n#endif\n"
		 "#if defined ( X ) && !defined(Y)\nC\n#endif\n",
		 "A\nB\nC\n"},
		{"empty if is false", "#if\nA\n#else\nB\n#endif\n", "B\n"},
		{"if 0 elif 1 else", "#if 0\nA\n#elif 1\nB\n#else\nC\n#endif\n", "B\n"},
		{"if 1 elif 1", "#if 1\nA\n#elif 1\nB\n#endif\n", "A\n"},
		{"else after no branch", "#if 0\nA\n#elif 0\nB\n#else\nC\n#endif\n", "C\n"},
		{"define inside inactive block has no effect", "#if 0\n#define X 1\n#endif\n#ifdef X\nA\n#endif\n", ""},
		{"nested if 1 inside inactive block emits nothing", "#if 0\n#if 1\nA\n#else\nB\n#endif\nC\n#else\nD\n#endif\n",
		 "D\n"},
		{"elif inside inactive parent stays off", "#if 0\n#if 0\nA\n#elif 1\nB\n#endif\n#endif\n", ""},
		{"stray else, elif and endif are ignored", "#endif\n#else\n#elif 1\nA\n", "A\n"},
		{"conditional left open ends with the file", "#if 0\nA\n", ""},
		{"undef", "#define X\n#undef X\n#ifdef X\nA\n#endif\n", ""},
		{"ifdef ignores a line comment", "#define FOO\n#ifdef FOO // note\nA\n#endif\n", "A\n"},
		{"ifndef ignores a block comment", "#ifndef FOO /* note */\nA\n#endif\n", "A\n"},
		{"ifdef comment glued to the name", "#define FOO\n#ifdef FOO//note\nA\n#endif\n", "A\n"},
		{"undef ignores a comment", "#define X\n#undef X // gone\n#ifdef X\nA\n#endif\n", ""},
		{"define value without its comment", "#define X 0 // off\n#if X\nA\n#endif\n", ""},
		{"macros are not replaced in text", "#define X 5\nfloat a = X;\n", "float a = X;\n"},
	};
	for (const DirectiveCase& c : cases) {
		EffectTreeWriter tree;
		Result r = runText(tree, c.text);
		EXPECT_TRUE(r.ok) << c.name << ": " << r.error;
		EXPECT_EQ(r.out, c.expected) << c.name;
	}
}

TEST(ShaderPreprocessor, DefineOrderFollowsFirstDefinitionAndUndef) {
	EffectTreeWriter tree;
	gr::ShaderPreprocessor pp;
	std::string out;
	ASSERT_TRUE(pp.process(tree.write("a.fx", "#define A\n#define B\n#define A 2\n#undef B\n"), out, 0));
	EXPECT_EQ(pp.defineOrder, std::vector<std::string>({"A"}));
	ASSERT_EQ(pp.defines.size(), 1u);
	EXPECT_EQ(pp.defines["A"], "2");
}

TEST(ShaderPreprocessor, DefineValueIsTrimmedAndCommentFree) {
	EffectTreeWriter tree;
	gr::ShaderPreprocessor pp;
	std::string out;
	ASSERT_TRUE(pp.process(tree.write("a.fx", "#define LIGHTS \t 2 3  // two\n#define FOG\n#define\n"), out, 0));
	EXPECT_EQ(pp.defineOrder, std::vector<std::string>({"LIGHTS", "FOG"}));
	EXPECT_EQ(pp.defines["LIGHTS"], "2 3");
	EXPECT_EQ(pp.defines["FOG"], "");
}

TEST(ShaderPreprocessor, CrlfFileMatchesLfFile) {
	const std::string text = "#define X 1\n#if X\r\nA \nB\n#else\nC\n#endif\nlast";
	EffectTreeWriter tree;
	gr::ShaderPreprocessor lf, crlf;
	Result a = run(tree.write("lf.fx", text), lf);
	Result b = run(tree.writeCrlf("crlf.fx", text), crlf);
	ASSERT_TRUE(a.ok && b.ok);
	EXPECT_EQ(a.out, "A \nB\nlast\n");
	EXPECT_EQ(b.out, a.out);
}

TEST(ShaderPreprocessor, IncludeNameForms) {
	EffectTreeWriter tree;
	const std::string inc = tree.write("sub/inc.fx", "included\n");
	const DirectiveCase cases[] = {
		{"double quotes", "#include \"sub/inc.fx\"\n", "included\n"},
		{"angle brackets", "#include <sub/inc.fx>\n", "included\n"},
		{"backslashes", "#include \"sub\\inc.fx\"\n", "included\n"},
		{"comment after the name", "#include \"sub/inc.fx\" // shared\n", "included\n"},
		{"keyword glued to the name is no include", "#include\"sub/inc.fx\"\nx\n", "x\n"},
		{"include in inactive block is ignored", "#if 0\n#include \"missing.fx\"\n#endif\n", ""},
	};
	for (const DirectiveCase& c : cases) {
		Result r = runText(tree, c.text);
		EXPECT_TRUE(r.ok) << c.name << ": " << r.error;
		EXPECT_EQ(r.out, c.expected) << c.name;
	}
	Result abs = runText(tree, "#include \"" + inc + "\"\n");
	EXPECT_TRUE(abs.ok) << abs.error;
	EXPECT_EQ(abs.out, "included\n");
}

TEST(ShaderPreprocessor, IncludesShareMacrosAndRelativeNames) {
	EffectTreeWriter tree;
	tree.write("lib/defs.fx", "#define FROM_LIB 1\n#include \"more.fx\"\n#if 1\nopen in include\n");
	tree.write("lib/more.fx", "more\n");
	Result r = runText(tree, "#include \"lib/defs.fx\"\n#if FROM_LIB\nseen\n#endif\n");
	ASSERT_TRUE(r.ok) << r.error;
	EXPECT_EQ(r.out, "more\nopen in include\nseen\n");
}

TEST(ShaderPreprocessor, IncludeChainDepthLimit) {
	EffectTreeWriter tree;
	// 17 files: the effect file and 16 levels below it.
	gr::ShaderPreprocessor ok;
	Result r = run(tree.writeIncludeChain("ok/c.fx", 17), ok);
	EXPECT_TRUE(r.ok) << r.error;
	EXPECT_NE(r.out.find("leaf\n"), std::string::npos);

	gr::ShaderPreprocessor deep;
	r = run(tree.writeIncludeChain("deep/c.fx", 18), deep);
	EXPECT_FALSE(r.ok);
	EXPECT_EQ(r.error, "demasiados #include anidados en " + tree.path("deep/c17.fx"));
	EXPECT_EQ(r.out.find("leaf"), std::string::npos);
}

TEST(ShaderPreprocessor, SelfIncludeFailsAtTheDepthLimit) {
	EffectTreeWriter tree;
	const std::string self = tree.writeSelfInclude("self.fx");
	gr::ShaderPreprocessor pp;
	Result r = run(self, pp);
	EXPECT_FALSE(r.ok);
	EXPECT_EQ(r.error, "demasiados #include anidados en " + self);
}

TEST(ShaderPreprocessor, MissingFiles) {
	EffectTreeWriter tree;
	gr::ShaderPreprocessor pp;
	Result r = run(tree.path("none.fx"), pp);
	EXPECT_FALSE(r.ok);
	EXPECT_EQ(r.error, "could not open " + tree.path("none.fx"));

	r = runText(tree, "before\n#include \"gone.fx\"\nafter\n");
	EXPECT_FALSE(r.ok);
	EXPECT_EQ(r.error, "could not open " + tree.path("gone.fx"));
	EXPECT_EQ(r.out, "before\n");

	// A device is no file to include: /dev/zero would never end.
	r = runText(tree, "before\n#include \"/dev/zero\"\nafter\n");
	EXPECT_FALSE(r.ok);
	EXPECT_EQ(r.error, "could not open /dev/zero");
	EXPECT_EQ(r.out, "before\n");
}

TEST(ShaderPreprocessor, IncludeFanOutIsCapped) {
	EffectTreeWriter tree;
	tree.write("leaf.fx", "x\n");
	std::string exact, over;
	for (int i = 0; i < gr::ShaderPreprocessor::MAX_INCLUDES; ++i)
		exact += "#include \"leaf.fx\"\n";
	over = exact + "#include \"leaf.fx\"\n";

	Result r = runText(tree, exact);
	EXPECT_TRUE(r.ok) << r.error;
	EXPECT_EQ(r.out.size(), 2u * gr::ShaderPreprocessor::MAX_INCLUDES);

	r = runText(tree, over);
	EXPECT_FALSE(r.ok);
	EXPECT_EQ(r.error, "too many #include files (more than 256) at " + tree.path("leaf.fx"));

	// Each level includes the next twice: 2^16 files without the cap.
	for (int i = 0; i < 16; ++i) {
		const std::string next = "fan" + std::to_string(i + 1) + ".fx";
		tree.write("fan" + std::to_string(i) + ".fx", "#include \"" + next + "\"\n#include \"" + next + "\"\n");
	}
	tree.write("fan16.fx", "x\n");
	gr::ShaderPreprocessor pp;
	r = run(tree.path("fan0.fx"), pp);
	EXPECT_FALSE(r.ok);
	EXPECT_EQ(r.error.rfind("too many #include files (more than 256) at ", 0), 0u) << r.error;
}

TEST(ShaderPreprocessor, ExpressionNestingIsCapped) {
	const int cap = gr::ShaderPreprocessor::MAX_EXPRESSION_NESTING;
	struct Case {
		std::string expression;
		bool ok;
		std::string out;
	};
	const Case cases[] = {
		{std::string(cap - 2, '!') + "1", true, "A\n"},		{std::string(cap - 1, '(') + "1", true, "A\n"},
		{std::string(cap, '!') + "1", false, ""},			{std::string(cap, '(') + "1", false, ""},
		{std::string(200000, '!') + "1", false, ""},		{std::string(200000, '('), false, ""},
		{"1 && " + std::string(cap, '(') + "1", false, ""},
	};
	for (const Case& c : cases) {
		EffectTreeWriter tree;
		Result r = runText(tree, "#if " + c.expression + "\nA\n#endif\n");
		EXPECT_EQ(r.ok, c.ok) << c.expression.substr(0, 80);
		if (c.ok) {
			EXPECT_EQ(r.out, c.out);
		} else {
			EXPECT_EQ(r.error, "#if expression nested too deeply (more than 64 levels of '!' or '(') in " +
								   tree.path("main.fx"));
		}
	}
	// The same cap applies to elif.
	EffectTreeWriter tree;
	Result r = runText(tree, "#if 0\n#elif " + std::string(cap, '!') + "1\n#endif\n");
	EXPECT_FALSE(r.ok);
}

} // namespace
