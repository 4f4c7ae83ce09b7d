#include "audio/SoundNames.h"

#include "text/LowerAscii.h"

#include <cstring>

namespace lumaroll {

std::string soundKey(const std::string& name)
{
    const size_t slash = name.find_last_of("/\\");
    return lowerAscii(slash == std::string::npos ? name : name.substr(slash + 1));
}

bool hasSuffix(const std::string& lowerText, const char* suffix)
{
    const size_t n = std::strlen(suffix);
    return lowerText.size() > n && lowerText.compare(lowerText.size() - n, n, suffix) == 0;
}

bool isSoundFileKey(const std::string& key)
{
    return hasSuffix(key, ".wav") || hasSuffix(key, ".mp3");
}

} // namespace lumaroll
