#include "support/DatWriter.h"

#include "support/BinaryWriter.h"

#include <algorithm>

namespace test {

namespace {

void field(BinaryWriter& w, int value) {
	w.int16(static_cast<int16_t>(static_cast<uint16_t>(value)));
}

} // namespace

std::vector<uint8_t> DatAtlas::bytes() const {
	BinaryWriter w;
	w.utf(texture);
	w.uint16(static_cast<uint16_t>(count >= 0 ? count : int(entries.size())));
	for (const DatAtlasEntry& e : entries) {
		w.uint16(static_cast<uint16_t>(e.nameLength >= 0 ? e.nameLength : int(e.name.size())));
		w.bytes(e.name.data(), e.name.size());
		if (e.fields) {
			for (int value : {e.x, e.y, e.w, e.h, e.pivotX, e.pivotY})
				field(w, value);
		}
	}
	return w.data();
}

bool DatAtlas::write(const std::string& path) const {
	return writeBytes(path, bytes());
}

std::vector<uint8_t> DatFont::bytes() const {
	BinaryWriter w;
	w.utf(texture);
	w.uint16(static_cast<uint16_t>(lineHeight));
	w.uint16(static_cast<uint16_t>(unused));
	w.uint16(static_cast<uint16_t>(count >= 0 ? count : int(glyphs.size())));
	for (const DatGlyph& g : glyphs) {
		w.uint16(static_cast<uint16_t>(g.code));
		for (int value : {g.x, g.y, g.w, g.h, g.advance})
			field(w, value);
	}
	return w.data();
}

bool DatFont::write(const std::string& path) const {
	return writeBytes(path, bytes());
}

std::vector<uint8_t> cut(const std::vector<uint8_t>& data, size_t n) {
	return std::vector<uint8_t>(data.begin(), data.begin() + std::ptrdiff_t(std::min(n, data.size())));
}

bool writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
	BinaryWriter w;
	w.bytes(bytes.data(), bytes.size());
	return w.writeFile(path);
}

} // namespace test
