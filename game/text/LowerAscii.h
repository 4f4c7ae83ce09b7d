// Letter case of names the game compares without regard to case: node names
// ("wall", "camera", "shadow"), sound and particle file names.
#pragma once

#include <string>

namespace lumaroll {

// text with the ASCII letters A to Z lower-cased whatever the locale: they
// become a to z, every other byte stays.
std::string lowerAscii(std::string text);

} // namespace lumaroll
