#ifndef SUPPORT_GLCALLRECORDER_H
#define SUPPORT_GLCALLRECORDER_H

#include <gr/gles2/GLES2_Dispatch.h>

#include <string>
#include <vector>

namespace test {

// Records every GL call the engine makes through gr::gl while it lives, and
// still forwards each call to the GL library. One recorder at a time.
class GLCallRecorder {
public:
	struct Call {
		std::string name; // without the "gl" prefix: "Viewport"
		// Arguments in order: integers and floats by value, pointers as addresses.
		std::vector<double> args;
		// What the function returned; 0 for functions without a result.
		double result;
	};

	GLCallRecorder();
	~GLCallRecorder();
	GLCallRecorder(const GLCallRecorder&) = delete;
	GLCallRecorder& operator=(const GLCallRecorder&) = delete;

	const std::vector<Call>& calls() const { return m_calls; }
	// The calls of one function, in order.
	std::vector<Call> calls(const std::string& name) const;
	int count(const std::string& name) const;
	void clear() { m_calls.clear(); }

	// Called by the wrappers.
	void record(const char* name, std::vector<double> args, double result);
	// The table that was in place before (the calls are forwarded to it).
	static const gr::GLES2_Dispatch& forward();
	static GLCallRecorder* active();

private:
	std::vector<Call> m_calls;
	gr::GLES2_Dispatch m_saved;
};

} // namespace test

#endif
