#include "input/Controllers.h"

#include "files/Paths.h"
#include "files/RegularFile.h"
#include "platform/ProgramFolder.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

namespace lumaroll {

namespace {

const char kMappingFile[] = "gamecontrollerdb.txt";

// The mappings a database file added; negative when it cannot be read, is
// empty or is no regular file (a named pipe is never waited for).
int addMappingsFrom(const std::string& path)
{
    std::vector<unsigned char> bytes;
    if (!readRegularFile(path, bytes, std::size_t(std::numeric_limits<int>::max())) || bytes.empty())
        return -1;
    return SDL_GameControllerAddMappingsFromRW(SDL_RWFromConstMem(bytes.data(), int(bytes.size())), 1);
}

// Closes and drops the devices of list that are no longer attached, keeping the order of the rest.
template <class Device>
void closeDetachedIn(std::vector<Device*>& list, SDL_bool (*attached)(Device*), void (*close)(Device*))
{
    list.erase(std::remove_if(list.begin(), list.end(),
                              [&](Device* device) {
                                  if (attached(device))
                                      return false;
                                  close(device);
                                  return true;
                              }),
               list.end());
}

SDL_JoystickID controllerId(SDL_GameController* controller)
{
    return SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller));
}

} // namespace

Controllers& Controllers::instance()
{
    static Controllers controllers;
    return controllers;
}

void Controllers::init()
{
    SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
    SDL_InitSubSystem(SDL_INIT_SENSOR);
    SDL_InitSubSystem(SDL_INIT_HAPTIC);
    loadMappings();
    openSensors();
}

int Controllers::loadMappings()
{
    const std::string folder = programFolder();
    const int beside = folder.empty() ? -1 : addMappingsFrom(folder + kMappingFile);
    const int user = addMappingsFrom(configDir() + "/" + kMappingFile);
    // A missing file reads as -1: it adds nothing, it takes nothing away.
    const int count = std::max(beside, 0) + std::max(user, 0);
    std::printf("controllers: %d mappings from SDL_GameControllerDB\n", count);
    return count;
}

void Controllers::openSensors()
{
    const int sensors = SDL_NumSensors();
    for (int i = 0; i < sensors && !accelerometer; ++i) {
        if (SDL_SensorGetDeviceType(i) == SDL_SENSOR_ACCEL)
            accelerometer = SDL_SensorOpen(i);
    }
    if (!haptic && SDL_NumHaptics() > 0) {
        haptic = SDL_HapticOpen(0);
        if (haptic && SDL_HapticRumbleInit(haptic) != 0) {
            SDL_HapticClose(haptic);
            haptic = nullptr;
        }
    }
    std::printf("sensors: accelerometer %s, vibration %s\n", accelerometer ? "yes" : "no", haptic ? "yes" : "no");
}

bool Controllers::holdsController(SDL_JoystickID id) const
{
    for (SDL_GameController* controller : controllers)
        if (controllerId(controller) == id)
            return true;
    return false;
}

std::string Controllers::controllerName(int deviceIndex)
{
    const char* name = SDL_GameControllerNameForIndex(deviceIndex);
    return name ? name : "?";
}

bool Controllers::holds(SDL_JoystickID id) const
{
    if (holdsController(id))
        return true;
    for (SDL_Joystick* joystick : joysticks)
        if (SDL_JoystickInstanceID(joystick) == id)
            return true;
    return false;
}

void Controllers::openAll()
{
    const int count = SDL_NumJoysticks();
    for (int index = 0; index < count; ++index) {
        // Opening a device that is open already hands back the same handle
        // with one more reference, which the one close on removal would
        // never drop: SDL would keep the pad for the rest of the run.
        const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(index);
        if (id < 0 || holds(id))
            continue;
        if (SDL_IsGameController(index)) {
            SDL_GameController* controller = SDL_GameControllerOpen(index);
            if (!controller)
                continue;
            controllers.push_back(controller);
            const char* name = SDL_GameControllerName(controller);
            std::printf("controller: %s\n", name ? name : "?");
        } else {
            SDL_Joystick* joystick = SDL_JoystickOpen(index);
            if (!joystick)
                continue;
            joysticks.push_back(joystick);
            const char* name = SDL_JoystickName(joystick);
            std::printf("generic controller (no known mapping): %s, %d axes, %d buttons\n", name ? name : "?",
                        SDL_JoystickNumAxes(joystick), SDL_JoystickNumButtons(joystick));
        }
    }
}

void Controllers::closeDetached()
{
    closeDetachedIn(controllers, SDL_GameControllerGetAttached, SDL_GameControllerClose);
    closeDetachedIn(joysticks, SDL_JoystickGetAttached, SDL_JoystickClose);
}

bool Controllers::handleDeviceEvent(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED:
    case SDL_JOYDEVICEADDED:
        openAll();
        return true;
    case SDL_CONTROLLERDEVICEREMOVED:
    case SDL_JOYDEVICEREMOVED:
        closeDetached();
        return true;
    default:
        return false;
    }
}

int Controllers::rumbleMilliseconds(float strength)
{
    const float ms = strength * 45.f;
    // Written so that NaN (a "pressure" operand read as "nan") takes the
    // floor instead of reaching an undefined float-to-int conversion.
    if (!(ms > 30.f))
        return 30;
    if (ms >= 250.f)
        return 250;
    return static_cast<int>(ms);
}

void Controllers::rumble(float strength)
{
    if (!vibration)
        return;
    const int ms = rumbleMilliseconds(strength);
    if (haptic)
        SDL_HapticRumblePlay(haptic, 0.6f, static_cast<Uint32>(ms));
    for (SDL_GameController* controller : controllers)
        SDL_GameControllerRumble(controller, 0x6000, 0xA000, static_cast<Uint32>(ms));
}

} // namespace lumaroll
