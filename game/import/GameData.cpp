#include "import/Import.h"

#include "app/Paths.h"

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
    return dataDir();
}

} // namespace lumaroll
