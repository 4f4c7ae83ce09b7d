// Letter case of names the game compares without regard to case: node names
// ("wall", "camera", "shadow"), sound and particle file names.
#pragma once

#include <string>

namespace lumaroll {

// text with every byte lower-cased as the C locale does: the ASCII letters
// A to Z become a to z, every other byte stays.
std::string lowerAscii(std::string text);

} // namespace lumaroll
