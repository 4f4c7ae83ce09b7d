// The process-wide store of user settings, persisted in "config.ini" in the
// configuration directory. Values are text; typed reads parse on every call
// and take their default from the caller.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace lumaroll {

class Settings {
public:
    Settings() = default;
    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

    // The one store of the process, created empty on first use.
    static Settings& instance();

    // configDir() + "/config.ini".
    static std::string path();

    // Reads the file into the store and migrates old keys; a missing or
    // unreadable file, or anything but a regular file in its place (a folder,
    // a named pipe, which is never waited for), leaves the store unchanged.
    void load();
    // Reads the given file; the same as load() for another path.
    void loadFrom(const std::string& file);

    // Writes the whole store to file, creating its folder first, and flushes
    // it to the disk (replaceFileContents); returns false when the file could
    // not be written or flushed, in which case the old file is left as it was
    // (unless only the flush of its folder failed) and why, when given,
    // receives the system's reason ("Is a directory"). Prints nothing; the
    // process's own file is saved through save() below, which does.
    bool saveTo(const std::string& file, std::string* why = nullptr) const;

    // The store: key to text, in key order. Keys are looked up as string
    // views, so that the frame loop's reads of literal keys allocate nothing.
    using Store = std::map<std::string, std::string, std::less<>>;

    // The stored text; fallback when the key is absent.
    std::string getString(std::string_view key, const std::string& fallback) const;
    // True exactly when the stored text is "1"; fallback when the key is absent.
    bool getBool(std::string_view key, bool fallback) const;
    // strtod of the stored text narrowed to float; fallback when absent.
    // Never a NaN or an infinity: a text that reads as one ("nan", "inf",
    // "-infinity", in any case) gives the fallback, as an absent key does,
    // and a number beyond the float range is the largest float of its sign.
    // Text that is no number still reads 0. This is a check the store once
    // left out (it handed out whatever strtod gave): a hand-edited "nan"
    // went on to every reader, and one that clamps could not mend it.
    float getFloat(std::string_view key, float fallback) const;

    // Store the value as text ("1" or "0" for a bool, printf's %g for a
    // float), replacing the key's old one; only a save writes the file. The
    // overlay's menu writes the settings through them.
    void setString(const std::string& key, const std::string& value);
    void setBool(const std::string& key, bool value);
    void setFloat(const std::string& key, float value);

    // Sets LUMAROLL_ORIGINAL_SECTIONS to "1" when "improvements.visible_sections"
    // is present and not "1"; unsets it otherwise.
    void applyEnvironment() const;

    // Every key with its stored text, in key order (tests and the fuzz target compare stores).
    const Store& values() const { return entries; }
    // Empties the store without saving; tests start from an empty one.
    void clear() { entries.clear(); }

private:
    // The overlay's saver (overlay/SettingsSaver.h) is the one caller of
    // save() outside the store: it also tells the user when a save fails.
    friend class SettingsSaver;

    // saveTo(path()), printing "settings: could not save <path>: <reason>"
    // (a line of the log) when it fails; the reason then goes to why too.
    bool save(std::string* why) const;
    // saveTo(file) with the failure printed as save() prints it.
    bool saveReporting(const std::string& file, std::string* why) const;

    // Replaces old keys by their current form; saves to file when anything
    // changed (a failure is printed, the migrated store stays in force).
    void migrate(const std::string& file);

    Store entries;
};

} // namespace lumaroll
