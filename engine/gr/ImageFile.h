#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lumaroll {

// A decoded image file: mip-map levels of 8-bit RGBA pixels.
struct ImageData {
	struct Level {
		std::int32_t width = 0;
		std::int32_t height = 0;
		// width x height x 4 bytes: rows from the first stored row on, each
		// pixel red, green, blue, alpha.
		std::vector<std::uint8_t> pixels;
	};

	std::vector<Level> levels; // level 0 (the largest) first; empty after a failure
	bool hasAlpha = false;	   // the image carries meaningful alpha
	bool flipVertical = false; // the file stores its rows bottom-up (pixels are not reordered)
	std::string error;		   // empty on success
};

// Reads and decodes the image file at path (legacy PVR, PVRTC included, or
// anything stb_image reads) into image, which is emptied first. Returns true
// when at least one level was decoded; on failure returns false with
// image.error set and no levels. Never throws.
bool loadImageFile(const std::string& path, ImageData& image);

// As loadImageFile, over file contents already in memory; name is the file's
// path, used only for its extension.
bool decodeImageFile(const std::uint8_t* bytes, std::size_t size, const std::string& name, ImageData& image);

} // namespace lumaroll
