#ifndef SUPPORT_MEMORYINPUTSTREAM_H
#define SUPPORT_MEMORYINPUTSTREAM_H

#include <io/InputStream.h>
#include <lang/String.h>

#include <cstddef>
#include <cstdint>

namespace test {

// Bytes in memory read as a stream. The bytes are not copied: they must
// outlive the stream.
class MemoryInputStream : public io::InputStream {
public:
	// name is what toString gives (file name in engine messages).
	MemoryInputStream(const void* data, size_t size, const lang::String& name = "memory");

	int read(void* buf, int n) override;
	int available() override;
	lang::String toString() override { return m_name; }

private:
	const uint8_t* m_data;
	size_t m_left;
	lang::String m_name;
};

} // namespace test

#endif
