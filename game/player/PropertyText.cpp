#include "player/PropertyText.h"

#include <cctype>

namespace lumaroll {

std::string readProperty(const std::string& text, const std::string& key)
{
    const std::string needle = key + "=";
    size_t at = text.find(needle);
    while (at != std::string::npos && at != 0 && text[at - 1] != '\n')
        at = text.find(needle, at + 1);
    if (at == std::string::npos)
        return std::string();
    const size_t start = at + needle.size();
    const size_t end = text.find('\n', start);
    std::string value = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
    while (!value.empty() && (value.back() == ' ' || value.back() == '\r'))
        value.pop_back();
    return value;
}

std::string lowerAscii(const std::string& text)
{
    std::string out = text;
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

} // namespace lumaroll
