#include "import/Import.h"

#include "files/DataLayout.h"
#include "files/Paths.h"

#include <sys/stat.h>

namespace lumaroll {

bool hasGameData(const std::string& dir)
{
    for (const char* marker : kInstalledMarkers) {
        struct stat st;
        if (::stat((dir + "/" + marker).c_str(), &st) != 0)
            return false;
    }
    return true;
}

std::string gameDataDir()
{
    return dataDir();
}

} // namespace lumaroll
