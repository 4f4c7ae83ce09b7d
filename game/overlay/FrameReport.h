// What one GUI frame of the overlay showed, for tests and the trace: the
// screen rectangles (window points) of named items, each drawn notice, the
// pointer state the GUI used and where the menu's content was scrolled.
// The menu's parts add to it while they draw (FrameRecorder::noteItem); the
// overlay hands it to its frame observer at the end of every GUI frame.
#pragma once

#include "overlay/GuiInput.h"

#include <string>
#include <vector>

namespace lumaroll {

struct FrameReport {
    struct Item {
        std::string name;
        float x = 0.f, y = 0.f, width = 0.f, height = 0.f;
        // The text the item shows when the menu noted it (a value, a preview, a label).
        std::string text;
    };
    struct NoticeBox {
        std::string text;
        float x = 0.f, y = 0.f, width = 0.f, height = 0.f;
        float opacity = 0.f;
    };
    std::vector<Item> items;
    std::vector<NoticeBox> notices;
    GuiInput::Pointer pointer;
    // The menu's content area: its scroll position and the largest one.
    float contentScrollY = 0.f, contentScrollMaxY = 0.f;

    // The first item of that name, or null.
    const Item* find(const std::string& name) const;
};

} // namespace lumaroll
