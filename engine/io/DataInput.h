#ifndef IO_DATAINPUT_H
#define IO_DATAINPUT_H

#include <lang/String.h>

namespace io {

/**
 * Typed reads of big-endian binary data. An interface only: objects are
 * never destroyed through it.
 */
class DataInput {
public:
	virtual int skip(int n) = 0;
	virtual int read(void* buf, int n) = 0;
	virtual void readFully(void* buf, int n) = 0;
	virtual bool readBoolean() = 0;
	virtual int readByte() = 0;
	virtual char readChar() = 0;
	virtual lang::String readChars(int n) = 0;
	virtual double readDouble() = 0;
	virtual float readFloat() = 0;
	virtual int readInt() = 0;
	virtual short readShort() = 0;
	virtual lang::String readUTF() = 0;
	virtual void readUTF(char* buf, int size) = 0;

protected:
	~DataInput() {}
};

} // namespace io

#endif
