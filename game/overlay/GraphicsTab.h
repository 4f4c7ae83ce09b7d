// The graphics tab: fullscreen (showing the window as it is, also after F11,
// whatever is stored), vsync, the drawable size, the render scale in percent,
// the frame-rate limit and the frame-rate counter. It holds nothing of its own:
// the window and the settings are the state it shows.
#pragma once

#include "overlay/MenuTab.h"

namespace lumaroll {

class MenuContext;

class GraphicsTab : public MenuTab {
public:
    // The context is the overlay's and outlives the tab.
    explicit GraphicsTab(MenuContext& context);

    // The fullscreen box and the vsync box change the window at once and
    // store the choice (fullscreen also when the window refused it).
    void draw() override;

private:
    MenuContext& context;
};

} // namespace lumaroll
