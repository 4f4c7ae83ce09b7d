// A volume whose entry by the ball starts a trigger: a "T_" node of the
// scene with a collision type, or a touchable object added by the level set-up.
#pragma once

#include <hgr/Node.h>
#include <lang/Ptr.h>
#include <math/Vector3.h>

#include <string>

namespace lumaroll {

struct TriggerVolume {
    std::string name;          // the trigger to activate
    lang::Ptr<hgr::Node> node; // the node that carries the volume
    bool sphere = false;       // a sphere of radius around the node's origin, else a box
    float radius = 0.f;
    math::Vector3 boxMin; // box corners in the node's space
    math::Vector3 boxMax;
    bool inside = false; // the ball was inside at the last test
};

} // namespace lumaroll
