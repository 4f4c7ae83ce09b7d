// The about tab: the title, the version, the community links (opened in the
// desktop's browser), the original game, and the libraries with their
// licences. It holds nothing of its own.
#pragma once

#include "overlay/MenuTab.h"

namespace lumaroll {

class MenuContext;

class AboutTab : public MenuTab {
public:
    // The context is the overlay's and outlives the tab.
    explicit AboutTab(MenuContext& context);

    // The links stand in one row of four, or in two rows of two in the
    // compact layout when the space is narrower than 520 times the scale.
    void draw() override;

private:
    MenuContext& context;
};

} // namespace lumaroll
