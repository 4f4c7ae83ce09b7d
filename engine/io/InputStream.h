#ifndef IO_INPUTSTREAM_H
#define IO_INPUTSTREAM_H

#include <lang/Object.h>
#include <lang/String.h>

namespace io {

/** Abstract source of bytes. Failures throw io::IOException. */
class InputStream : public lang::Object {
public:
	/** Reads up to n bytes into buf; returns the count read, 0 at the end or when n <= 0. */
	virtual int read(void* buf, int n) = 0;

	/**
	 * Skips up to n bytes by reading them; returns the count skipped, which
	 * is less than n only at the end of the stream (0 when n <= 0).
	 */
	virtual int skip(int n);

	/** Returns the number of bytes left. */
	virtual int available() = 0;

	/** Returns the stream's name for messages. */
	virtual lang::String toString() = 0;
};

} // namespace io

#endif
