#ifndef SUPPORT_WAVWRITER_H
#define SUPPORT_WAVWRITER_H

#include <cstdint>
#include <string>
#include <vector>

namespace test {

/**
 * Builds RIFF WAVE files in memory for tests: PCM 8-bit unsigned, 16, 24 and
 * 32 bits, IEEE float 32 and 64, plain or WAVE_FORMAT_EXTENSIBLE, any rate,
 * channel count and length (0 frames, 0 channels and rates 0 and 1 included).
 * The data-size field can be written apart from the data: an overstated size
 * makes a truncated file.
 *
 *   WavWriter w(22050, 1, WavWriter::PCM_16);
 *   w.samples({1000, 1001, -1000});
 *   w.write(path);
 *
 * Sample values are given as the file stores them: integers in the
 * encoding's own range (0..255 for 8 bits, -32768..32767 for 16, ...), and
 * -1..1 floats for the float encodings; values are interleaved by channel.
 */
class WavWriter {
public:
	enum Encoding { PCM_U8, PCM_16, PCM_24, PCM_32, FLOAT_32, FLOAT_64 };

	WavWriter(int rate, int channels, Encoding encoding = PCM_16);

	WavWriter& samples(const std::vector<double>& interleaved);
	/** Writes the format chunk as WAVE_FORMAT_EXTENSIBLE (40 bytes, sub-format GUID). */
	WavWriter& extensible(bool on = true);
	/** The data chunk's size field as written, instead of the data's real size. */
	WavWriter& dataSizeField(uint32_t bytes);

	int bytesPerSample() const;
	std::vector<uint8_t> bytes() const;
	bool write(const std::string& path) const;

	/** n frames of a sine of the given peak (in the encoding's units) and period in frames; channel c is shifted by c * 7 frames. */
	static std::vector<double> sine(int frames, int channels, double peak, double period);

private:
	int m_rate;
	int m_channels;
	Encoding m_encoding;
	bool m_extensible = false;
	bool m_sizeGiven = false;
	uint32_t m_dataSize = 0;
	std::vector<double> m_samples;
};

/**
 * Files that only libsndfile writes here (mu-law, IMA ADPCM, MP3 through its
 * LAME-based MPEG writer), written from -1..1 float samples, which its MP3
 * writer takes correctly (16-bit input comes back garbled). format is a
 * libsndfile format word (SF_FORMAT_WAV | SF_FORMAT_ULAW, ...). false when
 * the file cannot be written.
 */
bool writeWithSndfile(const std::string& path, int format, int rate, int channels,
					  const std::vector<float>& interleaved);

/** The SDL disk audio driver's output file: int16 little-endian stereo frames. */
struct DiskAudio {
	std::vector<int16_t> samples;

	static DiskAudio read(const std::string& path);
	size_t frames() const { return samples.size() / 2; }
	int16_t left(size_t frame) const { return samples[frame * 2]; }
	int16_t right(size_t frame) const { return samples[frame * 2 + 1]; }
	/** Index of the first frame with a non-zero sample; frames() when all are silent. */
	size_t firstNonZeroFrame() const;
};

} // namespace test

#endif
