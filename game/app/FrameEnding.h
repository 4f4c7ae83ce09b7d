// How "--frames" and "--screenshot" end a level session.
#pragma once

namespace lumaroll {

enum class FrameEnding {
    Continue,
    Screenshot, // save the screenshot, then end
    Stop,       // end without a screenshot
};

// After frame number frameCount (counting from 1): with a screenshot path the
// session ends at frame `frames`, or after the third frame when frames < 1;
// without one it ends at frame `frames` when that is above 0.
FrameEnding frameEnding(int frameCount, int frames, bool screenshot);

} // namespace lumaroll
