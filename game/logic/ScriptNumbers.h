// Numbers read from trigger scripts, converted without undefined behaviour:
// script text can hold any digits, "nan", "inf" or "1e39".
#pragma once

#include "text/Numbers.h"

namespace lumaroll {

// strtol of text in base 10 (its leading integer, 0 without one), saturated
// to the int range.
int readScriptInt(const char* text);

// A 1-based action number of a script as a 0-based index: strtol - 1,
// computed in 64 bits and clamped to -1..INT_MAX ("0", "abc" and every
// negative number give -1).
int readActionIndex(const char* text);

} // namespace lumaroll
