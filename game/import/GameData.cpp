#include "import/Import.h"

#include <cstdlib>

#include <sys/stat.h>

namespace lumaroll {

bool hasGameData(const std::string& dir) {
    static const char* const markers[] = {"/data/bundles/original/level01.hgr",
                                          "/data/resources/models/plimbo.hgr",
                                          "/data/resources/images/MENU.dat"};
    for (const char* marker : markers) {
        struct stat st;
        if (::stat((dir + marker).c_str(), &st) != 0)
            return false;
    }
    return true;
}

std::string gameDataDir() {
    // The user data directory, by the same rule as the app's dataDir().
    const char* xdg = std::getenv("XDG_DATA_HOME");
    std::string base;
    if (xdg && *xdg) {
        base = xdg;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home && *home ? home : ".") + "/.local/share";
    }
    return base + "/lumaroll";
}

} // namespace lumaroll
