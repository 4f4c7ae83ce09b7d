#ifndef LANG_CONVERTER_H
#define LANG_CONVERTER_H

#include <lang/Object.h>

namespace lang {

/**
 * Turns bytes of one character encoding into Unicode code points and back,
 * one character at a time. Code points are unsigned both ways, so a value
 * that decode produces can always be handed to encode.
 */
class Converter : public Object {
public:
	/**
	 * Reads one character at src (bytes up to srcEnd). Stores the bytes used
	 * in consumed and the code point; returns false when no character could be
	 * read (consumed then tells how many bytes to skip).
	 */
	virtual bool decode(const unsigned char* src, const unsigned char* srcEnd, int* consumed, unsigned* codePoint) = 0;

	/**
	 * Writes one character at dst (room up to dstEnd). Stores the bytes
	 * written; returns false (written 0) when it cannot be encoded or does not fit.
	 */
	virtual bool encode(unsigned char* dst, unsigned char* dstEnd, int* written, unsigned codePoint) = 0;
};

} // namespace lang

#endif
