// Notices: short messages that slide in at the top right of the window, stay
// a few seconds and fade, drawn by the overlay on top of the game and of the
// menu. The queue holds at most four, oldest first; a notice is dropped once
// its time is up.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lumaroll {

class MenuContext;

class Notices {
public:
    // One queued notice: the shown text, one icon code point as UTF-8, seconds
    // shown so far and seconds until it is gone.
    struct Notice {
        std::string text;
        std::string icon;
        float elapsed = 0.f;
        float duration = 0.f;
    };

    // Queues a notice (text already translated and formatted) for seconds;
    // icon null means the "i" circle. The same text again only pulls the
    // queued one's elapsed back to at most 0.2 s. The oldest goes when a
    // fifth comes. Prints "notice: <text>" for each new one.
    void notify(const std::string& text, const char* icon, float seconds);

    // The queued notices, oldest first.
    const std::vector<Notice>& queued() const { return notices; }
    bool empty() const { return notices.empty(); }
    // Drops every queued notice; prints nothing.
    void clear();

    // Advances every notice by the time since the last draw (now in the
    // overlay clock's milliseconds; 0 for the first draw of a burst, at most
    // 0.1 s, so that a stall never skips an animation), draws them with the
    // menu's scale and icons, adds each drawn one to the menu's frame report
    // and drops those whose time is up. Inside a GUI frame; once per frame
    // while any are queued.
    void draw(std::uint32_t now, MenuContext& context);

private:
    std::vector<Notice> notices;
    // Clock tick (ms) of the last draw; 0 while no notice animates.
    std::uint32_t lastTick = 0;
};

} // namespace lumaroll
