// Scrolling of the menu's content area. Touch: a finger press is held back
// until its gesture is known, then a vertical swipe scrolls, a horizontal
// drag becomes an ordinary GUI drag (the held press goes to the GUI first),
// and a tap reaches the GUI as one click; a press on the scrollbar strip goes
// to the GUI at once. Mouse: a vertical drag that starts in the content
// scrolls it (a slider under it gets its value back, SliderDrag.h). Either
// leaves a fling that slows down and stops at the content's ends.
//
// Invariant: the touch state is Idle whenever no touch press is down (and
// after resetTouch); the pending scroll is applied and emptied by the next
// update.
#pragma once

#include <SDL.h>

#include <cstdint>

namespace lumaroll {

class GuiInput;
class MenuContext;

class ContentScroll {
public:
    // Where a touch press stands.
    enum class Touch {
        Idle,      // no touch press down
        Undecided, // a press held back until the gesture is known
        Scrolling, // a vertical swipe that scrolls the content
        ToGui,     // passed to the GUI (a horizontal drag, the scrollbar strip)
    };

    // The content area in window points.
    struct Area {
        float x = 0.f, y = 0.f, width = 0.f, height = 0.f;
    };

    // Both are the overlay's and outlive this.
    ContentScroll(MenuContext& context, GuiInput& input);

    // The touch step of the overlay's events while the menu is open: a left
    // press, motion or release that a touch screen made. Returns true when it
    // consumed the event, which must then not reach the GUI; false for every
    // other event and for those the GUI is to get as they are. Touch presses
    // and decisions move the GUI's pointer through input.
    bool handleTouch(const SDL_Event& event);
    // Forgets the touch press (Idle); the menu opened or closed.
    void resetTouch() { touchState = Touch::Idle; }

    // Inside the content child after its body, once a GUI frame: applies the
    // pending scroll, the mouse drag-scrolling and the fling, notes the
    // area, and writes the scroll position and its largest value into the
    // menu's frame report.
    void update();

    Touch touch() const { return touchState; }
    // The content area in the last frame; width 0 when it cannot scroll,
    // which turns the scrollbar-strip test off.
    Area area() const { return contentArea; }
    // Scroll distance (pixels, positive scrolls down) the content has not applied yet.
    float pending() const { return pendingScroll; }
    // Fling speed of the content, pixels per second (positive scrolls down).
    float velocity() const { return scrollVelocity; }
    // A mouse press in the content may turn into drag scrolling
    // (dragArmed), and its drag did (dragScrolling).
    bool dragArmed() const { return dragActive; }
    bool dragScrolling() const { return dragScroll; }

    // Queues a scroll by pixels (positive scrolls down) for the next update.
    void scrollBy(float pixels) { pendingScroll += pixels; }
    // Sets the fling speed (pixels per second; 0 stops it).
    void fling(float pixelsPerSecond) { scrollVelocity = pixelsPerSecond; }

private:
    // Moves the GUI's pointer to (x, y) as the touch screen's mouse.
    void sendPointerTo(const SDL_Event& cause, int x, int y);

    MenuContext& context;
    GuiInput& input;
    Touch touchState = Touch::Idle;
    // The finger press held back while the gesture is undecided.
    SDL_Event heldTouchDown = {};
    int touchStartX = 0, touchStartY = 0;
    int touchLastX = 0, touchLastY = 0;
    // SDL timestamp (ms) of the last gesture event.
    std::uint32_t touchLastTime = 0;
    float pendingScroll = 0.f;
    Area contentArea;
    bool dragActive = false, dragScroll = false;
    float scrollVelocity = 0.f;
};

} // namespace lumaroll
