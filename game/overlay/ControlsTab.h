// The controls tab: the camera, the game controllers with the connected
// ones, and, on a device with a touch screen, the touch scheme with the tilt
// rows of the accelerometer scheme and its calibrate button.
#pragma once

#include "overlay/MenuTab.h"

#include <functional>
#include <utility>

namespace lumaroll {

class MenuContext;
class Notices;

class ControlsTab : public MenuTab {
public:
    // Both are the overlay's and outlive the tab.
    ControlsTab(MenuContext& context, Notices& notices);

    // The touch section is drawn only while the platform's devices report a
    // touch screen; a scheme chosen in a frame shows its rows from the next.
    void draw() override;

    // The calibrate button's action (main asks the controller manager for a
    // tilt calibration); the button confirms with a notice once it ran.
    // Empty: the button does nothing.
    void setCalibrateAction(std::function<void()> action) { calibrate = std::move(action); }

private:
    MenuContext& context;
    Notices& notices;
    std::function<void()> calibrate;
};

} // namespace lumaroll
