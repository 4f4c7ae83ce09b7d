#include "overlay/AssetFiles.h"

#include "files/RegularFile.h"
#include "platform/ProgramFolder.h"

#include <cstddef>

namespace lumaroll {

namespace {

// Far above any asset: a larger file is no asset of ours.
const std::size_t kMaxAssetBytes = std::size_t(64) << 20;

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
    const std::string folder = programFolder();
    if (!folder.empty())
        dirs.push_back(folder + "assets/");
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
        std::vector<unsigned char> bytes;
        if (readRegularFile(dir + relPath, bytes, kMaxAssetBytes) && !bytes.empty())
            return bytes;
    }
    return {};
}

} // namespace lumaroll
