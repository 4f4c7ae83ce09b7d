#ifndef SUPPORT_XVFBDISPLAY_H
#define SUPPORT_XVFBDISPLAY_H

// A virtual X display for tests that need real window input (key presses and
// clicks from xdotool): starts Xvfb on a free display number (Xvfb picks it
// and reports it through -displayfd) and stops it on destruction.

#include <string>
#include <vector>

namespace test {

class XvfbDisplay {
public:
	// Starts Xvfb with one screen of width x height x 24 bits; waits at most
	// timeoutMs for it to report its display (a bound for a hang, generous for a busy machine).
	explicit XvfbDisplay(int width = 1024, int height = 768, int timeoutMs = 60000);
	~XvfbDisplay();
	XvfbDisplay(const XvfbDisplay&) = delete;
	XvfbDisplay& operator=(const XvfbDisplay&) = delete;

	bool started() const { return !m_name.empty(); }
	// The DISPLAY value (":N"); empty when Xvfb did not start.
	const std::string& name() const { return m_name; }
	// Why it did not start.
	const std::string& error() const { return m_error; }

private:
	int m_pid = -1;
	std::string m_name;
	std::string m_error;
};

// True when the xdotool program is on PATH.
bool xdotoolInstalled();

// Runs xdotool with args on display; false when it failed. Its standard
// output goes to *out when out is set.
bool xdotool(const std::string& display, const std::vector<std::string>& args, std::string* out = nullptr);

// The id of the first window on display whose name matches the regular
// expression, as xdotool prints it; empty when none appeared within timeoutMs.
std::string findWindow(const std::string& display, const std::string& namePattern, int timeoutMs = 5000);

} // namespace test

#endif
