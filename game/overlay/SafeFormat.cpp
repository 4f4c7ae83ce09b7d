#include "overlay/SafeFormat.h"

namespace lumaroll {

std::string formatText(const std::string& pattern, std::initializer_list<FormatArg> args)
{
    std::string out;
    out.reserve(pattern.size());
    const FormatArg* next = args.begin();
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        const char after = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
        if (c == '%' && after == '%') {
            out += '%';
            ++i;
        } else if (c == '%' && (after == 's' || after == 'd') && next != args.end()) {
            out += next->text();
            ++next;
            ++i;
        } else {
            out += c;
        }
        if (out.size() > kMaxFormattedBytes)
            break;
    }
    if (out.size() > kMaxFormattedBytes) {
        std::size_t cut = kMaxFormattedBytes;
        // Never end inside a UTF-8 sequence: back up over continuation bytes.
        while (cut > 0 && (static_cast<unsigned char>(out[cut]) & 0xC0) == 0x80)
            --cut;
        out.resize(cut);
    }
    return out;
}

} // namespace lumaroll
