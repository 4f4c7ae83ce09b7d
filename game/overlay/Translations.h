// STAND-IN for the translation lookup: every key reads as itself, as a key
// missing from every language does. Replaced by the overlay's translations.
#pragma once

#include <string>

namespace lumaroll {

inline std::string translate(const std::string& key)
{
    return key;
}

} // namespace lumaroll
