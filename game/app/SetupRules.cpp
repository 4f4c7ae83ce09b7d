#include "app/SetupRules.h"

#include "files/Paths.h"
#include "text/LowerAscii.h"
#include "text/PropertyText.h"

#include <dirent.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace lumaroll {

float touchRadius(const std::string& propertyText)
{
    const std::string value = propertyValue(propertyText, "radius");
    const float radius = value.empty() ? 0.f : std::strtof(value.c_str(), nullptr);
    return std::isfinite(radius) && radius > 0.f ? radius : 60.f;
}

std::string boostParticleFile(const std::string& particlesDir)
{
    DIR* dir = opendir(particlesDir.c_str());
    if (!dir)
        return std::string();
    std::vector<std::string> matches;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        const std::string lower = lowerAscii(name);
        if (lower.find("boost") != std::string::npos && endsWith(lower, ".prs"))
            matches.push_back(name);
    }
    closedir(dir);
    if (matches.empty())
        return std::string();
    return *std::min_element(matches.begin(), matches.end());
}

} // namespace lumaroll
