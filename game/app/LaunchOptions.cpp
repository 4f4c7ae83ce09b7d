#include "app/LaunchOptions.h"

#include "files/DataLayout.h"
#include "files/Paths.h"
#include "import/Import.h"
#include "text/Numbers.h"

#include <climits>
#include <cstdlib>
#include <unistd.h>

namespace lumaroll {

void LaunchOptions::resetForNextLevel()
{
    level.clear();
    camera.clear();
    screenshot.clear();
    frames = 0;
    play = false;
    menu = false;
    fromMenu = false;
    vars.clear();
}

void LaunchOptions::resolveDataDir()
{
    if (!dataDir.empty() || level.empty())
        return;
    std::string levelDir = dirName(level);
    std::string candidate = levelDir == "." ? std::string("../..") : dirName(dirName(levelDir));
    if (isDirectory(candidate + "/" + kResourcesFolder))
        dataDir = candidate;
}

bool LaunchOptions::useImportedData()
{
    std::string folder = gameDataDir();
    if (!hasGameData(folder))
        return false;
    // Resolved before the working directory changes, while it still means what
    // the user meant: the screenshot path and the user directories (settings,
    // scores and game data must not move into the level folder).
    std::string shot = absolutePath(screenshot);
    pinUserDirectories();
    if (chdir((folder + "/" + kLevelFolder).c_str()) != 0)
        return false;
    screenshot = shot;
    level = kFirstLevel;
    menu = true;
    dataDir.clear();
    resolveDataDir();
    return true;
}

// "%dx%d" without scanf's undefined overflow: a number that does not fit an
// int ends the read like text that is no number.
static void readSize(const std::string& text, int& width, int& height)
{
    const char* p = text.c_str();
    while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
        ++p;
    int w;
    if (!readDecimalInt(p, w, &p))
        return;
    width = w;
    if (*p++ != 'x')
        return;
    while (*p == ' ' || (*p >= '\t' && *p <= '\r'))
        ++p;
    int h;
    if (readDecimalInt(p, h, nullptr))
        height = h;
}

// strtol clamped to the int range.
static int readFrameCount(const std::string& text)
{
    long value = std::strtol(text.c_str(), nullptr, 10);
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

void parseCommandLine(LaunchOptions& options, const std::vector<std::string>& words)
{
    for (size_t i = 0; i < words.size(); ++i) {
        const std::string& word = words[i];
        // A value option takes the next word; in last position it is a level path.
        bool hasValue = i + 1 < words.size();
        if (word == "--play") {
            options.play = true;
        } else if (word == "--menu") {
            options.menu = true;
        } else if (word == "--from-menu") {
            options.fromMenu = true;
        } else if (word == "--dev") {
            options.dev = true;
        } else if (hasValue && word == "--data") {
            options.dataDir = words[++i];
        } else if (hasValue && word == "--size") {
            readSize(words[++i], options.width, options.height);
        } else if (hasValue && word == "--var") {
            const std::string& assignment = words[++i];
            size_t eq = assignment.find('=');
            if (eq != std::string::npos) {
                double value = std::strtod(assignment.c_str() + eq + 1, nullptr);
                options.vars.emplace_back(assignment.substr(0, eq), narrowToFloat(value));
            }
        } else if (hasValue && word == "--camera") {
            options.camera = words[++i];
        } else if (hasValue && word == "--frames") {
            options.frames = readFrameCount(words[++i]);
        } else if (hasValue && word == "--screenshot") {
            options.screenshot = words[++i];
        } else if (hasValue && word == "--import-deb") {
            options.importDeb = words[++i];
        } else {
            options.level = word;
        }
    }
}

std::string dirWithSlash(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return std::string();
    return path.substr(0, slash + 1);
}

} // namespace lumaroll
