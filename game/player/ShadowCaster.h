// An object's shadow copy that the player places on the ground below the
// object each step (PlayerShadows::addCaster, PlayerShadows::placeObjectShadows).
#pragma once

#include <hgr/Node.h>
#include <lang/Ptr.h>
#include <math/Matrix3x4.h>

namespace lumaroll {

struct ShadowCaster {
    lang::Ptr<hgr::Node> shadow; // the visual that is the shadow copy, linked under the scene
    lang::Ptr<hgr::Node> caster; // the object it belongs to
    math::Matrix3x4 base;        // the shadow's world rotation when registered, translation 0
    bool traced = false;         // its trace line was printed
    bool hideWhenHigh = false;   // hidden while the object is more than 120 above the ground

    // The last ground probe: the collision world never changes, so an object
    // that stands still keeps its ground (most objects do).
    bool probed = false;
    math::Vector3 probedFrom;
    bool groundFound = false;
    float groundHeight = 0.f;
    math::Vector3 groundNormal;
};

} // namespace lumaroll
