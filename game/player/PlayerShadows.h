// Shadows on the ground: the ball's (the model's own shadow node, or a quad
// built here) and the shadow copies of registered objects, placed each step
// on the ground the collision grid finds below them.
//
// Invariants: every shadow node handled here is linked directly under the
// scene; a shadow with no ground below it within reach (or too far above it)
// is disabled rather than left where it was; a transform that is not finite
// is never written.
#pragma once

#include "player/Ball.h"
#include "player/CollisionGrid.h"
#include "player/ShadowCaster.h"

#include <hgr/Node.h>
#include <lang/Ptr.h>
#include <math/Matrix3x4.h>

#include <vector>

namespace gr {
class Context;
}

namespace hgr {
class Scene;
}

namespace lumaroll {

class PlayerShadows {
public:
    // Keeps scene and grid (not owned, both must outlive this).
    PlayerShadows(hgr::Scene* levelScene, const CollisionGrid& levelGrid) : scene(levelScene), grid(levelGrid) {}
    PlayerShadows(const PlayerShadows&) = delete;
    PlayerShadows& operator=(const PlayerShadows&) = delete;

    // Makes shadow (the model's own shadow node) the ball's shadow: keeps its
    // world rotation, relinks it under the scene; it turns with the heading.
    // Null does nothing.
    void adoptModelShadow(hgr::Node* shadow);
    // Builds the ball's shadow quad "sombra_jugador" ("unlit-tex-alpha" with
    // "ball_shadow.pvr") under the scene, unless the ball has a shadow
    // already or context is null. On an engine exception prints "could not
    // create the ball shadow" on stderr and the ball has no shadow.
    void createBallShadow(gr::Context* context);
    // Registers shadow as the shadow copy of caster: keeps its world rotation,
    // relinks it directly under the scene (collect the meshes before calling)
    // and places it on the ground below caster every step; with hideWhenHigh
    // it hides while caster is more than 120 above the ground. Null shadow or
    // caster, or the scene itself as shadow, are ignored.
    void addCaster(hgr::Node* shadow, hgr::Node* caster, bool hideWhenHigh);

    // Places the ball's shadow on the ground below ball (along minus its up
    // on a rail), smaller with height (40 % at 6 radii), hidden beyond 6
    // radii; the model's shadow turned by heading (radians about the up axis).
    void placeBallShadow(const BallBody& ball, bool onRail, float heading);
    // Places each registered shadow copy on the ground below its object;
    // hidden while the object is out of the scene or disabled, or has no
    // ground within 2000 below. An object that stands still keeps the ground
    // found before.
    void placeObjectShadows();

private:
    hgr::Scene* scene;
    const CollisionGrid& grid;
    lang::Ptr<hgr::Node> shadowNode;
    // The quad built by createBallShadow (scaled by the radius), not the model's own.
    bool builtShadow = false;
    // The model shadow's world rotation when adopted.
    math::Matrix3x4 shadowBase;
    std::vector<ShadowCaster> shadowCasters;
};

} // namespace lumaroll
