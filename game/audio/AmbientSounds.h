// STAND-IN for the level music and ambient sound emitters: sets nothing up.
// Replaced by the audio subsystem.
#pragma once

#include <math/Vector3.h>

namespace hgr {
class Scene;
}

namespace lumaroll {

class Audio;

class AmbientSounds {
public:
    void setup(hgr::Scene*, Audio*) {}
    void update(hgr::Scene*, Audio*, const math::Vector3&) {}
};

} // namespace lumaroll
