#ifndef IO_FILTERINPUTSTREAM_H
#define IO_FILTERINPUTSTREAM_H

#include <io/InputStream.h>

namespace io {

/**
 * Forwards every operation to another stream. The source is not owned and
 * not counted: whoever makes the filter keeps the source alive meanwhile.
 */
class FilterInputStream : public InputStream {
public:
	explicit FilterInputStream(InputStream* source) : m_source(source) {}

	int read(void* buf, int n) override { return m_source->read(buf, n); }
	int skip(int n) override { return m_source->skip(n); }
	int available() override { return m_source->available(); }
	/** Returns the name of the innermost stream. */
	lang::String toString() override { return m_source->toString(); }

protected:
	InputStream* source() const { return m_source; }

private:
	InputStream* m_source;
};

} // namespace io

#endif
