// The controller manager with SDL's virtual joysticks: the mapping database
// and start-up lines, plugging and unplugging pads and plain sticks, and
// rumble.
#include "input/Controllers.h"
#include "support/Files.h"
#include "support/ScopedEnv.h"
#include "support/SdlEvents.h"
#include "support/TempDir.h"
#include "support/VirtualPad.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace lumaroll;
using test::VirtualPad;

namespace {

// Offers every queued SDL event to the manager; returns the event types it took.
std::vector<Uint32> offerQueuedEvents(Controllers& controllers) {
	std::vector<Uint32> taken;
	test::drain([&](const SDL_Event& e) {
		if (controllers.handleDeviceEvent(e))
			taken.push_back(e.type);
	});
	return taken;
}

TEST(ControllersTest, MappingCountCountsOnlyFilesThatExistAndSensorsReportNone) {
	test::TempDir config;
	test::ScopedEnv env{{"XDG_CONFIG_HOME", config.path().c_str()}};
	Controllers controllers;

	// Neither the file beside the program nor the user's exists: 0, not -1 or -2.
	testing::internal::CaptureStdout();
	EXPECT_EQ(controllers.loadMappings(), 0);
	EXPECT_EQ(testing::internal::GetCapturedStdout(), "controllers: 0 mappings from SDL_GameControllerDB\n");

	ASSERT_TRUE(
		test::writeFile(config.path() + "/lumaroll/gamecontrollerdb.txt",
						"03000000de1100000100000000000000,Test Pad One,a:b0,b:b1,leftx:a0,lefty:a1,platform:Linux,\n"
						"03000000de1100000200000000000000,Test Pad Two,a:b1,b:b0,leftx:a0,lefty:a1,platform:Linux,\n"));
	testing::internal::CaptureStdout();
	EXPECT_EQ(controllers.loadMappings(), 2);
	EXPECT_EQ(testing::internal::GetCapturedStdout(), "controllers: 2 mappings from SDL_GameControllerDB\n");

	// No virtual sensor or haptic device exists in SDL.
	testing::internal::CaptureStdout();
	controllers.openSensors();
	EXPECT_EQ(testing::internal::GetCapturedStdout(), "sensors: accelerometer no, vibration no\n");
	EXPECT_EQ(controllers.accelerometer, nullptr);
	EXPECT_EQ(controllers.haptic, nullptr);
}

TEST(ControllersTest, APadIsOpenedOnceAndFreedBySdlWhenUnplugged) {
	Controllers controllers;
	test::drain([](const SDL_Event&) {});
	SDL_JoystickID id = -1;
	{
		VirtualPad pad;
		ASSERT_TRUE(pad.attached()) << pad.error();
		id = pad.instanceId();
		testing::internal::CaptureStdout();
		const std::vector<Uint32> added = offerQueuedEvents(controllers);
		// Two sessions start with the pad attached: each opens what it finds.
		controllers.openAll();
		controllers.openAll();
		EXPECT_EQ(testing::internal::GetCapturedStdout(), "controller: Virtual Pad\n");
		EXPECT_EQ(added, (std::vector<Uint32>{SDL_CONTROLLERDEVICEADDED, SDL_JOYDEVICEADDED}));
		ASSERT_EQ(controllers.controllers.size(), 1u);
		EXPECT_TRUE(controllers.joysticks.empty());
		EXPECT_TRUE(controllers.holds(id));

		pad.detach();
		const std::vector<Uint32> removed = offerQueuedEvents(controllers);
		EXPECT_EQ(removed, (std::vector<Uint32>{SDL_CONTROLLERDEVICEREMOVED, SDL_JOYDEVICEREMOVED}));
	}
	EXPECT_TRUE(controllers.controllers.empty());
	// One close per open: SDL holds the pad no more.
	EXPECT_EQ(SDL_GameControllerFromInstanceID(id), nullptr);

	// Plugged in again, it is announced again.
	VirtualPad again;
	ASSERT_TRUE(again.attached()) << again.error();
	testing::internal::CaptureStdout();
	offerQueuedEvents(controllers);
	EXPECT_EQ(testing::internal::GetCapturedStdout(), "controller: Virtual Pad\n");
	again.detach();
	offerQueuedEvents(controllers);
	EXPECT_TRUE(controllers.controllers.empty());
}

TEST(ControllersTest, APlainStickIsHeldAsAJoystickOnly) {
	Controllers controllers;
	test::drain([](const SDL_Event&) {});
	VirtualPad stick(VirtualPad::PlainStick);
	ASSERT_TRUE(stick.attached()) << stick.error();
	EXPECT_FALSE(SDL_IsGameController(stick.deviceIndex()));
	testing::internal::CaptureStdout();
	const std::vector<Uint32> added = offerQueuedEvents(controllers);
	EXPECT_EQ(testing::internal::GetCapturedStdout(),
			  "generic controller (no known mapping): Plain Stick, 2 axes, 4 buttons\n");
	EXPECT_EQ(added, (std::vector<Uint32>{SDL_JOYDEVICEADDED}));
	EXPECT_TRUE(controllers.controllers.empty());
	ASSERT_EQ(controllers.joysticks.size(), 1u);
	stick.detach();
	offerQueuedEvents(controllers);
	EXPECT_TRUE(controllers.joysticks.empty());
}

TEST(ControllersTest, OtherEventsAreLeftToTheCaller) {
	Controllers controllers;
	for (Uint32 type : {Uint32(SDL_KEYDOWN), Uint32(SDL_CONTROLLERBUTTONDOWN), Uint32(SDL_CONTROLLERAXISMOTION),
						Uint32(SDL_JOYAXISMOTION), Uint32(SDL_CONTROLLERDEVICEREMAPPED), Uint32(SDL_QUIT)}) {
		SDL_Event e{};
		e.type = type;
		EXPECT_FALSE(controllers.handleDeviceEvent(e)) << "event type 0x" << std::hex << type;
	}
}

TEST(ControllersTest, RumbleDuration) {
	struct Case {
		const char* name;
		float strength;
		int ms;
	};
	const Case cases[] = {
		{"full", 1.f, 45},
		{"half, below the floor", 0.5f, 30},
		{"truncated", 0.7f, 31},
		{"above the ceiling", 10.f, 250},
		{"negative", -1.f, 30},
		{"NaN", std::numeric_limits<float>::quiet_NaN(), 30},
		{"infinite", std::numeric_limits<float>::infinity(), 250},
	};
	for (const Case& c : cases)
		EXPECT_EQ(Controllers::rumbleMilliseconds(c.strength), c.ms) << c.name;
}

TEST(ControllersTest, RumbleReachesEveryPadUnlessVibrationIsOff) {
	Controllers controllers;
	test::drain([](const SDL_Event&) {});
	VirtualPad pad;
	ASSERT_TRUE(pad.attached()) << pad.error();
	testing::internal::CaptureStdout();
	controllers.openAll();
	testing::internal::GetCapturedStdout();

	controllers.vibration = false;
	controllers.rumble(1.f);
	EXPECT_TRUE(pad.rumbles.empty());

	controllers.vibration = true;
	controllers.rumble(std::numeric_limits<float>::quiet_NaN());
	ASSERT_EQ(pad.rumbles.size(), 1u);
	EXPECT_EQ(pad.rumbles[0].first, 0x6000);
	EXPECT_EQ(pad.rumbles[0].second, 0xA000);

	pad.detach();
	offerQueuedEvents(controllers);
}

} // namespace
