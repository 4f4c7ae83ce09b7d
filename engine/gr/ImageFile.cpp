#include <gr/ImageFile.h>

#include <gr/PvrFile.h>

#include <stb_image.h>

#include <sys/stat.h>

#include <cctype>
#include <climits>
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>

namespace lumaroll {
namespace {

// Largest image stb_image may decode, in pixels (4096 x 4096): a tiny
// compressed header can otherwise claim gigabytes of pixels.
const long long kMaxDecodedPixels = 1LL << 24;

bool fail(ImageData& image, std::string text) {
    image.levels.clear();
    image.error = std::move(text);
    return false;
}

// Reads the whole of a regular file into out. Returns false when it does not
// open, is not a regular file (a directory's seek size means nothing) or
// cannot be read whole.
bool readWholeFile(const std::string& path, std::vector<std::uint8_t>& out) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    struct stat info;
    bool ok = fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode) && std::fseek(file, 0, SEEK_END) == 0;
    const long size = ok ? std::ftell(file) : -1;
    ok = size >= 0 && std::fseek(file, 0, SEEK_SET) == 0;
    if (ok) {
        out.resize(std::size_t(size));
        ok = out.empty() || std::fread(out.data(), 1, out.size(), file) == out.size();
    }
    std::fclose(file);
    return ok;
}

// True for a JPEG (it starts with the marker 0xFF 0xD8) with a huffman table
// segment (marker 0xFF 0xC4) that defines more than 256 codes: stb_image
// writes past its tables for those instead of refusing them. Every marker
// position is checked, as the decoder may meet one after any scan.
bool hasOversizedHuffmanTable(const std::uint8_t* bytes, std::size_t size) {
    if (size < 2 || bytes[0] != 0xff || bytes[1] != 0xd8)
        return false;
    // Reads as the decoder does: zero past the end.
    auto at = [&](std::size_t i) -> unsigned { return i < size ? bytes[i] : 0; };
    const std::uint8_t* end = bytes + size;
    for (const std::uint8_t* p = bytes;
         (p = static_cast<const std::uint8_t*>(std::memchr(p, 0xff, std::size_t(end - p)))) != nullptr; ++p) {
        if (p + 1 == end)
            break;
        if (p[1] != 0xc4)
            continue;
        std::size_t i = std::size_t(p - bytes) + 2;
        long length = long(at(i) << 8 | at(i + 1)) - 2;
        i += 2;
        while (length > 0 && i < size) {
            if ((at(i) >> 4) > 1 || (at(i) & 15) > 3)
                break; // refused by the decoder itself
            unsigned codes = 0;
            for (std::size_t k = 1; k <= 16; ++k)
                codes += at(i + k);
            if (codes > 256)
                return true;
            i += 17 + codes;
            length -= long(17 + codes);
        }
    }
    return false;
}

bool decodeWithStb(const std::uint8_t* bytes, std::size_t size, ImageData& image) {
    static const stbi_uc kEmpty = 0;
    if (size > std::size_t(INT_MAX))
        return fail(image, "stb_image: too large");
    const stbi_uc* data = size ? bytes : &kEmpty;
    if (hasOversizedHuffmanTable(data, size))
        return fail(image, "stb_image: bad DHT header");
    int width = 0, height = 0, channels = 0;
    if (stbi_info_from_memory(data, int(size), &width, &height, &channels) &&
        static_cast<long long>(width) * height > kMaxDecodedPixels)
        return fail(image, "stb_image: too large");

    stbi_uc* pixels = stbi_load_from_memory(data, int(size), &width, &height, &channels, 4);
    if (!pixels) {
        const char* reason = stbi_failure_reason();
        return fail(image, std::string("stb_image: ") + (reason ? reason : "unknown failure"));
    }
    try {
        ImageData::Level level;
        level.width = width;
        level.height = height;
        level.pixels.assign(pixels, pixels + std::size_t(width) * std::size_t(height) * 4);
        image.levels.push_back(std::move(level));
    } catch (...) {
        stbi_image_free(pixels);
        throw;
    }
    stbi_image_free(pixels);
    image.hasAlpha = channels == 2 || channels == 4;
    return true;
}

bool decode(const std::uint8_t* bytes, std::size_t size, const std::string& name, ImageData& image) {
    std::string extension;
    if (name.size() >= 5) {
        extension = name.substr(name.size() - 4);
        for (char& c : extension)
            c = char(std::tolower(static_cast<unsigned char>(c)));
    }
    if (size >= kLegacyPvrHeaderSize && std::memcmp(bytes + 44, "PVR!", 4) == 0)
        return decodeLegacyPvr(bytes, size, image);
    if (size >= 4 && std::memcmp(bytes, "PVR\x03", 4) == 0)
        return fail(image, "PVR v3 not supported yet");
    if (extension == ".pvr")
        return fail(image, ".pvr file without a known signature");
    return decodeWithStb(bytes, size, image);
}

void clear(ImageData& image) {
    image.levels.clear();
    image.hasAlpha = false;
    image.flipVertical = false;
    image.error.clear();
}

} // namespace

bool decodeImageFile(const std::uint8_t* bytes, std::size_t size, const std::string& name, ImageData& image) {
    try {
        clear(image);
        return decode(bytes, size, name, image);
    } catch (const std::bad_alloc&) {
        return fail(image, "out of memory");
    } catch (const std::exception& e) {
        return fail(image, e.what());
    }
}

bool loadImageFile(const std::string& path, ImageData& image) {
    try {
        clear(image);
        std::vector<std::uint8_t> bytes;
        if (!readWholeFile(path, bytes))
            return fail(image, "could not open " + path);
        return decode(bytes.data(), bytes.size(), path, image);
    } catch (const std::bad_alloc&) {
        return fail(image, "out of memory");
    } catch (const std::exception& e) {
        return fail(image, e.what());
    }
}

} // namespace lumaroll
