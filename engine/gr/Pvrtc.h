#pragma once

#include <cstddef>
#include <cstdint>

namespace lumaroll {

// Decodes one PVRTC level of width x height pixels from data into output
// (width x height x 4 bytes: rows from the first stored row on, each pixel
// red, green, blue, alpha). Sizes below the format minimum (16 x 8 in the
// 2-bit mode, 8 x 8 in the 4-bit mode) are decoded at the raised size and
// cropped. data must hold the returned number of bytes; words the Morton
// index places beyond them (sizes that are not powers of two) read as zero.
// Returns the level's compressed size at its raised size, 0 (writing nothing)
// when width or height is below 1.
std::size_t decompressPvrtc(const void* data, bool twoBitsPerPixel, int width, int height, std::uint8_t* output);

} // namespace lumaroll
