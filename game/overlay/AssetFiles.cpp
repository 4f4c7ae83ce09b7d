#include "overlay/AssetFiles.h"

#include <SDL.h>

namespace lumaroll {

namespace {

// Far above any asset; a folder or device given as an asset can report an
// absurd size.
const Sint64 kMaxAssetBytes = Sint64(64) << 20;

std::vector<std::string>& overrideDirs()
{
    static std::vector<std::string> dirs;
    return dirs;
}

} // namespace

std::vector<std::string> assetDirs()
{
    if (!overrideDirs().empty())
        return overrideDirs();
    std::vector<std::string> dirs;
    if (char* base = SDL_GetBasePath()) {
        dirs.push_back(std::string(base) + "assets/");
        SDL_free(base);
    }
    dirs.push_back(std::string(LUMAROLL_ASSETS_DIR) + "/");
    return dirs;
}

void setAssetDirs(const std::vector<std::string>& dirs)
{
    overrideDirs() = dirs;
    for (std::string& dir : overrideDirs()) {
        if (!dir.empty() && dir.back() != '/')
            dir += '/';
    }
}

std::vector<unsigned char> readAssetFile(const std::string& relPath)
{
    for (const std::string& dir : assetDirs()) {
        SDL_RWops* file = SDL_RWFromFile((dir + relPath).c_str(), "rb");
        if (!file)
            continue;
        const Sint64 size = SDL_RWsize(file);
        std::vector<unsigned char> bytes;
        if (size > 0 && size <= kMaxAssetBytes) {
            bytes.resize(size_t(size));
            if (SDL_RWread(file, bytes.data(), 1, bytes.size()) != bytes.size())
                bytes.clear();
        }
        SDL_RWclose(file);
        if (!bytes.empty())
            return bytes;
    }
    return {};
}

} // namespace lumaroll
