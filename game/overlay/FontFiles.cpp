#include "overlay/FontFiles.h"

#include "files/Paths.h"
#include "files/RegularFile.h"

#include <stb_truetype.h>

#include <cstddef>
#include <cstdlib>

namespace lumaroll {

namespace {

// Far above any font file; keeps a huge file out of memory.
const std::size_t kMaxFontBytes = std::size_t(64) << 20;

} // namespace

std::string systemSansFont()
{
    // fc-match prints no line end, but a wrapper or another version may.
    return commandFirstLine("fc-match -f '%{file}' 'sans:style=Regular' 2>/dev/null");
}

TextFontChoice chooseTextFont()
{
    TextFontChoice choice;
    if (const char* env = std::getenv("LUMAROLL_FONT")) {
        choice.path = env;
        choice.bytes = readUsableFont(choice.path);
        choice.fromEnvironment = true;
        return choice;
    }
    for (const std::string& path :
         {systemSansFont(), std::string("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"),
          std::string("/usr/share/fonts/TTF/DejaVuSans.ttf"),
          std::string("/usr/share/fonts/truetype/noto/NotoSans-Regular.ttf")}) {
        choice.bytes = readUsableFont(path);
        if (!choice.bytes.empty()) {
            choice.path = path;
            return choice;
        }
    }
    return choice;
}

bool isUsableFont(const std::vector<unsigned char>& bytes)
{
    // stb_truetype reads tables at the offsets the file gives without bounds
    // checks; twelve bytes are the smallest header it looks at.
    if (bytes.size() < 12)
        return false;
    const int offset = stbtt_GetFontOffsetForIndex(bytes.data(), 0);
    if (offset < 0)
        return false;
    stbtt_fontinfo info;
    return stbtt_InitFont(&info, bytes.data(), offset) != 0;
}

std::vector<unsigned char> readUsableFont(const std::string& path)
{
    std::vector<unsigned char> bytes;
    if (!readRegularFile(path, bytes, kMaxFontBytes) || !isUsableFont(bytes))
        bytes.clear();
    return bytes;
}

} // namespace lumaroll
