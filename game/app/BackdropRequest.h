// The one holder of the request to capture a rendered frame for the in-game
// menu's blurred backdrop. The level session owns it and hands it to its
// parts: the event routing asks for a capture when the menu opens while the
// menu renderer holds no valid one, the frame asks when the pause rule wants
// the scene behind the menu captured and when the level becomes over, and
// the frame's render takes the request and captures the frame it just drew.
// A request stays until a render with the menu images loaded takes it.
#pragma once

namespace lumaroll {

class BackdropRequest {
public:
    // The next render captures its frame; asking again before that changes nothing.
    void request() { pending = true; }
    // Whether a capture is asked for; clears the request.
    bool take()
    {
        const bool asked = pending;
        pending = false;
        return asked;
    }

private:
    bool pending = false;
};

} // namespace lumaroll
