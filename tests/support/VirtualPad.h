#ifndef SUPPORT_VIRTUALPAD_H
#define SUPPORT_VIRTUALPAD_H

// A game controller made by SDL's virtual joystick driver (no device needed):
// attached with every controller button and axis on construction, detached
// on destruction. SDL's game controller subsystem is started for it.

#include <SDL.h>

#include <string>

namespace test {

class VirtualPad {
public:
	explicit VirtualPad(const char* name = "Virtual Pad");
	~VirtualPad();
	VirtualPad(const VirtualPad&) = delete;
	VirtualPad& operator=(const VirtualPad&) = delete;

	// False when SDL could not attach it (see error()).
	bool attached() const { return m_index >= 0; }
	const std::string& error() const { return m_error; }
	// Its device index.
	int index() const { return m_index; }

private:
	bool m_started = false;
	int m_index = -1;
	std::string m_error;
};

} // namespace test

#endif
