#include "support/VirtualPad.h"

#include <cmath>

namespace test {

VirtualPad::VirtualPad(Type type, const char* name) {
	// Tests have no focused window: without this SDL drops the pads' input.
	SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
	if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
		m_error = SDL_GetError();
		return;
	}
	m_started = true;
	SDL_VirtualJoystickDesc desc;
	SDL_zero(desc);
	desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
	if (type == Pad) {
		desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
		desc.naxes = 6;
		desc.nbuttons = 15;
		desc.name = name ? name : "Virtual Pad";
		desc.userdata = this;
		desc.Rumble = &VirtualPad::rumble;
	} else {
		desc.type = SDL_JOYSTICK_TYPE_UNKNOWN;
		desc.naxes = 2;
		desc.nbuttons = 4;
		desc.nhats = 1;
		desc.name = name ? name : "Plain Stick";
	}
	const int index = SDL_JoystickAttachVirtualEx(&desc);
	if (index < 0) {
		m_error = SDL_GetError();
		return;
	}
	m_instance = m_id = SDL_JoystickGetDeviceInstanceID(index);
}

VirtualPad::~VirtualPad() {
	detach();
	if (m_started)
		SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

int VirtualPad::deviceIndex() const {
	if (m_id < 0)
		return -1;
	const int count = SDL_NumJoysticks();
	for (int i = 0; i < count; ++i)
		if (SDL_JoystickGetDeviceInstanceID(i) == m_id)
			return i;
	return -1;
}

// The virtual driver keeps the state with the device, not with an opened
// handle: a handle opened just for the change (and closed again) leaves the
// game's own handles, and SDL's reference counts, as they were.
template <class Set>
void VirtualPad::change(Set set) {
	const int index = deviceIndex();
	if (index < 0)
		return;
	SDL_Joystick* joystick = SDL_JoystickOpen(index);
	if (!joystick)
		return;
	set(joystick);
	SDL_JoystickUpdate();
	SDL_JoystickClose(joystick);
}

void VirtualPad::setAxis(int axis, float value) {
	const Sint16 raw = static_cast<Sint16>(std::lround(value * 32767.f));
	change([&](SDL_Joystick* j) { SDL_JoystickSetVirtualAxis(j, axis, raw); });
}

void VirtualPad::setButton(int button, bool down) {
	change([&](SDL_Joystick* j) { SDL_JoystickSetVirtualButton(j, button, down ? 1 : 0); });
}

void VirtualPad::setHat(Uint8 value) {
	change([&](SDL_Joystick* j) { SDL_JoystickSetVirtualHat(j, 0, value); });
}

void VirtualPad::detach() {
	const int index = deviceIndex();
	if (index >= 0)
		SDL_JoystickDetachVirtual(index);
	m_id = -1;
}

int SDLCALL VirtualPad::rumble(void* userdata, Uint16 low, Uint16 high) {
	static_cast<VirtualPad*>(userdata)->rumbles.push_back({low, high});
	return 0;
}

} // namespace test
