#ifndef TESTS_GAME_APP_APPTESTHELPERS_H
#define TESTS_GAME_APP_APPTESTHELPERS_H

// Small helpers for the program-shell tests: environment and working-folder
// guards, and the marker files that make a folder count as installed game data.

#include "files/Paths.h"
#include "support/DebWriter.h"

#include <cstdlib>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace apptest {

// Sets (or, with a null value, unsets) variables and restores them on destruction.
class ScopedEnv {
public:
	ScopedEnv() = default;
	ScopedEnv(std::initializer_list<std::pair<const char*, const char*>> vars) {
		for (const auto& v : vars)
			set(v.first, v.second);
	}
	~ScopedEnv() {
		for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
			if (it->second.first)
				setenv(it->first.c_str(), it->second.second.c_str(), 1);
			else
				unsetenv(it->first.c_str());
		}
	}
	void set(const char* name, const char* value) {
		const char* old = std::getenv(name);
		m_saved.push_back({name, {old != nullptr, old ? old : ""}});
		if (value)
			setenv(name, value, 1);
		else
			unsetenv(name);
	}

private:
	std::vector<std::pair<std::string, std::pair<bool, std::string>>> m_saved;
};

// Restores the working folder on destruction.
class ScopedCwd {
public:
	ScopedCwd() {
		char* cwd = getcwd(nullptr, 0);
		m_path = cwd ? cwd : ".";
		std::free(cwd);
	}
	~ScopedCwd() {
		if (chdir(m_path.c_str()) != 0) {
		}
	}
	const std::string& path() const { return m_path; }

private:
	std::string m_path;
};

// Writes a file, creating its folders first.
inline bool writeText(const std::string& path, const std::string& text) {
	lumaroll::makeDirs(lumaroll::dirName(path));
	return test::writeFile(path, text);
}

// The three files that make gameDir count as installed game data.
inline void installGameData(const std::string& gameDir) {
	writeText(gameDir + "/data/bundles/original/level01.hgr", "level");
	writeText(gameDir + "/data/resources/models/plimbo.hgr", "ball");
	writeText(gameDir + "/data/resources/images/MENU.dat", "menu");
}

} // namespace apptest

#endif
