#include "text/LowerAscii.h"

namespace lumaroll {

std::string lowerAscii(std::string text)
{
    // By hand rather than std::tolower, which follows whatever locale the
    // process has set: names must compare the same on every system.
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return text;
}

} // namespace lumaroll
