#ifndef GR_GLES2_EFFECTLEXER_H
#define GR_GLES2_EFFECTLEXER_H

#include <string>

namespace gr {

// Token reader over preprocessed effect text. Tokens are ';', '=', '{', '}'
// and runs of any other non-blank characters; "//" and "/* */" comments are
// skipped where a token would start.
class EffectLexer {
public:
	explicit EffectLexer(const std::string& text);

	// Returns the next token; the empty string at the end of the text.
	std::string next();

	// Reads the value text of an assignment (after its "=" token): from the
	// first non-blank, non-comment character up to the next ';' (or the end of
	// the text), trimmed. Reading continues after the ';'.
	std::string readValue();

	size_t position() const { return pos; }

private:
	std::string text;
	size_t pos;

	void skipBlanksAndComments();
};

} // namespace gr

#endif
