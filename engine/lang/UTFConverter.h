#ifndef IO_UTFCONVERTER_H
#define IO_UTFCONVERTER_H

#include <lang/Converter.h>

namespace lang {

/**
 * Converter for ASCII, UTF-8, UTF-16 and UTF-32. Strings made from bytes of
 * these encodings use it through lang::String(bytes, count, converter).
 */
class UTFConverter : public Converter {
public:
	enum Encoding {
		ASCII = 1,
		UTF8 = 2,
		UTF16 = 3, // machine order (stored as UTF16LE)
		UTF16BE = 4,
		UTF16LE = 5,
		UTF32 = 6, // machine order (stored as UTF32LE)
		UTF32BE = 7,
		UTF32LE = 8,
	};

	explicit UTFConverter(int encoding);

	/** The encoding in use (UTF16 and UTF32 read as their little-endian forms). */
	int encoding() const { return m_encoding; }

	/**
	 * Decodes one character. Malformed UTF-8 (a stray continuation byte, a
	 * lead byte announcing more than three continuation bytes, a truncated
	 * sequence or a following byte that is not 10xxxxxx) gives false with
	 * consumed 1, so a caller stepping over consumed bytes resynchronises on
	 * the next byte. Returns false for an unknown encoding.
	 */
	bool decode(const unsigned char* src, const unsigned char* srcEnd, int* consumed, unsigned* codePoint) override;

	/**
	 * Encodes one character. Returns false (written 0) for code points the
	 * encoding cannot hold (ASCII above 127, UTF-8 above 0x1FFFFF, UTF-16
	 * above 0x10FFFF), when dst has too little room, and for an unknown
	 * encoding.
	 */
	bool encode(unsigned char* dst, unsigned char* dstEnd, int* written, unsigned codePoint) override;

private:
	int m_encoding;
};

} // namespace lang

#endif
