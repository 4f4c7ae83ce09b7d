#ifndef SUPPORT_BINARYWRITER_H
#define SUPPORT_BINARYWRITER_H

#include <cstdint>
#include <string>
#include <vector>

namespace test {

// Builds big-endian binary fixtures in memory (the byte order the engine's
// data streams read) and writes them to files.
class BinaryWriter {
public:
	BinaryWriter& bytes(const void* data, size_t n);
	BinaryWriter& bytes(std::initializer_list<uint8_t> list);
	BinaryWriter& byte(uint8_t v);
	BinaryWriter& int16(int16_t v);
	BinaryWriter& uint16(uint16_t v);
	BinaryWriter& int32(int32_t v);
	BinaryWriter& uint32(uint32_t v);
	BinaryWriter& float32(float v);
	BinaryWriter& float64(double v);
	// A 16-bit byte count followed by the bytes of text (no terminator).
	// Texts longer than 65535 bytes are cut to 65535.
	BinaryWriter& utf(const std::string& text);

	const std::vector<uint8_t>& data() const { return m_buf; }
	size_t size() const { return m_buf.size(); }
	void clear() { m_buf.clear(); }

	// Writes the bytes to path, replacing the file (test::writeFile). Returns
	// false when the file cannot be created or written.
	bool writeFile(const std::string& path) const;

private:
	std::vector<uint8_t> m_buf;
};

} // namespace test

#endif
