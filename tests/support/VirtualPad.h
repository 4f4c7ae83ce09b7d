#ifndef SUPPORT_VIRTUALPAD_H
#define SUPPORT_VIRTUALPAD_H

// Virtual input devices on SDL's virtual joystick driver, which works without
// a display: a game controller "Virtual Pad" (6 axes, 15 buttons, a rumble
// that records what it is asked) and a joystick of unknown type "Plain Stick"
// (2 axes, 4 buttons, 1 hat) for which SDL knows no mapping. Plugging one in
// queues SDL's added events; detaching it queues the removed ones.
//
// Each device starts SDL's game controller subsystem for its lifetime. A
// pad's input counts without a focused window (SDL's background-events hint
// is set by the first pad).

#include <SDL.h>

#include <string>
#include <utility>
#include <vector>

namespace test {

class VirtualPad {
public:
	enum Type { Pad, PlainStick };

	// Plugs a device of that type in; attached() tells whether SDL took it.
	explicit VirtualPad(Type type = Pad, const char* name = nullptr);
	// A pad of that name.
	explicit VirtualPad(const char* name) : VirtualPad(Pad, name) {}
	// Detaches the device when still attached.
	~VirtualPad();
	VirtualPad(const VirtualPad&) = delete;
	VirtualPad& operator=(const VirtualPad&) = delete;

	bool attached() const { return m_id >= 0; }
	// SDL's error when the device could not be attached.
	const std::string& error() const { return m_error; }
	// The device's instance id (stays valid after detaching, for lookups).
	SDL_JoystickID instanceId() const { return m_instance; }
	// Its current device index; -1 once detached.
	int deviceIndex() const;
	int index() const { return deviceIndex(); }

	// Sets an axis (value -1..1, scaled to -32767..32767 and rounded), a
	// button or the hat; the new state is what SDL reports at once.
	void setAxis(int axis, float value);
	void setButton(int button, bool down);
	void setHat(Uint8 value);
	// Unplugs the device.
	void detach();

	// Every (low, high) motor strength the device's rumble was asked for.
	std::vector<std::pair<Uint16, Uint16>> rumbles;

private:
	template <class Set>
	void change(Set set);
	static int SDLCALL rumble(void* userdata, Uint16 low, Uint16 high);

	bool m_started = false;	  // the subsystem was started for this device
	SDL_JoystickID m_id = -1; // -1 once detached or when attaching failed
	SDL_JoystickID m_instance = -1;
	std::string m_error;
};

} // namespace test

#endif
