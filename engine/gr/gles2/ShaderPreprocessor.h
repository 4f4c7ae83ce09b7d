#ifndef GR_GLES2_SHADERPREPROCESSOR_H
#define GR_GLES2_SHADERPREPROCESSOR_H

#include <gr/gles2/EffectText.h>

#include <map>
#include <string>
#include <vector>

namespace gr {

// Line-based preprocessor for effect files: conditional blocks (ifdef,
// ifndef, if, elif, else, endif), define/undef and nested includes.
// Directive lines never reach the output and macros are never substituted
// in emitted lines; the macros left defined are forwarded to the GLSL stages.
// One object per effect parse: its macros are shared by a file and
// everything it includes.
class ShaderPreprocessor {
public:
	// One entry of the conditional stack.
	struct ConditionFrame {
		bool active; // lines in this block are emitted
		bool taken;	 // a branch of this chain has been chosen already
	};

	// A file at this include depth is refused (the effect file is depth 0).
	static const int MAX_INCLUDE_DEPTH = MAX_INCLUDE_NESTING;
	// Most include directives one effect may follow in total; bounds the
	// work of files that include the same files many times over.
	static const int MAX_INCLUDES = 256;
	// Deepest nesting of '!' and '(' in an if/elif expression.
	static const int MAX_EXPRESSION_NESTING = 64;

	// Macro name -> value text (possibly empty).
	std::map<std::string, std::string> defines;
	// Macro names in the order of their first define.
	std::vector<std::string> defineOrder;
	// Message of the last failure.
	std::string error;

	ShaderPreprocessor();

	// Appends the emitted lines of the file at path and of its includes to out.
	// depth is 0 for the effect file. Returns false with error set when a file
	// cannot be opened, includes nest or fan out too far, or an expression
	// nests too deeply; out then holds a partial text to discard.
	bool process(const std::string& path, std::string& out, int depth);

	// Evaluates one operand of an if/elif expression at the cursor and moves
	// the cursor past it. Returns false (and marks the expression as failed)
	// when operands nest deeper than MAX_EXPRESSION_NESTING; false when no
	// expression is being evaluated.
	bool evalCondition();

private:
	std::string expression; // the if/elif argument being evaluated
	const char* cursor;		// read position inside expression
	int nesting;			// current '!' / '(' nesting of evalCondition
	bool expressionTooDeep;
	int includeCount;

	// Evaluates text as an if/elif expression. Returns false with error set
	// when it nests too deeply; value holds the result otherwise.
	bool evaluate(const std::string& text, const std::string& path, bool& value);
	bool evalOr();
	bool evalAnd();
	void skipBlanks();
	void define(const std::string& argument);
	void undefine(const std::string& name);
};

} // namespace gr

#endif
