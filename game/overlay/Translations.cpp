#include "overlay/Translations.h"

#include "files/Paths.h"
#include "files/RegularFile.h"
#include "overlay/AssetFiles.h"
#include "platform/PreferredLanguage.h"

#include <dirent.h>

#include <algorithm>
#include <string_view>

namespace lumaroll {

namespace {

// Calls f with each line of text, trimmed; blank lines and '#' comments skipped.
template <typename F>
void forEachEntryLine(const std::string& text, F f)
{
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = trim(text.substr(start, end - start));
        if (!line.empty() && line[0] != '#')
            f(line);
        start = end + 1;
    }
}

std::string unescapeLineFeeds(const std::string& value)
{
    std::string out;
    out.reserve(value.size());
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\' && i + 1 < value.size() && value[i + 1] == 'n') {
            out += '\n';
            ++i;
        } else {
            out += value[i];
        }
    }
    return out;
}

} // namespace

Translations& Translations::instance()
{
    static Translations store;
    return store;
}

const char* Translations::get(const char* key) const
{
    if (!key)
        return "";
    // One length count for the whole search, not one per comparison.
    const std::string_view wanted(key);
    auto it = strings.find(wanted);
    if (it != strings.end())
        return it->second.c_str();
    it = english.find(wanted);
    if (it != english.end())
        return it->second.c_str();
    return key;
}

void Translations::setLanguage(const std::string& name)
{
    // Moving a map keeps its nodes, so texts handed out stay where they are.
    replaced.push_back(std::move(english));
    replaced.push_back(std::move(strings));
    english.clear();
    strings.clear();
    loadLanguageFile("en", english);
    std::string code = (name.empty() || name == "auto") ? systemLanguage() : name;
    if (!loadLanguageFile(code, strings))
        code = "en";
    language = code;
}

void Translations::releaseReplaced()
{
    replaced.clear();
}

std::vector<std::string> languageDirs()
{
    std::vector<std::string> dirs{configDir() + "/lang/"};
    for (const std::string& dir : assetDirs())
        dirs.push_back(dir + "lang/");
    return dirs;
}

void parseLanguageText(const std::string& text, TranslationTable& table)
{
    forEachEntryLine(text, [&table](const std::string& line) {
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos)
            return;
        table[trim(line.substr(0, eq))] = unescapeLineFeeds(trim(line.substr(eq + 1)));
    });
}

std::vector<std::string> parseLanguageIndex(const std::string& text)
{
    std::vector<std::string> codes;
    forEachEntryLine(text, [&codes](const std::string& line) { codes.push_back(line); });
    return codes;
}

bool loadLanguageFile(const std::string& code, TranslationTable& table)
{
    // A code is a file name part: no folder may be reached through it.
    if (code.empty() || code.find('/') != std::string::npos)
        return false;
    bool loaded = false;
    const std::vector<std::string> dirs = languageDirs();
    for (auto dir = dirs.rbegin(); dir != dirs.rend(); ++dir) {
        const std::string text = readWholeFile((*dir + code + ".lang").c_str());
        if (text.empty())
            continue;
        parseLanguageText(text, table);
        loaded = true;
    }
    return loaded;
}

std::vector<std::string> listLanguageCodes()
{
    std::vector<std::string> codes;
    for (const std::string& dir : languageDirs()) {
        for (const std::string& code : parseLanguageIndex(readWholeFile((dir + "languages").c_str()))) {
            if (std::find(codes.begin(), codes.end(), code) == codes.end())
                codes.push_back(code);
        }
    }
    if (codes.empty())
        codes.push_back("en");
    return codes;
}

std::vector<std::pair<std::string, std::string>> listLanguages()
{
    std::vector<std::pair<std::string, std::string>> languages;
    for (const std::string& code : listLanguageCodes()) {
        TranslationTable table;
        if (!loadLanguageFile(code, table))
            continue;
        auto name = table.find("language.name");
        languages.emplace_back(code, name != table.end() ? name->second : code);
    }
    return languages;
}

std::string systemLanguage()
{
    const std::string language = preferredLanguage();
    return language.empty() ? "en" : language;
}

std::string allLanguageTexts()
{
    std::string all;
    for (const std::string& dir : languageDirs()) {
        DIR* folder = opendir(dir.c_str());
        if (!folder)
            continue;
        while (const dirent* entry = readdir(folder)) {
            const std::string name = entry->d_name;
            if (!endsWith(name, ".lang"))
                continue;
            TranslationTable table;
            parseLanguageText(readWholeFile((dir + name).c_str()), table);
            for (const auto& entryText : table)
                all += entryText.second;
        }
        closedir(folder);
    }
    return all;
}

std::string trim(const std::string& text)
{
    const char* blanks = " \t\r";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return std::string();
    const std::size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

std::string readWholeFile(const char* path)
{
    std::string text;
    readRegularFile(path, text);
    return text;
}

} // namespace lumaroll
