// The "controls.*" settings as the player input and the controller manager
// take them; the level session reads them before each frame.
#pragma once

#include "input/InputSettings.h"
#include "store/Settings.h"

#include <string>

namespace lumaroll {

// "classic" and "accelerometer" as they are, any other value (the default
// included) "modern".
TouchScheme touchSchemeOf(const std::string& value);

// The player input's settings from the store, each with its default when
// absent. The camera sensitivity, the dead zone and the tilt sensitivity are
// clamped to their sliders' ranges (store/SettingRanges.h); a value in range
// is used as it is.
InputSettings controlSettings(const Settings& settings);

// "controls.vibration" (default on): whether the level logic's pressure rumbles.
bool vibrationOn(const Settings& settings);

} // namespace lumaroll
