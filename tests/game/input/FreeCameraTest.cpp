#include "input/ActionButtons.h"
#include "input/FreeCamera.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace lumaroll;

namespace {

std::vector<Uint8> keys(std::initializer_list<SDL_Scancode> held) {
	std::vector<Uint8> state(SDL_NUM_SCANCODES, 0);
	for (SDL_Scancode s : held)
		state[s] = 1;
	return state;
}

TEST(FreeCameraTest, KeysFlyAndTurn) {
	FreeCamera cam;
	const auto w = keys({SDL_SCANCODE_W});
	cam.update(w.data(), true, 0.5f);
	EXPECT_NEAR(cam.position.z, -600.f + 200.f, 1e-3f);
	const auto fast = keys({SDL_SCANCODE_E, SDL_SCANCODE_LSHIFT, SDL_SCANCODE_RIGHT});
	cam.update(fast.data(), true, 0.1f);
	EXPECT_NEAR(cam.position.y, 400.f, 1e-3f);
	EXPECT_NEAR(cam.yaw, 0.15f, 1e-5f);
	const auto up = keys({SDL_SCANCODE_UP});
	cam.update(up.data(), true, 10.f);
	EXPECT_FLOAT_EQ(cam.pitch, 1.5f);
}

TEST(FreeCameraTest, KeysDoNothingWhileAMenuIsOpen) {
	// The menu level runs behind its in-game menu: the arrows and letters
	// typed into the menu must not fly the camera.
	FreeCamera cam;
	const auto all = keys({SDL_SCANCODE_W, SDL_SCANCODE_A, SDL_SCANCODE_LEFT, SDL_SCANCODE_UP, SDL_SCANCODE_E});
	cam.update(all.data(), false, 0.1f);
	EXPECT_EQ(cam.position.x, 0.f);
	EXPECT_EQ(cam.position.y, 200.f);
	EXPECT_EQ(cam.position.z, -600.f);
	EXPECT_EQ(cam.yaw, 0.f);
	EXPECT_EQ(cam.pitch, 0.f);
}

TEST(FreeCameraTest, FollowTakesPositionAndViewDirection) {
	FreeCamera cam;
	math::Matrix3x4 world(math::Matrix3x3::rotation(math::Vector3(0.f, 1.f, 0.f), 0.5f), math::Vector3(1.f, 2.f, 3.f));
	cam.follow(world);
	EXPECT_NEAR(cam.yaw, 0.5f, 1e-5f);
	EXPECT_NEAR(cam.pitch, 0.f, 1e-5f);
	EXPECT_EQ(cam.position.z, 3.f);
}

SDL_Event button(Uint32 type, Uint8 which) {
	SDL_Event e{};
	e.type = type;
	e.button.button = which;
	return e;
}

SDL_Event key(Uint32 type, SDL_Scancode code) {
	SDL_Event e{};
	e.type = type;
	e.key.keysym.scancode = code;
	return e;
}

TEST(ActionButtonsTest, OnlyPressesThatReachTheGameCount) {
	ActionButtons b;
	// A click taken by a menu: only its release is seen.
	b.release(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT));
	EXPECT_FALSE(b.held());
	b.press(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT));
	EXPECT_FALSE(b.held());
	b.press(button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT));
	b.press(key(SDL_KEYDOWN, SDL_SCANCODE_SPACE));
	EXPECT_TRUE(b.held());
	b.release(button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT));
	EXPECT_TRUE(b.held()); // Space still down
	b.release(key(SDL_KEYUP, SDL_SCANCODE_SPACE));
	EXPECT_FALSE(b.held());
	for (SDL_Scancode s : {SDL_SCANCODE_KP_5, SDL_SCANCODE_KP_0}) {
		SCOPED_TRACE(SDL_GetScancodeName(s));
		b.press(key(SDL_KEYDOWN, s));
		EXPECT_TRUE(b.held());
		b.clear();
		EXPECT_FALSE(b.held());
	}
	b.press(key(SDL_KEYDOWN, SDL_SCANCODE_X));
	EXPECT_FALSE(b.held());
}

} // namespace
