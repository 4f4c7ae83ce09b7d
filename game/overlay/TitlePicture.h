// The title picture of the about tab and the welcome page as a GL texture:
// "title/title.png" of the assets (AssetFiles.h), halved until at most 1100
// pixels wide (TitleImage.h). Made and freed with the GUI's GL context current.
//
// Invariant: texture() is 0 exactly when width() and height() are 0.
#pragma once

#include <cstdint>

namespace lumaroll {

class TitlePicture {
public:
    // Loads the picture into a new texture, freeing one loaded before; no
    // texture when the file is missing or cannot be decoded.
    void load();
    // Frees the texture; nothing when there is none.
    void release();

    // The GL texture, 0 when none.
    std::uint32_t texture() const { return name; }
    // Its size in pixels; 0 when there is no texture.
    int width() const { return pixelsWide; }
    int height() const { return pixelsHigh; }

private:
    std::uint32_t name = 0;
    int pixelsWide = 0, pixelsHigh = 0;
};

} // namespace lumaroll
