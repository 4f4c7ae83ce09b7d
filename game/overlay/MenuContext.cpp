#include "overlay/MenuContext.h"

namespace lumaroll {

MenuContext::MenuContext(Notices& notices) : saver(notices) {}

void MenuContext::setUp(Window& window, const OverlayPlatform& platform, const MenuMetrics& metrics,
                        bool iconsLoaded)
{
    shownOn = &window;
    reached = platform;
    uiScale = metrics.scale;
    compactLayout = metrics.compact;
    icons = iconsLoaded;
}

} // namespace lumaroll
