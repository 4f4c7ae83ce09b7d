#ifndef SUPPORT_SDLEVENTS_H
#define SUPPORT_SDLEVENTS_H

// SDL events made by hand, as the window system would deliver them, and the
// queue round trip: push them onto SDL's queue, then drain the queue into a
// handler (the overlay's handleEvent, a session's input).

#include <SDL.h>

#include <functional>
#include <initializer_list>

namespace test {

SDL_Event keyEvent(bool down, SDL_Keycode key, bool repeat = false);
// which: SDL_TOUCH_MOUSEID for the mouse events SDL makes from a touch screen.
SDL_Event mouseMotion(int x, int y, Uint32 which = 0, Uint32 timestamp = 0, Uint32 windowId = 0);
SDL_Event mouseButton(bool down, int x, int y, Uint8 button = SDL_BUTTON_LEFT, Uint32 which = 0, Uint32 timestamp = 0,
					  Uint32 windowId = 0);
// Motion by (xrel, yrel), as a mouse in relative mode reports it.
SDL_Event mouseMoveBy(int xrel, int yrel, Uint32 which = 0);
SDL_Event mouseWheel(int x, int y);
SDL_Event fingerDown(SDL_TouchID touch, SDL_FingerID finger, float x, float y);
// type: SDL_FINGERDOWN, SDL_FINGERMOTION or SDL_FINGERUP.
SDL_Event fingerEvent(Uint32 type, SDL_TouchID touch, SDL_FingerID finger, float x, float y);
SDL_Event controllerButton(bool down, Uint8 button, SDL_JoystickID which = 0);
SDL_Event controllerAxis(Uint8 axis, Sint16 value, SDL_JoystickID which = 0);
SDL_Event windowEvent(Uint8 event, Uint32 windowId = 0);
SDL_Event quitEvent();
// An event of that type with every other field zero (application life-cycle events).
SDL_Event plainEvent(Uint32 type);

// Pushes the events onto SDL's queue in order; false when SDL refused one.
bool push(std::initializer_list<SDL_Event> events);

// Hands every event waiting in SDL's queue to handler, oldest first; returns how many.
int drain(const std::function<void(const SDL_Event&)>& handler);

} // namespace test

#endif
