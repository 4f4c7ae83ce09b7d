#include "overlay/TitleImage.h"

#include <stb_image.h>

#include <cstdint>

namespace lumaroll {

RgbaImage decodeRgba(const std::vector<unsigned char>& bytes)
{
    RgbaImage image;
    int channels = 0;
    if (bytes.empty() || bytes.size() > size_t(INT32_MAX))
        return image;
    unsigned char* data =
        stbi_load_from_memory(bytes.data(), int(bytes.size()), &image.width, &image.height, &channels, 4);
    if (!data) {
        image.width = image.height = 0;
        return image;
    }
    image.pixels.assign(data, data + size_t(image.width) * size_t(image.height) * 4);
    stbi_image_free(data);
    return image;
}

void shrinkTitleImage(RgbaImage& image)
{
    while (image.width > 1100 && image.height > 1) {
        const int w = image.width / 2, h = image.height / 2;
        std::vector<unsigned char> half(size_t(w) * size_t(h) * 4);
        const size_t stride = size_t(image.width) * 4;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const unsigned char* a = image.pixels.data() + size_t(2 * y) * stride + size_t(2 * x) * 4;
                const unsigned char* c = a + stride;
                for (int k = 0; k < 4; ++k)
                    half[(size_t(y) * size_t(w) + size_t(x)) * 4 + size_t(k)] =
                        static_cast<unsigned char>((a[k] + a[4 + k] + c[k] + c[4 + k] + 2) / 4);
            }
        }
        image.pixels.swap(half);
        image.width = w;
        image.height = h;
    }
}

} // namespace lumaroll
