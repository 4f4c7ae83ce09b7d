#include "files/Paths.h"

#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <sys/stat.h>
#include <unistd.h>

namespace lumaroll {

std::string getEnvString(const char* name)
{
    const char* value = std::getenv(name);
    return value ? std::string(value) : std::string();
}

int setEnvFlag(const char* name, const char* value)
{
    if (value)
        return setenv(name, value, 1);
    return unsetenv(name);
}

// base ($VARIABLE, else ($HOME or ".") + fallback) + "/lumaroll"
static std::string userDir(const char* variable, const char* fallback)
{
    std::string base = getEnvString(variable);
    if (base.empty()) {
        std::string home = getEnvString("HOME");
        base = (home.empty() ? std::string(".") : home) + fallback;
    }
    return base + "/lumaroll";
}

std::string dataDir()
{
    return userDir("XDG_DATA_HOME", "/.local/share");
}

std::string configDir()
{
    return userDir("XDG_CONFIG_HOME", "/.config");
}

std::string picturesDir()
{
    std::string pictures = getEnvString("XDG_PICTURES_DIR");
    if (pictures.empty())
        pictures = commandFirstLine("xdg-user-dir PICTURES 2>/dev/null");
    std::string home = getEnvString("HOME");
    // xdg-user-dir answers the home folder itself when no pictures folder is configured.
    if (pictures.empty() || pictures == home)
        pictures = (home.empty() ? std::string(".") : home) + "/Pictures";
    return pictures + "/Lumaroll";
}

std::string commandFirstLine(const char* command)
{
    std::string line;
    if (FILE* pipe = popen(command, "r")) {
        char buffer[1024];
        if (std::fgets(buffer, sizeof buffer, pipe))
            line = buffer;
        pclose(pipe);
    }
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
    return line;
}

bool makeDir(const std::string& path)
{
    return mkdir(path.c_str(), 0755) == 0;
}

void makeDirs(const std::string& path)
{
    std::string prefix;
    prefix.reserve(path.size());
    for (char c : path) {
        prefix += c;
        if ((c == '/' || c == '\\') && prefix.size() > 1)
            mkdir(prefix.c_str(), 0755);
    }
    mkdir(path.c_str(), 0755);
}

bool isDirectory(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool fileExists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

std::string dirName(const std::string& path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return path.substr(0, slash);
}

std::string withTrailingSlash(std::string path)
{
    if (!path.empty() && path.back() != '/')
        path += '/';
    return path;
}

bool endsWith(const std::string& text, const std::string& suffix)
{
    return suffix.size() <= text.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string absolutePath(const std::string& path)
{
    if (path.empty() || path[0] == '/')
        return path;
    char* cwd = getcwd(nullptr, 0);
    if (!cwd)
        return path;
    std::string result = withTrailingSlash(cwd) + path;
    std::free(cwd);
    return result;
}

static void pinVariable(const char* name)
{
    const std::string value = getEnvString(name);
    if (!value.empty() && value[0] != '/')
        setEnvFlag(name, absolutePath(value).c_str());
}

void pinUserDirectories()
{
    for (const char* name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_PICTURES_DIR"})
        pinVariable(name);
    if (!getEnvString("HOME").empty())
        return;
    // The "." fallback of a missing $HOME, fixed to the folder it means now.
    if (getEnvString("XDG_DATA_HOME").empty())
        setEnvFlag("XDG_DATA_HOME", absolutePath(".local/share").c_str());
    if (getEnvString("XDG_CONFIG_HOME").empty())
        setEnvFlag("XDG_CONFIG_HOME", absolutePath(".config").c_str());
}

} // namespace lumaroll
