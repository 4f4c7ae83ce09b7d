// Texts another part of the program wants drawn over the game in the next
// overlay frame only (the level session's frame-rate label). The overlay
// draws them on top of its frame and empties the list after every render,
// also when it draws nothing.
#pragma once

#include <string>
#include <vector>

namespace lumaroll {

// A text right-aligned at x and vertically centred on y, in drawable pixels,
// at size pixels.
struct ScreenText {
    std::string text;
    float x = 0.f;
    float y = 0.f;
    float size = 0.f;
};

class ScreenTexts {
public:
    // Queues text for the next overlay frame.
    void add(const ScreenText& text) { texts.push_back(text); }
    bool empty() const { return texts.empty(); }
    void clear() { texts.clear(); }

    // Draws every queued text in white with a dark shadow below and to the
    // right, converting drawable pixels to the GUI's window points. Inside a
    // GUI frame.
    void draw() const;

private:
    std::vector<ScreenText> texts;
};

} // namespace lumaroll
