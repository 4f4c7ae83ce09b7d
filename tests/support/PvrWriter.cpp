#include "support/PvrWriter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace lumaroll::test {
namespace {

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(std::uint8_t(v >> (8 * i)));
}

} // namespace

std::vector<std::uint8_t> legacyPvr(const PvrHeader& h, const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> out;
    put32(out, h.headerSize);
    put32(out, std::uint32_t(h.height));
    put32(out, std::uint32_t(h.width));
    put32(out, h.mipMapCount);
    put32(out, h.formatAndFlags);
    put32(out, h.dataSize);
    put32(out, h.bitsPerPixel);
    put32(out, h.redMask);
    put32(out, h.greenMask);
    put32(out, h.blueMask);
    put32(out, h.alphaMask);
    out.insert(out.end(), h.tag, h.tag + 4);
    put32(out, h.surfaceCount);
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    const bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ASSERT_EQ(std::fclose(file), 0) << path;
    ASSERT_TRUE(ok) << path;
}

std::string scratchPath(const std::string& name) {
    // Removed at exit, newest first (directories must be empty by then).
    static std::vector<std::string> paths;
    if (paths.empty())
        std::atexit([] {
            for (auto it = paths.rbegin(); it != paths.rend(); ++it)
                std::remove(it->c_str());
        });
    paths.push_back(::testing::TempDir() + "lumaroll_img_" + std::to_string(getpid()) + "_" +
                    std::to_string(paths.size()) + "_" + name);
    return paths.back();
}

} // namespace lumaroll::test
