#include "text/PropertyText.h"

#include <lang/String.h>

namespace lumaroll {

std::string wholeText(const lang::String& text)
{
    std::string out(static_cast<size_t>(text.length()), '\0');
    if (!out.empty())
        text.getChars(0, text.length(), &out[0]);
    return out;
}

std::string propertyValue(const std::string& text, const std::string& key)
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

} // namespace lumaroll
