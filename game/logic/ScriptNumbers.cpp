#include "logic/ScriptNumbers.h"

#include <climits>
#include <cmath>
#include <cstdlib>

namespace lumaroll {

int saturateToInt(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (value <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(value);
}

int readScriptInt(const char* text)
{
    const long value = std::strtol(text, nullptr, 10);
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

int readActionIndex(const char* text)
{
    const long number = std::strtol(text, nullptr, 10);
    if (number < 1)
        return -1;
    if (number - 1 > INT_MAX)
        return INT_MAX;
    return static_cast<int>(number - 1);
}

} // namespace lumaroll
