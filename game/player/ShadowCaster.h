// STAND-IN for object shadows: the final record, kept by
// Player::addShadowCaster and placed by Player::placeObjectShadows (which
// places nothing yet). Replaced by the rails, follow camera and model issue.
#pragma once

#include <hgr/Node.h>
#include <lang/Ptr.h>
#include <math/Matrix3x4.h>

namespace lumaroll {

struct ShadowCaster {
    lang::Ptr<hgr::Node> shadow; // the visual that is the shadow copy
    lang::Ptr<hgr::Node> caster; // the object it belongs to
    math::Matrix3x4 base;        // the shadow's world rotation when registered, translation 0
    bool traced = false;
    bool hideWhenHigh = false;
};

} // namespace lumaroll
