#ifndef SUPPORT_SCOPEDENV_H
#define SUPPORT_SCOPEDENV_H

// Guards for the process state a test changes: environment variables and
// the working folder, put back as they were when the guard goes.

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace test {

// Sets (or, with a null value, unsets) variables and restores each one's
// earlier value, or its absence, on destruction (last set first).
class ScopedEnv {
public:
	ScopedEnv() = default;
	ScopedEnv(std::initializer_list<std::pair<const char*, const char*>> vars);
	~ScopedEnv();
	ScopedEnv(const ScopedEnv&) = delete;
	ScopedEnv& operator=(const ScopedEnv&) = delete;

	void set(const char* name, const char* value);

private:
	struct Saved {
		std::string name;
		bool wasSet;
		std::string value;
	};
	std::vector<Saved> m_saved;
};

// Remembers the working folder and changes back to it on destruction.
class ScopedCwd {
public:
	ScopedCwd();
	~ScopedCwd();
	ScopedCwd(const ScopedCwd&) = delete;
	ScopedCwd& operator=(const ScopedCwd&) = delete;

	// The folder that was current when the guard was made.
	const std::string& path() const { return m_path; }

private:
	std::string m_path;
};

} // namespace test

#endif
