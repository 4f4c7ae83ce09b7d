// The improvements tab: changes of this port to how the original game plays,
// each a setting the level logic reads from the environment.
#pragma once

#include "overlay/MenuTab.h"

namespace lumaroll {

class MenuContext;

class ImprovementsTab : public MenuTab {
public:
    // The context is the overlay's and outlives the tab.
    explicit ImprovementsTab(MenuContext& context);

    // A change is stored and copied into the environment at once
    // (Settings::applyEnvironment).
    void draw() override;

private:
    MenuContext& context;
};

} // namespace lumaroll
