// Number conversions of user-supplied text and values that cannot overflow.
#pragma once

#include <cfloat>
#include <cmath>

namespace lumaroll {

// Narrows to float; values beyond the float range become infinities instead of
// an undefined conversion.
inline float narrowToFloat(double value)
{
    if (value > FLT_MAX)
        return HUGE_VALF;
    if (value < -FLT_MAX)
        return -HUGE_VALF;
    return static_cast<float>(value);
}

// Truncates toward zero, saturating at the int range; NaN gives 0. Scripts
// and settings can hold any float, where a plain conversion would be undefined.
int saturateToInt(double value);

// Reads an optional sign and decimal digits at text (as scanf's %d does after
// its leading white space). Returns false when there are no digits or the value
// does not fit an int; on success sets value and end (the first byte not read).
bool readDecimalInt(const char* text, int& value, const char** end);

} // namespace lumaroll
