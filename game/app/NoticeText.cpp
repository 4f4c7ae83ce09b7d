#include "app/NoticeText.h"

namespace lumaroll {

std::string fillNoticeText(const std::string& pattern, const std::string& value)
{
    std::string out;
    bool used = false;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        const char after = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
        if (c == '%' && after == '%') {
            out += '%';
            ++i;
        } else if (c == '%' && (after == 's' || after == 'd') && !used) {
            out += value;
            used = true;
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace lumaroll
