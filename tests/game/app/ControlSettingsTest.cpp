// The control settings as the level session hands them to the player input,
// read from a config.ini of any text: the three float settings are always
// numbers within their sliders' ranges, and a value in range is used as it is.
#include "app/ControlSettings.h"

#include "support/Files.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

using namespace lumaroll;

namespace {

struct Row {
	const char* text; // stored in config.ini
	float inForce;	  // what the player input gets
};

struct Control {
	const char* key;
	float InputSettings::*field;
	float fallback;
	std::vector<Row> rows;
};

TEST(ControlSettingsTest, FloatSettingsAreNumbersWithinTheirSlidersRanges) {
	const Control controls[] = {
		{"controls.camera_sensitivity",
		 &InputSettings::cameraSensitivity,
		 1.f,
		 {{"nan", 1.f},
		  {"inf", 1.f},
		  {"-inf", 1.f},
		  {"-5", 0.3f},
		  {"1e38", 3.f},
		  {"0.5", 0.5f},
		  {"1", 1.f},
		  {"abc", 0.3f},
		  {"0.3", 0.3f},
		  {"0.31", 0.31f},
		  {"2.99", 2.99f},
		  {"3", 3.f},
		  {"3.01", 3.f}}},
		{"controls.deadzone",
		 &InputSettings::deadzone,
		 0.22f,
		 {{"nan", 0.22f},
		  {"inf", 0.22f},
		  {"-inf", 0.22f},
		  {"-5", 0.05f},
		  {"1e38", 0.5f},
		  {"0.5", 0.5f},
		  {"0.22", 0.22f},
		  {"abc", 0.05f},
		  {"0.04", 0.05f},
		  {"0.05", 0.05f},
		  {"0.06", 0.06f},
		  {"0.49", 0.49f}}},
		{"controls.tilt_sensitivity",
		 &InputSettings::tiltSensitivity,
		 1.f,
		 {{"nan", 1.f},
		  {"inf", 1.f},
		  {"-inf", 1.f},
		  {"-5", 0.4f},
		  {"1e38", 2.5f},
		  {"0.5", 0.5f},
		  {"1", 1.f},
		  {"abc", 0.4f},
		  {"0.4", 0.4f},
		  {"0.41", 0.41f},
		  {"2.49", 2.49f},
		  {"2.5", 2.5f},
		  {"2.6", 2.5f}}},
	};
	const InputSettings defaults;
	test::TempDir dir;
	const std::string file = dir / "config.ini";
	for (const Control& control : controls) {
		for (const Row& row : control.rows) {
			SCOPED_TRACE(std::string(control.key) + "=" + row.text);
			ASSERT_TRUE(
				test::writeFile(file, std::string("# Lumaroll settings\n") + control.key + "=" + row.text + "\n"));
			Settings settings;
			settings.loadFrom(file);
			const float stored = settings.getFloat(control.key, control.fallback);
			EXPECT_TRUE(std::isfinite(stored)) << stored;
			const InputSettings input = controlSettings(settings);
			EXPECT_EQ(input.*control.field, row.inForce);
			// The others keep their defaults, and reading changed nothing stored.
			for (const Control& other : controls) {
				if (&other != &control) {
					EXPECT_EQ(input.*other.field, defaults.*other.field) << other.key;
				}
			}
			EXPECT_EQ(settings.getString(control.key, ""), row.text);
			EXPECT_EQ(test::readFile(file), std::string("# Lumaroll settings\n") + control.key + "=" + row.text + "\n");
		}
	}
}

TEST(ControlSettingsTest, AbsentSettingsAreTheDefaults) {
	const InputSettings input = controlSettings(Settings());
	EXPECT_EQ(input.cameraSensitivity, 1.f);
	EXPECT_EQ(input.deadzone, 0.22f);
	EXPECT_EQ(input.tiltSensitivity, 1.f);
}

} // namespace
