#include "support/SdlEvents.h"

namespace test {

SDL_Event keyEvent(bool down, SDL_Keycode key, bool repeat) {
	SDL_Event e = {};
	e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
	e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
	e.key.repeat = repeat ? 1 : 0;
	e.key.keysym.sym = key;
	e.key.keysym.scancode = SDL_GetScancodeFromKey(key);
	return e;
}

SDL_Event mouseMotion(int x, int y, Uint32 which, Uint32 timestamp, Uint32 windowId) {
	SDL_Event e = {};
	e.type = SDL_MOUSEMOTION;
	e.motion.timestamp = timestamp;
	e.motion.windowID = windowId;
	e.motion.which = which;
	e.motion.x = x;
	e.motion.y = y;
	return e;
}

SDL_Event mouseButton(bool down, int x, int y, Uint8 button, Uint32 which, Uint32 timestamp, Uint32 windowId) {
	SDL_Event e = {};
	e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
	e.button.timestamp = timestamp;
	e.button.windowID = windowId;
	e.button.which = which;
	e.button.button = button;
	e.button.state = down ? SDL_PRESSED : SDL_RELEASED;
	e.button.clicks = 1;
	e.button.x = x;
	e.button.y = y;
	return e;
}

SDL_Event mouseMoveBy(int xrel, int yrel, Uint32 which) {
	SDL_Event e = {};
	e.type = SDL_MOUSEMOTION;
	e.motion.which = which;
	e.motion.xrel = xrel;
	e.motion.yrel = yrel;
	return e;
}

SDL_Event mouseWheel(int x, int y) {
	SDL_Event e = {};
	e.type = SDL_MOUSEWHEEL;
	e.wheel.x = x;
	e.wheel.y = y;
	e.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
	return e;
}

SDL_Event fingerDown(SDL_TouchID touch, SDL_FingerID finger, float x, float y) {
	return fingerEvent(SDL_FINGERDOWN, touch, finger, x, y);
}

SDL_Event fingerEvent(Uint32 type, SDL_TouchID touch, SDL_FingerID finger, float x, float y) {
	SDL_Event e = {};
	e.type = type;
	e.tfinger.touchId = touch;
	e.tfinger.fingerId = finger;
	e.tfinger.x = x;
	e.tfinger.y = y;
	e.tfinger.pressure = type == SDL_FINGERUP ? 0.f : 1.f;
	return e;
}

SDL_Event controllerButton(bool down, Uint8 button, SDL_JoystickID which) {
	SDL_Event e = {};
	e.type = down ? SDL_CONTROLLERBUTTONDOWN : SDL_CONTROLLERBUTTONUP;
	e.cbutton.which = which;
	e.cbutton.button = button;
	e.cbutton.state = down ? SDL_PRESSED : SDL_RELEASED;
	return e;
}

SDL_Event controllerAxis(Uint8 axis, Sint16 value, SDL_JoystickID which) {
	SDL_Event e = {};
	e.type = SDL_CONTROLLERAXISMOTION;
	e.caxis.which = which;
	e.caxis.axis = axis;
	e.caxis.value = value;
	return e;
}

SDL_Event windowEvent(Uint8 event, Uint32 windowId) {
	SDL_Event e = {};
	e.type = SDL_WINDOWEVENT;
	e.window.event = event;
	e.window.windowID = windowId;
	return e;
}

SDL_Event quitEvent() {
	SDL_Event e = {};
	e.type = SDL_QUIT;
	return e;
}

SDL_Event plainEvent(Uint32 type) {
	SDL_Event e = {};
	e.type = type;
	return e;
}

bool push(std::initializer_list<SDL_Event> events) {
	for (SDL_Event e : events) {
		if (SDL_PushEvent(&e) != 1)
			return false;
	}
	return true;
}

int drain(const std::function<void(const SDL_Event&)>& handler) {
	int count = 0;
	SDL_Event e;
	while (SDL_PollEvent(&e)) {
		handler(e);
		++count;
	}
	return count;
}

} // namespace test
