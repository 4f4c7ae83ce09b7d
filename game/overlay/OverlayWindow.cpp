#include "overlay/OverlayWindow.h"

namespace lumaroll {

WindowSize windowPoints(Window* window)
{
    WindowSize size;
    if (!window || window->minimized())
        return size;
    window->size(size.width, size.height);
    return size;
}

WindowSize windowPixels(Window* window)
{
    WindowSize size;
    if (window)
        window->drawableSize(size.width, size.height);
    return size;
}

} // namespace lumaroll
