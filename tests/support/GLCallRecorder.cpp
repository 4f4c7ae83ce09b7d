#include "support/GLCallRecorder.h"

#include <cstdint>
#include <type_traits>

namespace test {

namespace {

GLCallRecorder* g_active = nullptr;

template <class T>
double toArg(T value) {
	if constexpr (std::is_pointer<T>::value)
		return double(reinterpret_cast<std::uintptr_t>(value));
	else
		return double(value);
}

} // namespace

// Each wrapper is a capture-less generic lambda converted to the exact
// function pointer type of its slot.
#define RECORDER_WRAP(name) \
	gr::gl.name = [](auto... a) { \
		using R = decltype(GLCallRecorder::forward().name(a...)); \
		if constexpr (std::is_void<R>::value) { \
			g_active->record(#name, {toArg(a)...}, 0.0); \
			GLCallRecorder::forward().name(a...); \
		} else { \
			R result = GLCallRecorder::forward().name(a...); \
			g_active->record(#name, {toArg(a)...}, toArg(result)); \
			return result; \
		} \
	};

GLCallRecorder::GLCallRecorder() : m_saved(gr::gl) {
	g_active = this;
	GR_GLES2_FUNCTIONS(RECORDER_WRAP)
}

#undef RECORDER_WRAP

GLCallRecorder::~GLCallRecorder() {
	gr::gl = m_saved;
	g_active = nullptr;
}

std::vector<GLCallRecorder::Call> GLCallRecorder::calls(const std::string& name) const {
	std::vector<Call> out;
	for (const Call& c : m_calls)
		if (c.name == name)
			out.push_back(c);
	return out;
}

int GLCallRecorder::count(const std::string& name) const {
	int n = 0;
	for (const Call& c : m_calls)
		if (c.name == name)
			++n;
	return n;
}

void GLCallRecorder::record(const char* name, std::vector<double> args, double result) {
	m_calls.push_back(Call{name, std::move(args), result});
}

const gr::GLES2_Dispatch& GLCallRecorder::forward() {
	return g_active->m_saved;
}

GLCallRecorder* GLCallRecorder::active() {
	return g_active;
}

} // namespace test
