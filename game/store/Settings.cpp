#include "store/Settings.h"

#include "files/AtomicFile.h"
#include "files/Paths.h"
#include "files/RegularFile.h"

#include <algorithm>
#include <cerrno>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace lumaroll {

Settings& Settings::instance()
{
    static Settings settings;
    return settings;
}

std::string Settings::path()
{
    return configDir() + "/config.ini";
}

void Settings::load()
{
    loadFrom(path());
}

void Settings::loadFrom(const std::string& file)
{
    // A missing file, a folder or a named pipe in its place is an empty store.
    FILE* f = openRegularFileStream(file);
    if (!f)
        return;
    // Whole lines, however long: a long value must not turn into extra keys.
    char* buffer = nullptr;
    size_t capacity = 0;
    ssize_t length;
    while ((length = getline(&buffer, &capacity, f)) >= 0) {
        std::string line(buffer, static_cast<size_t>(length));
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
            line.pop_back();
        size_t eq = line.find('=');
        if (eq == std::string::npos || line[0] == '#')
            continue;
        entries[line.substr(0, eq)] = line.substr(eq + 1);
    }
    std::free(buffer);
    std::fclose(f);
    migrate(file);
}

void Settings::migrate(const std::string& file)
{
    bool changed = false;
    auto accelerometer = entries.find("controls.accelerometer");
    if (accelerometer != entries.end()) {
        if (accelerometer->second == "1")
            entries["controls.touch"] = "accelerometer";
        entries.erase("controls.accelerometer");
        changed = true;
    }
    auto touch = entries.find("controls.touch");
    if (touch != entries.end() && touch->second != "modern" && touch->second != "classic" &&
        touch->second != "accelerometer") {
        entries.erase(touch);
        changed = true;
    }
    if (entries.erase("controls.scheme") > 0)
        changed = true;
    if (entries.erase("controls.touch_swap_sides") > 0)
        changed = true;
    // The overlay is not up yet: the log alone can tell of a failed rewrite.
    if (changed)
        saveReporting(file, nullptr);
}

bool Settings::save(std::string* why) const
{
    return saveReporting(path(), why);
}

bool Settings::saveReporting(const std::string& file, std::string* why) const
{
    std::string reason;
    if (saveTo(file, &reason))
        return true;
    std::fprintf(stderr, "settings: could not save %s: %s\n", file.c_str(), reason.c_str());
    if (why)
        *why = reason;
    return false;
}

bool Settings::saveTo(const std::string& file, std::string* why) const
{
    size_t slash = file.rfind('/');
    if (slash != std::string::npos)
        makeDirs(file.substr(0, slash));
    std::string text = "# Lumaroll settings\n";
    for (const auto& entry : entries)
        text += entry.first + "=" + entry.second + "\n";
    return replaceFileContents(file, text, syncToDisk, why);
}

std::string Settings::getString(std::string_view key, const std::string& fallback) const
{
    auto it = entries.find(key);
    return it != entries.end() ? it->second : fallback;
}

bool Settings::getBool(std::string_view key, bool fallback) const
{
    auto it = entries.find(key);
    return it != entries.end() ? it->second == "1" : fallback;
}

float Settings::getFloat(std::string_view key, float fallback) const
{
    auto it = entries.find(key);
    if (it == entries.end())
        return fallback;
    errno = 0;
    const double value = std::strtod(it->second.c_str(), nullptr);
    // strtod gives an infinity for "inf" and also, with ERANGE, for a
    // number too large for a double: only the first is no number to use.
    const bool overflow = std::isinf(value) && errno == ERANGE;
    if (!std::isfinite(value) && !overflow)
        return fallback;
    return static_cast<float>(std::clamp(value, -double(FLT_MAX), double(FLT_MAX)));
}

void Settings::setString(const std::string& key, const std::string& value)
{
    entries[key] = value;
}

void Settings::setBool(const std::string& key, bool value)
{
    entries[key] = value ? "1" : "0";
}

void Settings::setFloat(const std::string& key, float value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
    entries[key] = text;
}

void Settings::applyEnvironment() const
{
    auto it = entries.find("improvements.visible_sections");
    if (it != entries.end() && it->second != "1")
        setEnvFlag("LUMAROLL_ORIGINAL_SECTIONS", "1");
    else
        setEnvFlag("LUMAROLL_ORIGINAL_SECTIONS", nullptr);
}

} // namespace lumaroll
