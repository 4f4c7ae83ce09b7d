#include <io/DataInputStream.h>
#include <io/IOException.h>
#include <lang/UTFConverter.h>
#include <cstdint>
#include <cstring>

namespace io {

namespace {

inline uint32_t be32(const unsigned char* p) {
	return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}

} // namespace

DataInputStream::DataInputStream(InputStream* source) : FilterInputStream(source) {}

void DataInputStream::readFully(void* buf, int n) {
	if (read(buf, n) != n)
		throw IOException(lang::Format("Unexpected end of file in {0}.", toString()));
}

bool DataInputStream::readBoolean() {
	unsigned char b;
	readFully(&b, 1);
	return b != 0;
}

int DataInputStream::readByte() {
	unsigned char b;
	readFully(&b, 1);
	return b;
}

char DataInputStream::readChar() {
	unsigned char b;
	readFully(&b, 1);
	return char(b);
}

lang::String DataInputStream::readChars(int n) {
	lang::String result;
	char chunk[250];
	int used = 0;
	for (int i = 0; i < n; ++i) {
		chunk[used++] = readChar();
		if (used == 249 || i == n - 1) {
			chunk[used] = 0;
			result = result + chunk;
			used = 0;
		}
	}
	return result;
}

double DataInputStream::readDouble() {
	unsigned char b[8];
	readFully(b, 8);
	uint64_t bits = uint64_t(be32(b)) << 32 | be32(b + 4);
	double v;
	std::memcpy(&v, &bits, 8);
	return v;
}

float DataInputStream::readFloat() {
	unsigned char b[4];
	readFully(b, 4);
	uint32_t bits = be32(b);
	float v;
	std::memcpy(&v, &bits, 4);
	return v;
}

int DataInputStream::readInt() {
	unsigned char b[4];
	readFully(b, 4);
	return int(be32(b));
}

short DataInputStream::readShort() {
	unsigned char b[2];
	readFully(b, 2);
	return short(uint16_t(b[0] << 8 | b[1]));
}

int DataInputStream::readUTFLength() {
	int length = readShort();
	if (length < 0)
		throw IOException(lang::Format("Invalid UTF-8 data in {0}.", toString()));
	return length;
}

lang::String DataInputStream::readUTF() {
	int length = readUTFLength();
	if (length == 0)
		return lang::String();
	m_buffer.resize(length + 1);
	readFully(m_buffer.begin(), length);
	lang::UTFConverter utf8(lang::UTFConverter::UTF8);
	return lang::String(m_buffer.begin(), length, utf8);
}

void DataInputStream::readUTF(char* buf, int size) {
	int length = readUTFLength();
	if (length >= size)
		throw IOException(lang::Format("Too small buffer ({0}) for UTF-8 data in {1}.", size, toString()));
	readFully(buf, length);
	buf[length] = 0;
}

void DataInputStream::readUTFChars(lang::Array<char>& out) {
	int length = readUTFLength();
	out.resize(length + 1);
	readFully(out.begin(), length);
	out[length] = 0;
}

} // namespace io
