// Translations of every text the port menu, its notices and the level
// session's input notices show, looked up by dotted key ("button.continue").
//
// Language files: "<code>.lang" in each language folder (the configuration
// folder's "lang/", then each asset folder's "lang/"). Plain text, one entry a
// line: lines are trimmed of spaces, tabs and carriage returns; empty lines,
// lines beginning with '#' and lines without '=' are skipped; the key is the
// trimmed text before the first '=', the value the trimmed text after it, in
// which backslash-n becomes a line feed; a key given twice keeps the last
// value. Folders are read from the last to the first, so a file in the
// configuration folder only needs the keys it changes.
//
// Index files: "languages" in any language folder lists, one a line, the
// codes the language chooser offers ('#' comments and blank lines skipped).
//
// A translation can come from the user's own file: fill it with values only
// through formatText (SafeFormat.h), never as a printf format.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace lumaroll {

// Key to text; looks keys up without building a string.
using TranslationTable = std::map<std::string, std::string, std::less<>>;

class Translations {
public:
    // The store of the process, empty until the first setLanguage.
    static Translations& instance();

    // The text for key in the chosen language, else in English, else key
    // itself (also for a null key: ""). The pointer stays valid until the
    // overlay frame that follows the next setLanguage has ended.
    const char* get(const char* key) const;

    // Chooses a language: a code, or "auto" / empty for the system's. Reloads
    // English and the chosen language from disk; a code without any loadable
    // file ends as "en". The replaced tables are kept until releaseReplaced.
    void setLanguage(const std::string& name);

    // Frees the tables that setLanguage replaced. The overlay calls it when
    // its frame ends, so labels taken earlier in that frame stay valid.
    void releaseReplaced();

    // Texts of the chosen language; written by setLanguage only.
    TranslationTable strings;
    // Texts of "en", the fallback; written by setLanguage only.
    TranslationTable english;
    // Code of the chosen language; empty until the first setLanguage.
    std::string language;

private:
    std::vector<TranslationTable> replaced;
};

// The language folders, each ending in "/": configDir() + "/lang/", then
// every asset folder (AssetFiles.h) + "lang/".
std::vector<std::string> languageDirs();

// Adds the entries of one language file's text to table (later entries win).
void parseLanguageText(const std::string& text, TranslationTable& table);

// The codes listed by one index file's text, in order.
std::vector<std::string> parseLanguageIndex(const std::string& text);

// Merges code's files of every language folder into table, the configuration
// folder's last; true when at least one non-empty file was read.
bool loadLanguageFile(const std::string& code, TranslationTable& table);

// The codes of every index file, configuration folder first, each once;
// {"en"} when no folder lists any.
std::vector<std::string> listLanguageCodes();

// (code, display name) of every listed code that has a loadable file, in
// index order; the name is the file's "language.name", else the code.
std::vector<std::pair<std::string, std::string>> listLanguages();

// The language part of the user's first preferred locale; "en" when the system names none.
std::string systemLanguage();

// Every value of every ".lang" file in the language folders, one after the
// other: the characters the menu font must be able to draw.
std::string allLanguageTexts();

// text without spaces, tabs and carriage returns at both ends.
std::string trim(const std::string& text);

// The whole file; empty when it cannot be read, or is no regular file (a
// folder, a named pipe, which is never waited for).
std::string readWholeFile(const char* path);

} // namespace lumaroll
