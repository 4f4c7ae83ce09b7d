#include "audio/SoundIndex.h"

#include "audio/SoundNames.h"
#include "text/LowerAscii.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

namespace lumaroll {

namespace {

using FolderId = std::pair<dev_t, ino_t>;

std::vector<std::string> sortedEntries(const std::string& folder)
{
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return names;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

void walk(const std::string& folder, int depth, SoundIndex& index, std::set<FolderId>& entered)
{
    if (depth >= kSoundIndexDepth)
        return;
    for (const std::string& name : sortedEntries(folder)) {
        const std::string path = folder + "/" + name;
        struct stat info;
        if (stat(path.c_str(), &info) != 0)
            continue;
        if (S_ISDIR(info.st_mode)) {
            if (depth + 1 < kSoundIndexDepth && entered.insert({info.st_dev, info.st_ino}).second)
                walk(path, depth + 1, index, entered);
            continue;
        }
        const std::string key = lowerAscii(name);
        if (isSoundFileKey(key))
            index.emplace(key, path); // the first file met keeps the name
    }
}

} // namespace

void indexDirectory(const std::string& folder, SoundIndex& index)
{
    std::set<FolderId> entered;
    struct stat info;
    if (stat(folder.c_str(), &info) == 0)
        entered.insert({info.st_dev, info.st_ino});
    walk(folder, 0, index, entered);
}

} // namespace lumaroll
