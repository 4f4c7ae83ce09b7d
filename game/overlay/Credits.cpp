#include "overlay/Credits.h"

namespace lumaroll {

const std::vector<CommunityLink>& communityLinks()
{
    static const std::vector<CommunityLink> links = {
        {"Discord", "\xEF\x8E\x92", "https://discord.gg/lumaroll"},         // U+F392
        {"GitHub", "\xEF\x82\x9B", "https://github.com/lumaroll/lumaroll"}, // U+F09B
        {"YouTube", "\xEF\x85\xA7", "https://www.youtube.com/@lumaroll"},   // U+F167
        {"Ko-fi", "\xEF\x9E\xB6", "https://ko-fi.com/lumaroll"},            // U+F7B6
    };
    return links;
}

const std::vector<Credit>& credits()
{
    // What the program links or ships; the PVRTC decoder is the engine's own.
    static const std::vector<Credit> rows = {
        {"Vortan (the Lumaroll developers)", "GPL v2"},
        {"SDL2", "zlib"},
        {"Dear ImGui", "MIT"},
        {"stb_image", "MIT"},
        {"stb_image_write", "MIT"},
        {"libsndfile (WAV)", "LGPL-2.1+"},
        {"libmpg123 (MP3)", "LGPL-2.1"},
        {"zlib", "zlib"},
        {"Font Awesome Free (icons)", "CC BY 4.0 / OFL"},
    };
    return rows;
}

} // namespace lumaroll
