#include "app/FrameEnding.h"

namespace lumaroll {

FrameEnding frameEnding(int frameCount, int frames, bool screenshot)
{
    if (screenshot) {
        const bool due = frames < 1 ? frameCount > 2 : frameCount >= frames;
        return due ? FrameEnding::Screenshot : FrameEnding::Continue;
    }
    if (frames > 0 && frameCount >= frames)
        return FrameEnding::Stop;
    return FrameEnding::Continue;
}

} // namespace lumaroll
