// Per-user directories, directory creation, environment access and the small
// path and text helpers shared by the game layer. Nothing here throws or
// reports: missing variables fall back, failed mkdir calls are silent.
#pragma once

#include <string>

namespace lumaroll {

// The variable's value; empty when it is unset or empty.
std::string getEnvString(const char* name);

// setenv(name, value, 1), or unsetenv(name) when value is null; returns what that call returns.
int setEnvFlag(const char* name, const char* value);

// $XDG_DATA_HOME/lumaroll, else ($HOME or ".")/.local/share/lumaroll.
std::string dataDir();

// $XDG_CONFIG_HOME/lumaroll, else ($HOME or ".")/.config/lumaroll.
std::string configDir();

// Screenshot folder: $XDG_PICTURES_DIR or the answer of xdg-user-dir, + "/Lumaroll";
// falls back to ($HOME or ".")/Pictures/Lumaroll when neither names a folder other than $HOME.
std::string picturesDir();

// The first line a shell command prints (at most 1023 bytes), without its
// line end (CR or LF); empty when the command cannot run or prints nothing.
std::string commandFirstLine(const char* command);

// mkdir(path, 0755); false on failure (already existing included).
bool makeDir(const std::string& path);

// Creates the path and every missing parent with mode 0755; failures are ignored.
void makeDirs(const std::string& path);

bool isDirectory(const std::string& path);
bool fileExists(const std::string& path);

// Text before the last '/'; "." when there is none.
std::string dirName(const std::string& path);

// The path with '/' appended unless it is empty or already ends in one.
std::string withTrailingSlash(std::string path);

bool endsWith(const std::string& text, const std::string& suffix);

// The path made absolute against the current working directory; returned
// unchanged when it is empty, already absolute, or the directory is unknown.
std::string absolutePath(const std::string& path);

// Makes the variables that the user directories follow absolute against the
// current working directory (a relative $HOME, $XDG_DATA_HOME,
// $XDG_CONFIG_HOME or $XDG_PICTURES_DIR; without $HOME the data and
// configuration folders below "."), so that dataDir() and configDir() keep
// naming the same folders after the working directory changes. Called before
// the program changes its working directory.
void pinUserDirectories();

} // namespace lumaroll
