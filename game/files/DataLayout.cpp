#include "files/DataLayout.h"

#include "files/Paths.h"

namespace lumaroll {

namespace {

// dir + "/" + folder with exactly one '/' at the end; empty when dir is empty.
std::string resourceDir(const std::string& dir, const char* folder)
{
    if (dir.empty())
        return std::string();
    return withTrailingSlash(dir + "/" + folder);
}

} // namespace

std::string shadersDir(const std::string& dataDir)
{
    return resourceDir(dataDir, kShadersFolder);
}

std::string texturesDir(const std::string& dataDir)
{
    return resourceDir(dataDir, kTexturesFolder);
}

std::string particlesDir(const std::string& dataDir)
{
    return resourceDir(dataDir, kParticlesFolder);
}

} // namespace lumaroll
