#include "player/BallValueRange.h"

#include <cmath>
#include <cstdio>

namespace lumaroll {

bool inRange(const ValueRange& range, float value)
{
    if (!std::isfinite(value) || value > range.largest)
        return false;
    return range.smallestAllowed ? value >= range.smallest : value > range.smallest;
}

void reportIgnored(const ValueRange& range, std::string_view shown, std::string_view origin)
{
    std::fprintf(stderr, "ball: %s '%.*s' %.*s ignored\n", range.name, static_cast<int>(shown.size()),
                 shown.data(), static_cast<int>(origin.size()), origin.data());
}

void reportIgnored(const ValueRange& range, float value, std::string_view origin)
{
    char shown[32];
    std::snprintf(shown, sizeof shown, "%g", static_cast<double>(value));
    reportIgnored(range, shown, origin);
}

bool takeValue(const ValueRange& range, float value, float& target, std::string_view origin)
{
    if (inRange(range, value)) {
        target = value;
        return true;
    }
    reportIgnored(range, value, origin);
    return false;
}

bool takeValue(const ValueRange& range, float value, float& target, std::string_view origin,
               std::string_view shown)
{
    if (inRange(range, value)) {
        target = value;
        return true;
    }
    reportIgnored(range, shown, origin);
    return false;
}

} // namespace lumaroll
