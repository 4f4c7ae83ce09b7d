#include "audio/AudioDevice.h"

namespace lumaroll {

namespace {

class SdlAudioDevice : public AudioDevice {
public:
    bool start(std::string& error) override
    {
        if (SDL_WasInit(SDL_INIT_AUDIO) || SDL_InitSubSystem(SDL_INIT_AUDIO) == 0)
            return true;
        error = SDL_GetError();
        return false;
    }

    SDL_AudioDeviceID open(const SDL_AudioSpec& desired, SDL_AudioSpec& obtained, std::string& error) override
    {
        const SDL_AudioDeviceID id = SDL_OpenAudioDevice(nullptr, 0, &desired, &obtained, 0);
        if (id == 0)
            error = SDL_GetError();
        return id;
    }

    void close(SDL_AudioDeviceID id) override { SDL_CloseAudioDevice(id); }
    void pause(SDL_AudioDeviceID id, bool paused) override { SDL_PauseAudioDevice(id, paused ? 1 : 0); }
    void lock(SDL_AudioDeviceID id) override { SDL_LockAudioDevice(id); }
    void unlock(SDL_AudioDeviceID id) override { SDL_UnlockAudioDevice(id); }
};

} // namespace

std::unique_ptr<AudioDevice> makeSdlAudioDevice()
{
    return std::make_unique<SdlAudioDevice>();
}

} // namespace lumaroll
