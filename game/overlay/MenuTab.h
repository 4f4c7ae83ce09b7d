// One tab of the port menu, as the menu window draws it: the body, in the
// scrolling content area, while the tab is selected. Inside a GUI frame only.
#pragma once

namespace lumaroll {

class MenuTab {
public:
    virtual ~MenuTab() = default;
    // Draws the tab's rows; changes made with them are stored at once.
    virtual void draw() = 0;
};

} // namespace lumaroll
