#include "WavWriter.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>

namespace test {

namespace {

class LittleEndian {
public:
	void u16(uint32_t v) { put(v, 2); }
	void u32(uint32_t v) { put(v, 4); }
	void tag(const char* t) { m_bytes.insert(m_bytes.end(), t, t + 4); }
	void put(uint64_t v, int n) {
		for (int i = 0; i < n; ++i)
			m_bytes.push_back(uint8_t(v >> (8 * i)));
	}
	std::vector<uint8_t>& bytes() { return m_bytes; }

private:
	std::vector<uint8_t> m_bytes;
};

} // namespace

WavWriter::WavWriter(int rate, int channels, Encoding encoding)
	: m_rate(rate), m_channels(channels), m_encoding(encoding) {}

WavWriter& WavWriter::samples(const std::vector<double>& interleaved) {
	m_samples = interleaved;
	return *this;
}

WavWriter& WavWriter::extensible(bool on) {
	m_extensible = on;
	return *this;
}

WavWriter& WavWriter::dataSizeField(uint32_t bytes) {
	m_sizeGiven = true;
	m_dataSize = bytes;
	return *this;
}

int WavWriter::bytesPerSample() const {
	switch (m_encoding) {
	case PCM_U8:
		return 1;
	case PCM_16:
		return 2;
	case PCM_24:
		return 3;
	case PCM_32:
	case FLOAT_32:
		return 4;
	case FLOAT_64:
		return 8;
	}
	return 2;
}

std::vector<uint8_t> WavWriter::bytes() const {
	const bool isFloat = m_encoding == FLOAT_32 || m_encoding == FLOAT_64;
	const int width = bytesPerSample();
	LittleEndian data;
	for (double v : m_samples) {
		if (m_encoding == FLOAT_32) {
			const float f = float(v);
			uint32_t bits;
			std::memcpy(&bits, &f, 4);
			data.u32(bits);
		} else if (m_encoding == FLOAT_64) {
			uint64_t bits;
			std::memcpy(&bits, &v, 8);
			data.put(bits, 8);
		} else {
			data.put(uint64_t(int64_t(std::llround(v))), width);
		}
	}
	const uint32_t dataBytes = uint32_t(data.bytes().size());
	const uint32_t fmtBytes = m_extensible ? 40 : (isFloat ? 18 : 16);

	LittleEndian out;
	out.tag("RIFF");
	out.u32(4 + 8 + fmtBytes + (isFloat && !m_extensible ? 12 : 0) + 8 + dataBytes + (dataBytes & 1));
	out.tag("WAVE");
	out.tag("fmt ");
	out.u32(fmtBytes);
	out.u16(m_extensible ? 0xFFFE : (isFloat ? 3 : 1));
	out.u16(uint32_t(m_channels));
	out.u32(uint32_t(m_rate));
	out.u32(uint32_t(m_rate) * uint32_t(m_channels) * uint32_t(width));
	out.u16(uint32_t(m_channels * width));
	out.u16(uint32_t(width * 8));
	if (m_extensible) {
		out.u16(22);
		out.u16(uint32_t(width * 8));
		out.u32(m_channels == 1 ? 0x4 : (m_channels == 2 ? 0x3 : 0));
		// KSDATAFORMAT_SUBTYPE_PCM or _IEEE_FLOAT.
		out.u32(isFloat ? 3 : 1);
		out.u16(0x0000);
		out.u16(0x0010);
		for (uint8_t b : {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71})
			out.bytes().push_back(b);
	} else if (isFloat) {
		out.u16(0);
		// Float files carry a fact chunk with the frame count.
		out.tag("fact");
		out.u32(4);
		out.u32(m_channels > 0 ? uint32_t(m_samples.size() / size_t(m_channels)) : 0);
	}
	out.tag("data");
	out.u32(m_sizeGiven ? m_dataSize : dataBytes);
	out.bytes().insert(out.bytes().end(), data.bytes().begin(), data.bytes().end());
	if (dataBytes & 1)
		out.bytes().push_back(0);
	return out.bytes();
}

bool WavWriter::write(const std::string& path) const {
	const std::vector<uint8_t> b = bytes();
	std::ofstream f(path, std::ios::binary | std::ios::trunc);
	f.write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
	return bool(f);
}

std::vector<double> WavWriter::sine(int frames, int channels, double peak, double period) {
	std::vector<double> out;
	out.reserve(size_t(frames) * size_t(channels));
	for (int k = 0; k < frames; ++k)
		for (int c = 0; c < channels; ++c)
			out.push_back(std::trunc(peak * std::sin(2 * M_PI * (k + 7 * c) / period)));
	return out;
}

DiskAudio DiskAudio::read(const std::string& path) {
	DiskAudio audio;
	std::ifstream f(path, std::ios::binary);
	const std::vector<char> raw((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
	audio.samples.resize(raw.size() / 4 * 2);
	for (size_t i = 0; i < audio.samples.size(); ++i)
		audio.samples[i] = int16_t(uint16_t(uint8_t(raw[2 * i]) | (uint8_t(raw[2 * i + 1]) << 8)));
	return audio;
}

size_t DiskAudio::firstNonZeroFrame() const {
	for (size_t k = 0; k < frames(); ++k)
		if (left(k) != 0 || right(k) != 0)
			return k;
	return frames();
}

} // namespace test
