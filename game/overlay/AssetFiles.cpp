#include "overlay/AssetFiles.h"

#include "platform/ProgramFolder.h"

#include <sys/stat.h>

#include <cstdio>

namespace lumaroll {

namespace {

// Far above any asset: a larger file is no asset of ours.
const off_t kMaxAssetBytes = off_t(64) << 20;

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
        std::FILE* file = std::fopen((dir + relPath).c_str(), "rb");
        if (!file)
            continue;
        struct stat info;
        std::vector<unsigned char> bytes;
        if (fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0 &&
            info.st_size <= kMaxAssetBytes) {
            bytes.resize(size_t(info.st_size));
            if (std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size())
                bytes.clear();
        }
        std::fclose(file);
        if (!bytes.empty())
            return bytes;
    }
    return {};
}

} // namespace lumaroll
