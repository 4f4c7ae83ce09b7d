#ifndef IO_DATAINPUTSTREAM_H
#define IO_DATAINPUTSTREAM_H

#include <io/DataInput.h>
#include <io/FilterInputStream.h>
#include <lang/Array.h>

namespace io {

/**
 * Big-endian typed reads and strings stored as a 16-bit byte count followed
 * by UTF-8 bytes, on top of another stream (not owned). Every failure throws
 * io::IOException naming the stream.
 */
class DataInputStream : public FilterInputStream, public DataInput {
public:
	explicit DataInputStream(InputStream* source);

	int read(void* buf, int n) override { return FilterInputStream::read(buf, n); }
	int skip(int n) override { return FilterInputStream::skip(n); }

	/** Reads exactly n bytes; throws "Unexpected end of file in <name>." when fewer come. */
	void readFully(void* buf, int n) override;
	/** One byte, true when not 0. */
	bool readBoolean() override;
	/** One byte as 0..255. */
	int readByte() override;
	/** One byte as a character. */
	char readChar() override;
	/** n bytes as text; a zero byte ends the text of its 249-byte chunk. Null for n <= 0. */
	lang::String readChars(int n) override;
	double readDouble() override;
	float readFloat() override;
	int readInt() override;
	short readShort() override;
	/**
	 * A 16-bit length and that many bytes of UTF-8, decoded (bytes that do
	 * not decode are dropped). Null for length 0; a negative length throws
	 * "Invalid UTF-8 data in <name>.".
	 */
	lang::String readUTF() override;
	/**
	 * The raw bytes of a string into buf, zero-terminated. Throws
	 * "Too small buffer (<size>) for UTF-8 data in <name>." when the string
	 * needs size bytes or more.
	 */
	void readUTF(char* buf, int size) override;
	/** The raw bytes of a string into out (resized to length + 1), zero-terminated. */
	void readUTFChars(lang::Array<char>& out);

private:
	lang::Array<char> m_buffer;

	/** The string length that precedes string bytes; throws on a negative one. */
	int readUTFLength();
};

} // namespace io

#endif
