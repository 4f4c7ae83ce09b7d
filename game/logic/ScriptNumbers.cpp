#include "logic/ScriptNumbers.h"

#include <climits>
#include <cstdlib>

namespace lumaroll {

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
