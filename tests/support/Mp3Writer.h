#ifndef SUPPORT_MP3WRITER_H
#define SUPPORT_MP3WRITER_H

// MP3 files for tests: encoded by the lame program (Debian's package lame,
// which scripts/deps installs) from samples in memory, and the bytes other
// encoders, taggers and tag removers leave around the frames, to be put
// together with lame's output (ID3v2.2/2.3/2.4 tags, ID3v1 and APE trailers,
// a VBRI frame, junk).
//
//   std::string error;
//   const std::string mp3 = test::encodeMp3(44100, 2, samples, {"-t", "-b", "128"}, &error);
//   test::writeFile(path, std::string(200, '\0') + mp3);

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace test {

// Encodes interleaved samples (values in the 16-bit range, rate and 1 or 2
// channels as lame's input) with `lame --quiet OPTIONS in.wav out.mp3` and
// returns the file's bytes. Empty on failure, with *error (when given) saying
// why: lame missing, or its exit status and standard error.
std::string encodeMp3(int rate, int channels, const std::vector<double>& interleaved,
					  const std::vector<std::string>& options, std::string* error = nullptr);

// One MPEG audio frame in a byte string.
struct MpegFrame {
	size_t offset = 0;
	size_t size = 0;
	int rate = 0;	 // Hz
	int samples = 0; // per channel: 1152 (MPEG-1 layer III, layer II), 576 (MPEG-2 and 2.5 layer III), 384 (layer I)
	int version = 0; // 10 for MPEG-1, 20 for MPEG-2, 25 for MPEG-2.5
	bool mono = false;
	int modeBits = 0; // the header's channel mode: 0 stereo, 1 joint stereo, 2 dual channel, 3 mono
};

// The frames that follow each other from byte from on (header after header,
// each at the end of the one before), up to the first place without a valid
// header; free-format frames end the list.
std::vector<MpegFrame> mpegFrames(const std::string& bytes, size_t from = 0);

// The size of the ID3v2 tag at the start of bytes (header, body and footer),
// 0 when there is none.
size_t id3v2Size(const std::string& bytes);

// An ID3v2 tag of major version 2, 3 or 4 holding a title frame and, when
// pictureBytes > 0, a picture frame (PIC, APIC) with that many bytes of
// JPEG-like data, then padding zero bytes inside the tag.
std::string id3v2Tag(int version, const std::string& title, size_t pictureBytes, size_t padding);

// A 128-byte ID3v1 tag with a title.
std::string id3v1Tag(const std::string& title);

// An APEv2 tag with header and footer holding a title item and a binary
// item of binaryBytes pseudo-random bytes (as a cover picture would be).
std::string apeTag(const std::string& title, size_t binaryBytes);

// A frame with the header and size of like (a frame of bytes) carrying a
// VBRI seek table (as Fraunhofer's encoder writes for VBR) for a stream of
// frameCount frames and streamBytes bytes, and silence otherwise.
std::string vbriFrame(const std::string& bytes, const MpegFrame& like, uint32_t frameCount, uint32_t streamBytes);

// count pseudo-random bytes, the same for the same seed.
std::string junkBytes(size_t count, uint32_t seed);

} // namespace test

#endif
