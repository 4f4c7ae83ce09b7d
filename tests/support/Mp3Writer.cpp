#include "support/Mp3Writer.h"

#include "support/Files.h"
#include "support/ProcessRunner.h"
#include "support/TempDir.h"
#include "support/WavWriter.h"

#include <algorithm>
#include <cstring>

namespace test {

namespace {

void bigEndian(std::string& out, uint32_t value, int bytes) {
	for (int i = bytes - 1; i >= 0; --i)
		out.push_back(char((value >> (8 * i)) & 0xff));
}

void littleEndian(std::string& out, uint32_t value) {
	for (int i = 0; i < 4; ++i)
		out.push_back(char((value >> (8 * i)) & 0xff));
}

// ID3v2's 28-bit sizes: seven bits in each of four bytes.
void syncsafe(std::string& out, uint32_t value) {
	for (int i = 3; i >= 0; --i)
		out.push_back(char((value >> (7 * i)) & 0x7f));
}

// What a JPEG file holds at its start and end, random bytes between.
std::string jpegLike(size_t bytes) {
	std::string data = junkBytes(bytes, 7);
	const char start[] = "\xff\xd8\xff\xe0";
	std::memcpy(&data[0], start, std::min<size_t>(4, bytes));
	if (bytes >= 6) {
		data[bytes - 2] = char(0xff);
		data[bytes - 1] = char(0xd9);
	}
	return data;
}

// One frame of an ID3v2 tag: id, size (in the version's form), flags (2.3, 2.4), body.
std::string id3v2Frame(int version, const std::string& id, const std::string& body) {
	std::string frame = id;
	if (version == 2) {
		bigEndian(frame, uint32_t(body.size()), 3);
	} else {
		if (version == 4)
			syncsafe(frame, uint32_t(body.size()));
		else
			bigEndian(frame, uint32_t(body.size()), 4);
		frame += std::string(2, '\0');
	}
	return frame + body;
}

} // namespace

std::string encodeMp3(int rate, int channels, const std::vector<double>& interleaved,
					  const std::vector<std::string>& options, std::string* error) {
	TempDir dir;
	const std::string in = dir / "in.wav";
	const std::string out = dir / "out.mp3";
	std::string why;
	if (dir.path().empty() || !WavWriter(rate, channels).samples(interleaved).write(in)) {
		why = "cannot write lame's input in the temporary folder";
	} else {
		std::vector<std::string> argv = {"lame", "--quiet"};
		argv.insert(argv.end(), options.begin(), options.end());
		argv.push_back(in);
		argv.push_back(out);
		std::string err;
		const int status = runCommand(argv, nullptr, &err);
		if (status == 127)
			why = "the lame program is missing (scripts/deps installs it)";
		else if (status != 0)
			why = "lame ended with status " + std::to_string(status) + ": " + err;
	}
	std::string bytes = why.empty() ? readFile(out) : std::string();
	if (why.empty() && bytes.empty())
		why = "lame wrote no output";
	if (error)
		*error = why;
	return bytes;
}

std::vector<MpegFrame> mpegFrames(const std::string& bytes, size_t from) {
	static const int kBitrates[5][15] = {
		{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448}, // MPEG-1 layer I
		{0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},	// MPEG-1 layer II
		{0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},		// MPEG-1 layer III
		{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},	// MPEG-2/2.5 layer I
		{0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},			// MPEG-2/2.5 layers II, III
	};
	static const int kRates[3] = {44100, 48000, 32000};
	std::vector<MpegFrame> frames;
	size_t at = from;
	while (at + 4 <= bytes.size()) {
		const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + at);
		const uint32_t h = uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
		const int versionBits = (h >> 19) & 3, layerBits = (h >> 17) & 3, bitrateIndex = (h >> 12) & 15,
				  rateIndex = (h >> 10) & 3, padding = (h >> 9) & 1;
		if ((h >> 21) != 0x7ff || versionBits == 1 || layerBits == 0 || bitrateIndex == 0 || bitrateIndex == 15 ||
			rateIndex == 3)
			break;
		const bool mpeg1 = versionBits == 3;
		const int layer = 4 - layerBits;
		MpegFrame f;
		f.offset = at;
		f.version = mpeg1 ? 10 : versionBits == 2 ? 20 : 25;
		f.rate = kRates[rateIndex] / (mpeg1 ? 1 : versionBits == 2 ? 2 : 4);
		f.modeBits = (h >> 6) & 3;
		f.mono = f.modeBits == 3;
		const int kbps = kBitrates[mpeg1 ? layer - 1 : (layer == 1 ? 3 : 4)][bitrateIndex];
		if (layer == 1) {
			f.samples = 384;
			f.size = size_t((12 * kbps * 1000 / f.rate + padding) * 4);
		} else {
			const bool half = layer == 3 && !mpeg1;
			f.samples = half ? 576 : 1152;
			f.size = size_t((half ? 72 : 144) * kbps * 1000 / f.rate + padding);
		}
		frames.push_back(f);
		at += f.size;
	}
	// The last header may announce more than the bytes hold: that frame is cut, not whole.
	if (!frames.empty() && frames.back().offset + frames.back().size > bytes.size())
		frames.pop_back();
	return frames;
}

size_t id3v2Size(const std::string& bytes) {
	if (bytes.size() < 10 || bytes.compare(0, 3, "ID3") != 0)
		return 0;
	size_t body = 0;
	for (int i = 6; i < 10; ++i)
		body = body << 7 | (static_cast<unsigned char>(bytes[size_t(i)]) & 0x7f);
	const bool footer = (static_cast<unsigned char>(bytes[5]) & 0x10) != 0;
	return 10 + body + (footer ? 10 : 0);
}

std::string id3v2Tag(int version, const std::string& title, size_t pictureBytes, size_t padding) {
	std::string body = id3v2Frame(version, version == 2 ? "TT2" : "TIT2", std::string(1, '\0') + title);
	if (pictureBytes > 0) {
		// Text encoding, image format (2.2) or MIME type, picture type 3 (front cover), empty description.
		const std::string head = version == 2 ? std::string("\0JPG\x03\0", 6) : std::string("\0image/jpeg\0\x03\0", 14);
		body += id3v2Frame(version, version == 2 ? "PIC" : "APIC", head + jpegLike(pictureBytes));
	}
	body += std::string(padding, '\0');
	std::string tag = "ID3";
	tag.push_back(char(version));
	tag += std::string(2, '\0'); // revision, flags
	syncsafe(tag, uint32_t(body.size()));
	return tag + body;
}

std::string id3v1Tag(const std::string& title) {
	std::string tag = "TAG" + title.substr(0, 30);
	tag.resize(127, '\0');
	tag.push_back(char(12)); // genre: "Other"
	return tag;
}

std::string apeTag(const std::string& title, size_t binaryBytes) {
	std::string items;
	littleEndian(items, uint32_t(title.size()));
	littleEndian(items, 0); // UTF-8 text
	items += std::string("Title", 6) + title;
	littleEndian(items, uint32_t(binaryBytes));
	littleEndian(items, 1u << 1); // binary
	items += std::string("Cover Art (Front)", 18) + junkBytes(binaryBytes, 11);
	const auto block = [&](bool header) {
		std::string b = "APETAGEX";
		littleEndian(b, 2000);
		littleEndian(b, uint32_t(items.size() + 32)); // items and footer
		littleEndian(b, 2);							  // items
		littleEndian(b, header ? 0xa0000000u : 0x80000000u);
		return b + std::string(8, '\0');
	};
	return block(true) + items + block(false);
}

std::string vbriFrame(const std::string& bytes, const MpegFrame& like, uint32_t frameCount, uint32_t streamBytes) {
	std::string frame = bytes.substr(like.offset, 4);
	frame.resize(36, '\0');
	frame += "VBRI";
	bigEndian(frame, 1, 2);	  // version
	bigEndian(frame, 576, 2); // encoder delay
	bigEndian(frame, 75, 2);  // quality
	bigEndian(frame, streamBytes, 4);
	bigEndian(frame, frameCount, 4);
	bigEndian(frame, 0, 2); // table entries
	bigEndian(frame, 1, 2); // table scale
	bigEndian(frame, 2, 2); // bytes per entry
	bigEndian(frame, 1, 2); // frames per entry
	frame.resize(like.size, '\0');
	return frame;
}

std::string junkBytes(size_t count, uint32_t seed) {
	std::string out(count, '\0');
	uint32_t x = seed * 2654435761u + 1;
	for (char& c : out) {
		x ^= x << 13;
		x ^= x >> 17;
		x ^= x << 5;
		c = char(x >> 24);
	}
	return out;
}

} // namespace test
