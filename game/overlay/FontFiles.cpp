#include "overlay/FontFiles.h"

#include "files/Paths.h"

#include <stb_truetype.h>

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>

namespace lumaroll {

namespace {

// Far above any font file; keeps a device or huge file out of memory.
const long kMaxFontBytes = 64L << 20;

bool isRegularFile(const std::string& path)
{
    struct stat st;
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

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
    if (!isRegularFile(path))
        return bytes;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return bytes;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        const long size = std::ftell(file);
        if (size > 0 && size <= kMaxFontBytes && std::fseek(file, 0, SEEK_SET) == 0) {
            bytes.resize(size_t(size));
            if (std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size())
                bytes.clear();
        }
    }
    std::fclose(file);
    if (!isUsableFont(bytes))
        bytes.clear();
    return bytes;
}

} // namespace lumaroll
