// The audio tab: a mute box and a volume slider for all sound, the music and
// the sound effects, stored at once and copied into the running level's
// audio engine when there is one.
#pragma once

#include "overlay/MenuTab.h"

namespace lumaroll {

class Audio;
class MenuContext;

class AudioTab : public MenuTab {
public:
    // The context is the overlay's and outlives the tab.
    explicit AudioTab(MenuContext& context);

    // A change is applied to the audio engine at once; the engine's master
    // mute follows its own box only (the 'm' key and the in-game menu also
    // set it, and a slider must not undo them).
    void draw() override;

    // The running level session's audio engine, not owned: set by the session
    // when it creates its audio and cleared when its run ends. May be null
    // (the values are then only stored).
    Audio* audio() const { return engine; }
    void setAudio(Audio* audio) { engine = audio; }

private:
    MenuContext& context;
    Audio* engine = nullptr;
};

} // namespace lumaroll
