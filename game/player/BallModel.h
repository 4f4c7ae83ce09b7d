// The ball's model: what the analysis finds in it (the rolling body and its
// pivot, the eyes, the camera dummies, the model's own shadow), and its
// transforms each step: the root turned by the heading about the pivot, the
// body rolled about x, the eyes turned towards the direction of travel.
//
// Invariants: nothing is found (and the step moves nothing) before analyse or
// after analyse(nullptr); a transform that is not finite is never written.
#pragma once

#include "player/Ball.h"

#include <hgr/Node.h>
#include <lang/Ptr.h>
#include <math/Matrix3x4.h>
#include <math/Vector3.h>

#include <string>

namespace lumaroll {

class BallModel {
public:
    // What analyse found that other parts take on.
    struct Analysis {
        float bodyRadius = 0.f;      // half the rolling body's largest extent; 0 without a body
        hgr::Node* shadow = nullptr; // the model's own shadow node (not the root), still in the model
    };

    BallModel() = default;
    BallModel(const BallModel&) = delete;
    BallModel& operator=(const BallModel&) = delete;

    // The name of the model's shadow node ("shadow_plimbo" until set; the
    // form record's field 4). Empty: the model has none.
    void setShadowName(const std::string& name) { shadowNodeName = name; }

    // Makes model (the player root, already linked under the scene) the
    // ball's root with an identity transform and finds in it the rolling body
    // (the largest near-spherical mesh of at most 5000 a side: its pivot and
    // name), the eyes group, the camera dummies and the shadow node; disables
    // "*camera*" and "splash" nodes and removes "G_plimbo_eyes_rolling".
    // Prints the "eyes:" line when the model has eyes. Null: the root is
    // forgotten and nothing else happens.
    Analysis analyse(hgr::Node* model);
    // The rolling body's node name ("" without one), for the summary line.
    const std::string& bodyName() const { return rollingBodyName; }
    // The point the body rolls about, in the root's space (0 without a body).
    const math::Vector3& pivotPoint() const { return pivot; }

    // Turns the eyes towards the held camera target when heldTarget is given,
    // else towards the ball's horizontal velocity when above 40; with
    // neither, the last direction stays (forward when there is none). Eased at 10 a second, keeping the eyes' rest pitch and
    // lowered by 12 % of their distance from the pivot.
    void updateLook(const BallBody& ball, const math::Vector3& forward, const math::Vector3* heldTarget, float dt);
    // Rolls the body by the distance ball travelled along forward in dt.
    void roll(const BallBody& ball, const math::Vector3& forward, float dt)
    {
        if (ball.values.radius > 0.f)
            rollAngle += forward.dot(ball.velocity) * dt / ball.values.radius;
    }
    // The step's transforms: the root turned by heading (radians about the
    // up axis) about the pivot with the pivot at position, the body rolled
    // about x through the pivot.
    void place(float heading, const math::Vector3& position);

private:
    lang::Ptr<hgr::Node> ballNode;
    std::string shadowNodeName = "shadow_plimbo";

    // The rolling body.
    std::string rollingBodyName;
    math::Vector3 pivot;
    lang::Ptr<hgr::Node> bodyNode;
    math::Matrix3x4 bodyBase;
    float rollAngle = 0.f;

    // The eyes, in the space of their parent.
    lang::Ptr<hgr::Node> eyesNode;
    math::Matrix3x4 eyesBase;
    math::Vector3 eyesRestForward{0.f, 0.f, 1.f};
    math::Vector3 eyesPivot;
    float eyesDistance = 0.f;
    math::Vector3 lookDirection;

    lang::Ptr<hgr::Node> cameraPositionDummy;
    lang::Ptr<hgr::Node> cameraLookAtDummy;
};

} // namespace lumaroll
