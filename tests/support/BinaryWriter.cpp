#include "support/BinaryWriter.h"

#include "support/Files.h"

#include <cstring>

namespace test {

BinaryWriter& BinaryWriter::bytes(const void* data, size_t n) {
	const uint8_t* p = static_cast<const uint8_t*>(data);
	m_buf.insert(m_buf.end(), p, p + n);
	return *this;
}

BinaryWriter& BinaryWriter::bytes(std::initializer_list<uint8_t> list) {
	m_buf.insert(m_buf.end(), list.begin(), list.end());
	return *this;
}

BinaryWriter& BinaryWriter::byte(uint8_t v) {
	m_buf.push_back(v);
	return *this;
}

BinaryWriter& BinaryWriter::int16(int16_t v) {
	return uint16(static_cast<uint16_t>(v));
}

BinaryWriter& BinaryWriter::uint16(uint16_t v) {
	m_buf.push_back(static_cast<uint8_t>(v >> 8));
	m_buf.push_back(static_cast<uint8_t>(v));
	return *this;
}

BinaryWriter& BinaryWriter::int32(int32_t v) {
	return uint32(static_cast<uint32_t>(v));
}

BinaryWriter& BinaryWriter::uint32(uint32_t v) {
	for (int shift = 24; shift >= 0; shift -= 8)
		m_buf.push_back(static_cast<uint8_t>(v >> shift));
	return *this;
}

BinaryWriter& BinaryWriter::float32(float v) {
	uint32_t bits;
	std::memcpy(&bits, &v, 4);
	return uint32(bits);
}

BinaryWriter& BinaryWriter::float64(double v) {
	uint64_t bits;
	std::memcpy(&bits, &v, 8);
	uint32(static_cast<uint32_t>(bits >> 32));
	return uint32(static_cast<uint32_t>(bits));
}

BinaryWriter& BinaryWriter::utf(const std::string& text) {
	size_t n = text.size() > 65535 ? 65535 : text.size();
	uint16(static_cast<uint16_t>(n));
	return bytes(text.data(), n);
}

bool BinaryWriter::writeFile(const std::string& path) const {
	return test::writeFile(path, m_buf.data(), m_buf.size());
}

} // namespace test
