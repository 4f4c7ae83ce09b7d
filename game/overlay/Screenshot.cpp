#include "overlay/Screenshot.h"

#include "files/AtomicFile.h"
#include "files/Paths.h"

#include <stb_image_write.h>

#include <cstring>

namespace lumaroll {

namespace {

void appendBytes(void* context, void* data, int size)
{
    auto* out = static_cast<std::vector<unsigned char>*>(context);
    const auto* bytes = static_cast<const unsigned char*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

// Enough for a burst of pictures within one second; past it the save fails
// rather than searching on.
const int kMaxSameSecond = 1000;

} // namespace

std::vector<unsigned char> framebufferToRgb(const std::vector<unsigned char>& rgba, int width, int height)
{
    std::vector<unsigned char> rgb(size_t(width) * size_t(height) * 3);
    for (int row = 0; row < height; ++row) {
        const unsigned char* src = rgba.data() + size_t(row) * size_t(width) * 4;
        unsigned char* dst = rgb.data() + size_t(height - 1 - row) * size_t(width) * 3;
        for (int x = 0; x < width; ++x) {
            std::memcpy(dst + size_t(x) * 3, src + size_t(x) * 4, 3);
        }
    }
    return rgb;
}

ScreenshotFile writeScreenshotPng(const std::vector<unsigned char>& rgb, int width, int height,
                                  const std::string& dir, std::time_t when)
{
    makeDirs(dir);
    char stamp[64] = "lumaroll";
    if (const std::tm* local = std::localtime(&when))
        std::strftime(stamp, sizeof stamp, "lumaroll-%Y%m%d-%H%M%S", local);
    ScreenshotFile file;
    file.path = dir + "/" + stamp + ".png";

    std::vector<unsigned char> png;
    if (width <= 0 || height <= 0 ||
        !stbi_write_png_to_func(&appendBytes, &png, width, height, 3, rgb.data(), width * 3))
        return file;
    for (int n = 1; n <= kMaxSameSecond; ++n) {
        const std::string path = n == 1 ? file.path : dir + "/" + stamp + "-" + std::to_string(n) + ".png";
        const NewFileResult result = writeNewFile(path, reinterpret_cast<const char*>(png.data()), png.size());
        if (result == NewFileResult::Exists)
            continue;
        if (result == NewFileResult::Written) {
            file.path = path;
            file.written = true;
        }
        return file;
    }
    return file;
}

} // namespace lumaroll
