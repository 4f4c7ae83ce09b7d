#include "text/LowerAscii.h"

#include <cctype>

namespace lumaroll {

std::string lowerAscii(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

} // namespace lumaroll
