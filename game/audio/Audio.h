// STAND-IN for the sound engine: no device, no voices; the mute flags exist
// because the session and the overlay write them. The audio subsystem
// replaces this file with the real engine.
#pragma once

#include <atomic>
#include <string>

namespace lumaroll {

class Audio {
public:
    // Indexes the sounds and opens the device; false when there is none (always, here).
    bool init(const std::string&) { return false; }
    void applySettings() {}
    // Returns the voice id, -1 when nothing plays.
    int playSound(const std::string&, bool, float) { return -1; }
    void stopSound(const std::string&) {}

    std::atomic<bool> masterMute{false};
    std::atomic<bool> backgroundMute{false};
};

} // namespace lumaroll
