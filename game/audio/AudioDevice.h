// The one way the audio engine reaches the sound device: start SDL's audio
// subsystem, open and close the output, pause it, and hold off its callback.
// SDL's implementation is the default; tests may wrap or replace it.
#pragma once

#include <SDL.h>

#include <memory>
#include <string>

namespace lumaroll {

class AudioDevice {
public:
    virtual ~AudioDevice() = default;
    // Starts SDL's audio subsystem unless it already runs; false, with SDL's
    // reason in error, when it cannot start.
    virtual bool start(std::string& error) = 0;
    // Opens the default output for desired (no format changes allowed: SDL
    // converts to the hardware) and writes the granted format to obtained.
    // The device starts paused. Returns 0, with SDL's reason in error, when
    // there is no device.
    virtual SDL_AudioDeviceID open(const SDL_AudioSpec& desired, SDL_AudioSpec& obtained, std::string& error) = 0;
    // Stops the device; returns once no callback runs any more.
    virtual void close(SDL_AudioDeviceID id) = 0;
    // A paused device calls no callback; the change waits for a running one.
    virtual void pause(SDL_AudioDeviceID id, bool paused) = 0;
    // Between lock and unlock the device's callback does not run.
    virtual void lock(SDL_AudioDeviceID id) = 0;
    virtual void unlock(SDL_AudioDeviceID id) = 0;
};

// The device above on SDL (SDL_InitSubSystem, SDL_OpenAudioDevice and friends).
std::unique_ptr<AudioDevice> makeSdlAudioDevice();

} // namespace lumaroll
