// When a completed level is over, so that its results show and Return or the
// pad's A open the in-game menu: once the world says the level is complete,
// after 1.5 s of real time (which runs on while paused), or at once while
// the ball rides a rail. Only with the menu images loaded, which draw the
// results: without them a level is never over. Once over it stays over.
#pragma once

namespace lumaroll {

class LevelEnd {
public:
    bool over() const { return isOver; }

    // One frame of dt seconds of real time. complete: the world's
    // level-complete flag; onRail: a ball rides a rail; uiLoaded: the menu
    // images are loaded. True in the frame that makes the level over, false
    // in every other.
    bool update(bool complete, bool onRail, bool uiLoaded, float dt);

private:
    bool isOver = false;
    float seconds = 0.f; // real time counted since the level became complete
};

} // namespace lumaroll
