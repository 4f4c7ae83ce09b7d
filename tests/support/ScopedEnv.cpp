#include "support/ScopedEnv.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include <unistd.h>

namespace test {

ScopedEnv::ScopedEnv(std::initializer_list<std::pair<const char*, const char*>> vars) {
	for (const auto& v : vars)
		set(v.first, v.second);
}

ScopedEnv::~ScopedEnv() {
	for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it) {
		if (it->wasSet)
			::setenv(it->name.c_str(), it->value.c_str(), 1);
		else
			::unsetenv(it->name.c_str());
	}
}

void ScopedEnv::set(const char* name, const char* value) {
	const char* old = std::getenv(name);
	m_saved.push_back({name, old != nullptr, old ? old : ""});
	if (value)
		::setenv(name, value, 1);
	else
		::unsetenv(name);
}

ScopedCwd::ScopedCwd() {
	char* cwd = ::getcwd(nullptr, 0);
	m_path = cwd ? cwd : ".";
	std::free(cwd);
}

ScopedCwd::~ScopedCwd() {
	if (::chdir(m_path.c_str()) != 0)
		ADD_FAILURE() << "cannot go back to the working folder " << m_path;
}

} // namespace test
