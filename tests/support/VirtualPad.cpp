#include "support/VirtualPad.h"

namespace test {

VirtualPad::VirtualPad(const char* name) {
	if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
		m_error = SDL_GetError();
		return;
	}
	m_started = true;
	SDL_VirtualJoystickDesc desc = {};
	desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
	desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
	desc.naxes = SDL_CONTROLLER_AXIS_MAX;
	desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
	desc.name = name;
	m_index = SDL_JoystickAttachVirtualEx(&desc);
	if (m_index < 0)
		m_error = SDL_GetError();
}

VirtualPad::~VirtualPad() {
	if (m_index >= 0)
		SDL_JoystickDetachVirtual(m_index);
	if (m_started)
		SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

} // namespace test
