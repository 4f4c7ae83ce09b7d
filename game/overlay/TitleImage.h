// The title picture's pixels: decoded RGBA, shrunk by halving so a large
// picture does not make a texture larger than the menu ever shows.
#pragma once

#include <vector>

namespace lumaroll {

struct RgbaImage {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> pixels; // 4 bytes a pixel, top row first
};

// Decodes PNG (or any stb_image) bytes; an empty image when they cannot be decoded.
RgbaImage decodeRgba(const std::vector<unsigned char>& bytes);

// Halves both sizes while the width is above 1100 and the height above 1;
// each new pixel is (a + b + c + d + 2) / 4 per channel over its 2 x 2 block.
void shrinkTitleImage(RgbaImage& image);

} // namespace lumaroll
