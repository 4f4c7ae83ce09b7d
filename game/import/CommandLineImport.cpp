#include "import/CommandLineImport.h"

#include <cstdio>
#include <exception>

#include "import/Import.h"

namespace lumaroll {

int importFromCommandLine(const std::string& package, const std::string& destDir)
{
    try {
        std::printf("importing %s into %s...\n", package.c_str(), destDir.c_str());
        const ImportResult result = importDebPackage(package, destDir, [](const std::string&, int files) {
            if (files % 50 == 0)
                std::printf("  %d files\n", files);
        });
        if (result.ok) {
            std::printf("done: %d files (%.1f MB). Run the game without arguments to play.\n", result.files,
                        static_cast<double>(result.bytes) / 1048576.0);
            std::fflush(stdout);
            return 0;
        }
        std::fflush(stdout); // keep the progress lines ahead of the failure line
        std::fprintf(stderr, "import failed: %s\n", result.error.c_str());
    } catch (const std::exception& e) {
        std::fflush(stdout);
        std::fprintf(stderr, "import failed: %s\n", e.what());
    }
    std::fflush(stderr);
    return 1;
}

int importFromCommandLine(const std::string& package)
{
    return importFromCommandLine(package, gameDataDir());
}

} // namespace lumaroll
