// The player input through the platform fakes (keys, clock, accelerometer,
// touch fingers) and SDL's virtual pads: keyboard, pads and sticks, touch
// schemes and gestures, camera, tilt, the input kind and its notices.
#include "input/PlayerInput.h"
#include "support/AllocationCounter.h"
#include "support/PlatformFakes.h"
#include "support/SdlEvents.h"
#include "support/VirtualPad.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace lumaroll;
using test::VirtualPad;

namespace {

const int W = 1600;
const int H = 1000;
const float kPi = 3.14159265f;

SDL_Event finger(Uint32 type, SDL_FingerID id, float x, float y) {
	return test::fingerEvent(type, 1, id, x, y);
}

class PlayerInputTest : public testing::Test {
protected:
	void SetUp() override {
		test::drain([](const SDL_Event&) {});
	}
	void TearDown() override {
		for (auto& pad : pads)
			pad->detach();
		controllers.closeDetached();
		test::drain([](const SDL_Event&) {});
	}

	// A virtual device plugged in and opened by the manager.
	VirtualPad& plug(VirtualPad::Type type = VirtualPad::Pad) {
		pads.push_back(std::make_unique<VirtualPad>(type));
		EXPECT_TRUE(pads.back()->attached()) << pads.back()->error();
		testing::internal::CaptureStdout();
		controllers.openAll();
		testing::internal::GetCapturedStdout();
		return *pads.back();
	}

	const MoveInput& read(float dt = 0.016f, bool controls = true, int width = W, int height = H) {
		input.read(out, width, height, controls, dt);
		return out;
	}

	void touch(Uint32 type, SDL_FingerID id, float x, float y) { input.handleTouchEvent(finger(type, id, x, y), W, H); }

	// A tap of the left half: down, up 100 ms later at the same place.
	void tap(float x = 0.3f, float y = 0.5f) {
		touch(SDL_FINGERDOWN, 7, x, y);
		clock.now += 100;
		touch(SDL_FINGERUP, 7, x, y);
	}

	test::FakeKeys keys;
	test::ManualClock clock;
	test::FakeInputDevices devices;
	Controllers controllers;
	PlayerInput input{keys, clock, devices, controllers};
	MoveInput out;
	std::vector<std::unique_ptr<VirtualPad>> pads;
};

// --- Keyboard

TEST_F(PlayerInputTest, KeyboardScancodes) {
	struct Case {
		const char* name;
		std::vector<SDL_Scancode> keys;
		float forward, right;
		bool jump;
	};
	const Case cases[] = {
		{"W", {SDL_SCANCODE_W}, 1, 0, false},
		{"Up", {SDL_SCANCODE_UP}, 1, 0, false},
		{"keypad 8", {SDL_SCANCODE_KP_8}, 1, 0, false},
		{"digit 8", {SDL_SCANCODE_8}, 1, 0, false},
		{"S", {SDL_SCANCODE_S}, -1, 0, false},
		{"Down", {SDL_SCANCODE_DOWN}, -1, 0, false},
		{"keypad 2", {SDL_SCANCODE_KP_2}, -1, 0, false},
		{"digit 2", {SDL_SCANCODE_2}, -1, 0, false},
		{"D", {SDL_SCANCODE_D}, 0, 1, false},
		{"Right", {SDL_SCANCODE_RIGHT}, 0, 1, false},
		{"keypad 6", {SDL_SCANCODE_KP_6}, 0, 1, false},
		{"digit 6", {SDL_SCANCODE_6}, 0, 1, false},
		{"A", {SDL_SCANCODE_A}, 0, -1, false},
		{"Left", {SDL_SCANCODE_LEFT}, 0, -1, false},
		{"keypad 4", {SDL_SCANCODE_KP_4}, 0, -1, false},
		{"digit 4", {SDL_SCANCODE_4}, 0, -1, false},
		{"W and D", {SDL_SCANCODE_W, SDL_SCANCODE_D}, 1, 1, false},
		{"Space", {SDL_SCANCODE_SPACE}, 0, 0, true},
		{"keypad 5", {SDL_SCANCODE_KP_5}, 0, 0, true},
		{"keypad 0", {SDL_SCANCODE_KP_0}, 0, 0, true},
		{"digit 5", {SDL_SCANCODE_5}, 0, 0, true},
		{"digit 0", {SDL_SCANCODE_0}, 0, 0, true},
		{"E is no steering key", {SDL_SCANCODE_E}, 0, 0, false},
	};
	for (const Case& c : cases) {
		keys.state.fill(0);
		for (SDL_Scancode s : c.keys)
			keys.press(s);
		read();
		EXPECT_EQ(out.forward, c.forward) << c.name;
		EXPECT_EQ(out.right, c.right) << c.name;
		EXPECT_EQ(out.jump, c.jump) << c.name;
		EXPECT_FALSE(out.stickMode) << c.name;
		// Without a stick, the keys are the stick too.
		EXPECT_EQ(out.stickX, c.right) << c.name;
		EXPECT_EQ(out.stickY, c.forward) << c.name;
	}
}

TEST_F(PlayerInputTest, OppositeKeysCancelAndLeaveTheKeyboardInactive) {
	keys.press(SDL_SCANCODE_W);
	keys.press(SDL_SCANCODE_S);
	read();
	EXPECT_EQ(out.forward, 0.f);
	EXPECT_EQ(input.kind(), kNoInput); // nothing was used
	keys.release(SDL_SCANCODE_S);
	read();
	EXPECT_EQ(input.kind(), kKeyboardInput);
}

// --- Pads and plain sticks

TEST_F(PlayerInputTest, DeadZoneZeroesWithoutRescaling) {
	VirtualPad& pad = plug();
	struct Case {
		const char* name;
		float value, stick;
	};
	const Case cases[] = {{"0.2 is inside", 0.2f, 0.f}, {"0.3 counts as it is", 0.3f, 0.3f}, {"full", 1.f, 1.f}};
	for (const Case& c : cases) {
		pad.setAxis(SDL_CONTROLLER_AXIS_LEFTX, c.value);
		read();
		EXPECT_NEAR(out.stickX, c.stick, 1e-4f) << c.name;
	}
}

TEST_F(PlayerInputTest, ThePadPushedFurthestSteers) {
	VirtualPad& first = plug();
	VirtualPad& second = plug();
	first.setAxis(SDL_CONTROLLER_AXIS_LEFTX, 0.6f); // sum 0.6
	second.setAxis(SDL_CONTROLLER_AXIS_LEFTX, -0.3f);
	second.setAxis(SDL_CONTROLLER_AXIS_LEFTY, -0.4f); // sum 0.7, pushed up
	read();
	EXPECT_NEAR(out.stickX, -0.3f, 1e-4f);
	EXPECT_NEAR(out.stickY, 0.4f, 1e-4f); // LEFTY up is forward
	EXPECT_TRUE(out.stickMode);
	EXPECT_EQ(input.kind(), kControllerInput);

	first.setAxis(SDL_CONTROLLER_AXIS_LEFTY, 0.5f); // now 1.1
	read();
	EXPECT_NEAR(out.stickX, 0.6f, 1e-4f);
	EXPECT_NEAR(out.stickY, -0.5f, 1e-4f);
}

TEST_F(PlayerInputTest, RightStickTurnsTheCameraWithYNotNegated) {
	VirtualPad& pad = plug();
	pad.setAxis(SDL_CONTROLLER_AXIS_RIGHTX, 0.5f);
	pad.setAxis(SDL_CONTROLLER_AXIS_RIGHTY, 0.5f);
	read(0.1f);
	EXPECT_NEAR(out.cameraYaw, 0.5f * 2.6f * 0.1f, 1e-4f);
	EXPECT_NEAR(out.cameraPitch, 0.5f * 1.8f * 0.1f, 1e-4f);
	EXPECT_EQ(input.kind(), kControllerInput);
	EXPECT_TRUE(out.stickMode);
	EXPECT_EQ(out.stickX, 0.f);
}

TEST_F(PlayerInputTest, PadButtonsAndDpad) {
	VirtualPad& pad = plug();
	struct Case {
		const char* name;
		int button;
		float forward, right;
		bool jump;
	};
	const Case cases[] = {
		{"d-pad up", SDL_CONTROLLER_BUTTON_DPAD_UP, 1, 0, false},
		{"d-pad down", SDL_CONTROLLER_BUTTON_DPAD_DOWN, -1, 0, false},
		{"d-pad right", SDL_CONTROLLER_BUTTON_DPAD_RIGHT, 0, 1, false},
		{"d-pad left", SDL_CONTROLLER_BUTTON_DPAD_LEFT, 0, -1, false},
		{"A", SDL_CONTROLLER_BUTTON_A, 0, 0, true},
		{"B", SDL_CONTROLLER_BUTTON_B, 0, 0, true},
		{"X", SDL_CONTROLLER_BUTTON_X, 0, 0, false},
	};
	for (const Case& c : cases) {
		pad.setButton(c.button, true);
		read();
		EXPECT_EQ(out.forward, c.forward) << c.name;
		EXPECT_EQ(out.right, c.right) << c.name;
		EXPECT_EQ(out.jump, c.jump) << c.name;
		EXPECT_EQ(input.actionButtonDown(), c.button == SDL_CONTROLLER_BUTTON_A) << c.name;
		pad.setButton(c.button, false);
	}
	// The d-pad steers by heading, not as a stick.
	pad.setButton(SDL_CONTROLLER_BUTTON_DPAD_UP, true);
	read();
	EXPECT_FALSE(out.stickMode);
	EXPECT_EQ(input.kind(), kControllerInput);
}

TEST_F(PlayerInputTest, PlainStickAxesHatAndButtons) {
	VirtualPad& stick = plug(VirtualPad::PlainStick);
	stick.setAxis(0, 0.5f);
	stick.setAxis(1, -0.5f);
	read();
	EXPECT_NEAR(out.stickX, 0.5f, 1e-4f);
	EXPECT_NEAR(out.stickY, 0.5f, 1e-4f);
	EXPECT_EQ(input.kind(), kControllerInput);

	// A pad's left stick takes precedence over the plain stick's axes.
	VirtualPad& pad = plug();
	pad.setAxis(SDL_CONTROLLER_AXIS_LEFTX, -0.25f);
	read();
	EXPECT_NEAR(out.stickX, -0.25f, 1e-4f);
	EXPECT_EQ(out.stickY, 0.f);
	pad.setAxis(SDL_CONTROLLER_AXIS_LEFTX, 0.f);
	stick.setAxis(0, 0.f);
	stick.setAxis(1, 0.f);

	stick.setHat(SDL_HAT_UP | SDL_HAT_LEFT);
	read();
	EXPECT_EQ(out.forward, 1.f);
	EXPECT_EQ(out.right, -1.f);
	stick.setHat(SDL_HAT_CENTERED);

	struct Case {
		int button;
		bool jump;
	};
	for (const Case c : {Case{0, true}, Case{1, true}, Case{2, false}, Case{3, false}}) {
		stick.setButton(c.button, true);
		read();
		EXPECT_EQ(out.jump, c.jump) << "button " << c.button;
		stick.setButton(c.button, false);
	}
}

// --- Touch

TEST_F(PlayerInputTest, AFingerInTheMenuCornerIsIgnoredUnderEveryScheme) {
	for (TouchScheme scheme : {TouchScheme::Modern, TouchScheme::Classic, TouchScheme::Accelerometer}) {
		input.settings.touch = scheme;
		touch(SDL_FINGERDOWN, 1, 0.05f, 0.1f);
		EXPECT_FALSE(input.moveTouch().active) << int(scheme);
		EXPECT_FALSE(input.cameraTouch().active) << int(scheme);
	}
}

TEST_F(PlayerInputTest, ModernSplitsAtTheMiddleClassicTakesTheFirstFreeRecord) {
	touch(SDL_FINGERDOWN, 1, 0.7f, 0.5f);
	EXPECT_FALSE(input.moveTouch().active);
	EXPECT_EQ(input.cameraTouch().id, 1);
	touch(SDL_FINGERDOWN, 2, 0.3f, 0.5f);
	EXPECT_EQ(input.moveTouch().id, 2);
	touch(SDL_FINGERDOWN, 3, 0.2f, 0.5f); // the move record is taken
	EXPECT_EQ(input.moveTouch().id, 2);
	touch(SDL_FINGERUP, 1, 0.7f, 0.5f);
	touch(SDL_FINGERUP, 2, 0.3f, 0.5f);

	input.settings.touch = TouchScheme::Classic;
	touch(SDL_FINGERDOWN, 4, 0.7f, 0.5f);
	touch(SDL_FINGERDOWN, 5, 0.3f, 0.5f);
	EXPECT_EQ(input.moveTouch().id, 4);
	EXPECT_EQ(input.cameraTouch().id, 5);
}

TEST_F(PlayerInputTest, ModernMoveRadius) {
	// R is 0.14 of the height: 140 pixels. Offsets are straight up.
	struct Case {
		const char* name;
		float pixels, length;
	};
	const float r = 140.f;
	const Case cases[] = {
		{"under 0.08 R", 0.07f * r, 0.f},
		{"half R", 0.5f * r, std::pow((0.5f - 0.08f) / 0.92f, 1.6f)},
		{"R", r, 1.f},
		{"beyond R", 3.f * r, 1.f},
	};
	for (const Case& c : cases) {
		touch(SDL_FINGERDOWN, 1, 0.3f, 0.5f);
		touch(SDL_FINGERMOTION, 1, 0.3f, 0.5f - c.pixels / H);
		read();
		EXPECT_NEAR(out.stickY, c.length, 1e-4f) << c.name;
		EXPECT_NEAR(out.stickX, 0.f, 1e-6f) << c.name;
		EXPECT_EQ(out.stickMode, c.length > 0.f) << c.name;
		touch(SDL_FINGERUP, 1, 0.3f, 0.5f - c.pixels / H);
		read(1.f); // lets any swipe run out
	}
}

TEST_F(PlayerInputTest, ClassicMovesOnceMovedWithItsOwnRadiusAndThreshold) {
	input.settings.touch = TouchScheme::Classic;
	// R is 0.08 of the height: 80 pixels. A finger counts as moved past 60 pixels.
	touch(SDL_FINGERDOWN, 1, 0.5f, 0.5f);
	touch(SDL_FINGERMOTION, 1, 0.5f + 0.11f * 80.f / W, 0.5f);
	read();
	EXPECT_EQ(out.stickX, 0.f) << "not moved yet";
	touch(SDL_FINGERMOTION, 1, 0.5f + 100.f / W, 0.5f);
	touch(SDL_FINGERMOTION, 1, 0.5f + 0.11f * 80.f / W, 0.5f);
	read();
	EXPECT_EQ(out.stickX, 0.f) << "under the 0.12 threshold";
	touch(SDL_FINGERMOTION, 1, 0.5f + 0.56f * 80.f / W, 0.5f);
	read();
	EXPECT_NEAR(out.stickX, 0.5f, 1e-4f);
	touch(SDL_FINGERMOTION, 1, 0.5f + 2.f * 80.f / W, 0.5f);
	read();
	EXPECT_NEAR(out.stickX, 1.f, 1e-4f);
}

TEST_F(PlayerInputTest, ClassicHoldTurnsTheCameraTowardsItsSideAndEasesBack) {
	input.settings.touch = TouchScheme::Classic;
	touch(SDL_FINGERDOWN, 1, 0.8f, 0.5f);
	clock.now += 201;
	float last = 0.f;
	for (int i = 0; i < 60; ++i) {
		read(0.05f);
		EXPECT_GT(input.holdTurn(), last) << "read " << i;
		last = input.holdTurn();
		if (last > 1.799f)
			break;
	}
	EXPECT_NEAR(input.holdTurn(), 1.8f, 1e-3f);
	EXPECT_NEAR(out.cameraYaw, 0.05f * input.holdTurn(), 1e-4f);
	touch(SDL_FINGERUP, 1, 0.8f, 0.5f);
	int reads = 0;
	while (input.holdTurn() != 0.f && reads < 100) {
		read(0.05f);
		EXPECT_TRUE(input.holdTurn() == 0.f || input.holdTurn() >= 0.01f) << "read " << reads;
		++reads;
	}
	EXPECT_EQ(input.holdTurn(), 0.f);
	EXPECT_LT(reads, 100);

	// On the left half it turns the other way.
	touch(SDL_FINGERDOWN, 2, 0.3f, 0.5f);
	clock.now += 201;
	read(0.1f);
	EXPECT_NEAR(input.holdTurn(), -1.8f, 1e-4f);
}

TEST_F(PlayerInputTest, TwoQuickTapsJumpForSixReads) {
	struct Case {
		const char* name;
		std::uint32_t apart;
		int jumps;
	};
	for (const Case& c : {Case{"300 ms apart", 300, 6}, Case{"400 ms apart", 400, 0}}) {
		PlayerInput fresh(keys, clock, devices, controllers);
		auto freshTap = [&] {
			fresh.handleTouchEvent(finger(SDL_FINGERDOWN, 7, 0.3f, 0.5f), W, H);
			clock.now += 100;
			fresh.handleTouchEvent(finger(SDL_FINGERUP, 7, 0.3f, 0.5f), W, H);
		};
		freshTap();
		clock.now += c.apart - 100;
		freshTap();
		int jumps = 0;
		for (int i = 0; i < 10; ++i) {
			fresh.read(out, W, H, true, 0.016f);
			jumps += out.jump ? 1 : 0;
		}
		EXPECT_EQ(jumps, c.jumps) << c.name;
	}
}

TEST_F(PlayerInputTest, AQuickSwipeMovesTheBallForAMoment) {
	touch(SDL_FINGERDOWN, 1, 0.3f, 0.5f);
	clock.now += 100;
	touch(SDL_FINGERMOTION, 1, 0.3f + 80.f / W, 0.5f); // 80 px right, over 0.06 h
	clock.now += 100;
	touch(SDL_FINGERUP, 1, 0.3f + 80.f / W, 0.5f);
	int moving = 0;
	for (int i = 0; i < 6; ++i) {
		read(0.1f);
		if (out.stickX != 0.f) {
			EXPECT_NEAR(out.stickX, 1.f, 1e-5f);
			EXPECT_NEAR(out.stickY, 0.f, 1e-5f);
			++moving;
		}
	}
	EXPECT_EQ(moving, 4); // 0.35 s at 0.1 s a read
	EXPECT_EQ(input.kind(), kTouchInput);
}

TEST_F(PlayerInputTest, ClassicHandsTheCameraFingerOverWhenTheMoveFingerLifts) {
	input.settings.touch = TouchScheme::Classic;
	touch(SDL_FINGERDOWN, 1, 0.3f, 0.5f);
	touch(SDL_FINGERDOWN, 2, 0.7f, 0.5f);
	touch(SDL_FINGERMOTION, 2, 0.75f, 0.6f);
	clock.now += 300;
	touch(SDL_FINGERUP, 1, 0.3f, 0.5f);
	EXPECT_TRUE(input.moveTouch().active);
	EXPECT_EQ(input.moveTouch().id, 2);
	EXPECT_FALSE(input.moveTouch().moved);
	EXPECT_EQ(input.moveTouch().startX, 0.75f);
	EXPECT_EQ(input.moveTouch().startY, 0.6f);
	EXPECT_FALSE(input.cameraTouch().active);
}

TEST_F(PlayerInputTest, FingersAreReleasedByTheTiltSchemeAndWhenNoLongerListed) {
	touch(SDL_FINGERDOWN, 1, 0.3f, 0.5f);
	touch(SDL_FINGERDOWN, 2, 0.7f, 0.5f);
	devices.touchDevices = 1;
	devices.fingersDown = {2};
	read();
	EXPECT_FALSE(input.moveTouch().active);
	EXPECT_TRUE(input.cameraTouch().active);

	input.settings.touch = TouchScheme::Accelerometer;
	read();
	EXPECT_FALSE(input.cameraTouch().active);
	touch(SDL_FINGERDOWN, 3, 0.3f, 0.5f);
	EXPECT_FALSE(input.moveTouch().active);
}

TEST_F(PlayerInputTest, ADrawableOfNoHeightMovesNothing) {
	touch(SDL_FINGERDOWN, 1, 0.3f, 0.5f);
	touch(SDL_FINGERMOTION, 1, 0.3f, 0.3f);
	for (int height : {0, -1}) {
		read(0.016f, true, W, height);
		EXPECT_EQ(out.stickX, 0.f) << height;
		EXPECT_EQ(out.stickY, 0.f) << height;
		EXPECT_TRUE(std::isfinite(out.cameraYaw) && std::isfinite(out.cameraPitch)) << height;
	}
}

// --- Camera

TEST_F(PlayerInputTest, CameraDragIsTakenAPartEachRead) {
	touch(SDL_FINGERDOWN, 1, 0.6f, 0.5f);
	touch(SDL_FINGERMOTION, 1, 0.7f, 0.55f); // drag (0.1, 0.05)
	// 3000 x 1000: the aspect divisor is 1.5.
	read(0.02f, true, 3000, 1000);
	const float part = 0.02f * 18.f;
	EXPECT_NEAR(out.cameraYaw, 0.1f * part * kPi * 2.5f, 1e-5f);
	EXPECT_NEAR(out.cameraPitch, 0.05f * part * 2.4f / 1.5f, 1e-5f);
	read(0.02f, true, 3000, 1000);
	EXPECT_NEAR(out.cameraYaw, 0.1f * (1.f - part) * part * kPi * 2.5f, 1e-5f);
	read(1.f, true, 3000, 1000); // the rest at once
	EXPECT_NEAR(out.cameraYaw, 0.1f * (1.f - part) * (1.f - part) * kPi * 2.5f, 1e-5f);
	read(0.02f, true, 3000, 1000);
	EXPECT_EQ(out.cameraYaw, 0.f);

	// Sensitivity scales it; invert_y turns the pitch; a narrow window divides by 1.
	input.settings.cameraSensitivity = 2.f;
	input.settings.invertY = true;
	touch(SDL_FINGERMOTION, 1, 0.8f, 0.65f);
	read(1.f, true, 1000, 1000);
	EXPECT_NEAR(out.cameraYaw, 0.1f * kPi * 2.5f * 2.f, 1e-5f);
	EXPECT_NEAR(out.cameraPitch, -0.1f * 2.4f * 2.f, 1e-5f);
}

TEST_F(PlayerInputTest, MouseMotionTurnsTheCameraOnceAndIsUsedUp) {
	input.mouseDX = 10.f;
	input.mouseDY = -4.f;
	input.settings.cameraSensitivity = 1.5f;
	read();
	EXPECT_NEAR(out.cameraYaw, 10.f * 0.005f * 1.5f, 1e-6f);
	EXPECT_NEAR(out.cameraPitch, -4.f * 0.005f * 1.5f, 1e-6f);
	EXPECT_EQ(input.mouseDX, 0.f);
	EXPECT_EQ(input.mouseDY, 0.f);
	read();
	EXPECT_EQ(out.cameraYaw, 0.f);
	input.settings.invertY = true;
	input.mouseDY = -4.f;
	read();
	EXPECT_NEAR(out.cameraPitch, 4.f * 0.005f * 1.5f, 1e-6f);
}

TEST_F(PlayerInputTest, ControlsComingOnAskForATiltCalibration) {
	read(0.016f, false);
	EXPECT_FALSE(controllers.calibrateRequested);
	read(0.016f, true);
	EXPECT_TRUE(controllers.calibrateRequested);
	controllers.calibrateRequested = false;
	read(0.016f, true);
	EXPECT_FALSE(controllers.calibrateRequested) << "only the change asks";
}

// --- Tilt

class TiltTest : public PlayerInputTest {
protected:
	void SetUp() override {
		PlayerInputTest::SetUp();
		input.settings.touch = TouchScheme::Accelerometer;
		devices.accelerometer = SensorRead::Sample;
		hold(0.f, 0.f); // flat: the reference
		read();
	}
	// Gravity seen by a device tilted by a about one axis and b about the other.
	void hold(float a, float b) {
		const float g = 9.81f;
		devices.sample[0] = g * std::sin(b) * std::cos(a);
		devices.sample[1] = -g * std::sin(a);
		devices.sample[2] = g * std::cos(a) * std::cos(b);
	}
	// Holds the tilt long enough for the low-pass filter to settle on it.
	const MoveInput& settle(float a, float b) {
		hold(a, b);
		for (int i = 0; i < 150; ++i)
			read();
		return out;
	}
};

TEST_F(TiltTest, SidewaysDeadZoneAndFullOutput) {
	struct Case {
		const char* name;
		float angle, x;
	};
	const Case cases[] = {
		{"inside the dead zone", 0.048f, 0.f},
		{"just past its edge (0.049)", 0.0505f, -(0.0505f / 0.35f - 0.14f) / 0.86f},
		{"full", 0.35f, -1.f},
		{"beyond full", 0.6f, -1.f},
		{"the other way", -0.35f, 1.f},
	};
	for (const Case& c : cases) {
		settle(c.angle, 0.f);
		EXPECT_NEAR(out.stickX, c.x, 1e-4f) << c.name;
		EXPECT_NEAR(out.stickY, 0.f, 1e-6f) << c.name;
		EXPECT_TRUE(out.stickMode) << c.name;
		EXPECT_TRUE(out.tiltCameraFollow) << c.name;
		EXPECT_EQ(input.kind(), kTiltInput) << c.name;
	}
	// The forward dead zone is 0.08: 0.028 rad.
	settle(0.f, 0.027f);
	EXPECT_EQ(out.stickY, 0.f);
	settle(0.f, 0.35f);
	EXPECT_NEAR(out.stickY, -1.f, 1e-4f);
}

TEST_F(TiltTest, LowPassTakesFifteenPercentOfEachSample) {
	hold(kPi / 2.f, 0.f); // on its side
	read();
	// filter = (0, -0.15 g, 0.85 g): 0.1747 rad.
	const float angle = std::atan2(0.15f, 0.85f);
	EXPECT_NEAR(out.stickX, -(angle / 0.35f - 0.14f) / 0.86f, 1e-4f);
}

TEST_F(TiltTest, TooLittleGravityGivesNothing) {
	settle(0.3f, 0.f);
	EXPECT_LT(out.stickX, -0.5f);
	// Free fall: the filtered gravity drops below 5 m/s².
	for (int i = 0; i < 150; ++i) {
		devices.sample[0] = devices.sample[1] = 0.f;
		devices.sample[2] = 4.9f;
		read();
	}
	EXPECT_EQ(out.stickX, 0.f);
	EXPECT_EQ(out.stickY, 0.f);
}

TEST_F(TiltTest, ReferenceIsTakenAgainOnRequestAndWhenControlsStart) {
	settle(0.3f, 0.f);
	EXPECT_LT(out.stickX, -0.5f);
	controllers.calibrateRequested = true;
	read();
	EXPECT_FALSE(controllers.calibrateRequested);
	EXPECT_EQ(out.stickX, 0.f) << "the tilt held now is level";

	// Laid flat while the controls are off, then the controls come on: the
	// flat position becomes level.
	hold(0.f, 0.f);
	for (int i = 0; i < 150; ++i)
		read(0.016f, false);
	EXPECT_GT(out.stickX, 0.5f);
	read(0.016f, true);
	EXPECT_FALSE(controllers.calibrateRequested);
	EXPECT_EQ(out.stickX, 0.f);
}

TEST_F(TiltTest, FlippedLandscapeAndInvertSettingsReverse) {
	struct Case {
		const char* name;
		bool flipped, invertX, invertY;
		float x, y;
	};
	const Case cases[] = {
		{"landscape", false, false, false, -1.f, -1.f},
		{"landscape flipped", true, false, false, 1.f, 1.f},
		{"invert x", false, true, false, 1.f, -1.f},
		{"invert y", false, false, true, -1.f, 1.f},
	};
	for (const Case& c : cases) {
		devices.orientation = c.flipped ? SDL_ORIENTATION_LANDSCAPE_FLIPPED : SDL_ORIENTATION_LANDSCAPE;
		input.settings.tiltInvertX = c.invertX;
		input.settings.tiltInvertY = c.invertY;
		settle(0.f, 0.f);
		controllers.calibrateRequested = true;
		read();
		settle(0.4f, 0.4f);
		EXPECT_NEAR(out.stickX, c.x, 1e-4f) << c.name;
		EXPECT_NEAR(out.stickY, c.y, 1e-4f) << c.name;
	}
}

TEST_F(TiltTest, AShakeJumpsForSixReadsThenCoolsDown) {
	auto shake = [&] {
		devices.sample[2] = 40.f;
		read(0.1f);
		hold(0.f, 0.f);
	};
	auto jumpsIn = [&](int reads) {
		int jumps = 0;
		for (int i = 0; i < reads; ++i)
			jumps += read(0.01f).jump ? 1 : 0;
		return jumps;
	};
	shake();
	EXPECT_EQ(jumpsIn(10), 6);
	shake(); // 0.2 s after the first: still cooling down
	EXPECT_EQ(jumpsIn(10), 0);
	for (int i = 0; i < 8; ++i)
		read(0.1f);
	shake();
	EXPECT_EQ(jumpsIn(10), 6);
}

TEST_F(TiltTest, NoAccelerometerOrAFailedRead) {
	settle(0.35f, 0.f);
	devices.accelerometer = SensorRead::Failed;
	read();
	EXPECT_EQ(input.kind(), kTiltInput) << "a failed read still counts as tilting";
	devices.accelerometer = SensorRead::Absent;
	input.mouseDX = 1.f;
	read();
	EXPECT_EQ(input.kind(), kMouseInput);
	EXPECT_FALSE(out.tiltCameraFollow);
}

// --- Input kind

TEST_F(PlayerInputTest, KindAndStickModeRules) {
	VirtualPad& pad = plug();
	struct Case {
		const char* name;
		std::function<void()> set;
		int kind;
		bool stickMode;
	};
	// Each case starts after a read that left stick mode on (mouse motion).
	const Case cases[] = {
		{"mouse motion", [&] { input.mouseDX = 2.f; }, kMouseInput, true},
		{"mouse motion while tilting",
		 [&] {
			 input.mouseDX = 2.f;
			 input.settings.touch = TouchScheme::Accelerometer;
			 devices.accelerometer = SensorRead::Sample;
		 },
		 kTiltInput, true},
		{"mouse motion with a touch move",
		 [&] {
			 input.mouseDY = 2.f;
			 touch(SDL_FINGERDOWN, 1, 0.3f, 0.5f);
			 touch(SDL_FINGERMOTION, 1, 0.3f, 0.3f);
		 },
		 kTouchInput, true},
		{"tilt",
		 [&] {
			 input.settings.touch = TouchScheme::Accelerometer;
			 devices.accelerometer = SensorRead::Sample;
			 keys.press(SDL_SCANCODE_W);
		 },
		 kTiltInput, true},
		{"touch move",
		 [&] {
			 touch(SDL_FINGERDOWN, 1, 0.3f, 0.5f);
			 touch(SDL_FINGERMOTION, 1, 0.3f, 0.3f);
			 keys.press(SDL_SCANCODE_W);
		 },
		 kTouchInput, true},
		{"captured mouse and keys",
		 [&] {
			 input.mouseCaptured = true;
			 keys.press(SDL_SCANCODE_W);
		 },
		 kMouseInput, true},
		{"left stick", [&] { pad.setAxis(SDL_CONTROLLER_AXIS_LEFTX, 0.5f); }, kControllerInput, true},
		{"right stick", [&] { pad.setAxis(SDL_CONTROLLER_AXIS_RIGHTY, 0.5f); }, kControllerInput, true},
		{"stick and keys",
		 [&] {
			 pad.setAxis(SDL_CONTROLLER_AXIS_LEFTX, 0.5f);
			 keys.press(SDL_SCANCODE_D);
		 },
		 kControllerInput, false},
		{"d-pad", [&] { pad.setButton(SDL_CONTROLLER_BUTTON_DPAD_UP, true); }, kControllerInput, false},
		{"button A", [&] { pad.setButton(SDL_CONTROLLER_BUTTON_A, true); }, kControllerInput, true},
		{"button B and keys",
		 [&] {
			 pad.setButton(SDL_CONTROLLER_BUTTON_B, true);
			 keys.press(SDL_SCANCODE_W);
		 },
		 kControllerInput, false},
		{"jump key", [&] { keys.press(SDL_SCANCODE_SPACE); }, kKeyboardInput, true},
		{"steering key", [&] { keys.press(SDL_SCANCODE_A); }, kKeyboardInput, false},
		{"nothing", [] {}, kMouseInput, true},
	};
	for (const Case& c : cases) {
		input.mouseDX = 1.f;
		read(1.f);
		ASSERT_EQ(input.kind(), kMouseInput) << c.name;
		c.set();
		read(1.f);
		EXPECT_EQ(input.kind(), c.kind) << c.name;
		EXPECT_EQ(out.stickMode, c.stickMode) << c.name;
		// Back to nothing held.
		keys.state.fill(0);
		input.mouseCaptured = false;
		input.settings.touch = TouchScheme::Modern;
		devices.accelerometer = SensorRead::Absent;
		for (int a = 0; a < SDL_CONTROLLER_AXIS_MAX; ++a)
			pad.setAxis(a, 0.f);
		for (int b = 0; b < SDL_CONTROLLER_BUTTON_MAX; ++b)
			pad.setButton(b, false);
		touch(SDL_FINGERUP, 1, 0.3f, 0.3f);
		read(1.f);
	}
}

TEST_F(PlayerInputTest, KindNoticesWaitOutTheirInterval) {
	clock.now = 10000;
	keys.press(SDL_SCANCODE_W);
	read();
	EXPECT_EQ(input.kind(), kKeyboardInput);
	EXPECT_EQ(input.pollInputKindChange(), 0) << "the first kind is silent";

	keys.state.fill(0);
	input.mouseDX = 3.f;
	read();
	EXPECT_EQ(input.pollInputKindChange(), kMouseInput);

	// Back and forth within 1500 ms: one notice, of the last kind, once the time is up.
	clock.now += 500;
	keys.press(SDL_SCANCODE_W);
	read();
	EXPECT_EQ(input.pollInputKindChange(), 0);
	keys.state.fill(0);
	input.mouseDX = 3.f;
	read();
	clock.now += 500;
	keys.press(SDL_SCANCODE_S);
	read();
	EXPECT_EQ(input.pollInputKindChange(), 0);
	clock.now += 499;
	EXPECT_EQ(input.pollInputKindChange(), 0);
	clock.now += 1;
	EXPECT_EQ(input.pollInputKindChange(), kKeyboardInput);
	EXPECT_EQ(input.pollInputKindChange(), 0);

	// A change back to the kind last announced is no news.
	clock.now += 100;
	keys.state.fill(0);
	input.mouseDX = 3.f;
	read();
	keys.press(SDL_SCANCODE_W);
	read();
	clock.now += 2000;
	EXPECT_EQ(input.pollInputKindChange(), 0);
}

TEST_F(PlayerInputTest, ReadAllocatesNothing) {
	plug();
	plug(VirtualPad::PlainStick);
	keys.press(SDL_SCANCODE_W);
	touch(SDL_FINGERDOWN, 1, 0.3f, 0.5f);
	touch(SDL_FINGERDOWN, 2, 0.7f, 0.5f);
	touch(SDL_FINGERMOTION, 2, 0.8f, 0.5f);
	devices.touchDevices = 1;
	devices.fingersDown = {1, 2};
	read();
	for (TouchScheme scheme : {TouchScheme::Modern, TouchScheme::Classic, TouchScheme::Accelerometer}) {
		input.settings.touch = scheme;
		devices.accelerometer = SensorRead::Sample;
		const long before = test::allocationCount();
		for (int i = 0; i < 100; ++i)
			read();
		EXPECT_EQ(test::allocationCount() - before, 0) << int(scheme);
	}
}

} // namespace
