// The ball model: finding its rolling body, eyes, camera dummies and shadow
// node; the eyes turning towards the direction of travel; the body's roll and
// the root's turn.
#include "player/BallModel.h"

#include "logic/ProcessFlags.h"
#include "player/PlayerMath.h"
#include "text/LowerAscii.h"

#include <hgr/Mesh.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace lumaroll {

namespace {

const math::Vector3 kWorldUp(0.f, 1.f, 0.f);

math::Matrix3x4 translation(const math::Vector3& t)
{
    return math::Matrix3x4(math::Matrix3x3(), t);
}

// Turning by rotation about point: T(point) x R x T(-point).
math::Matrix3x4 turnAbout(const math::Vector3& point, const math::Matrix3x3& rotation)
{
    return translation(point) * math::Matrix3x4(rotation, math::Vector3()) * translation(-point);
}

math::Vector3 boxCentre(const hgr::Visual* visual)
{
    return (visual->getBoundBoxMin() + visual->getBoundBoxMax()) * 0.5f;
}

} // namespace

BallModel::Analysis BallModel::analyse(hgr::Node* model)
{
    Analysis found;
    ballNode = model;
    if (!model)
        return found;
    model->setTransform(math::Matrix3x4(1.f));

    // The body: the largest mesh whose box is nearly a cube (smallest extent
    // above 3/4 of the largest).
    float bestRadius = 0.f;
    for (hgr::Node* node = model; node; node = node->next(model)) {
        if (node->getClassId() != hgr::Node::NODE_MESH)
            continue;
        const hgr::Visual* mesh = static_cast<const hgr::Visual*>(node);
        const math::Vector3 size = mesh->getBoundBoxMax() - mesh->getBoundBoxMin();
        if (!(size.x > 0.f && size.y > 0.f && size.z > 0.f && size.x <= 5000.f && size.y <= 5000.f &&
              size.z <= 5000.f))
            continue;
        const float largest = std::max(size.x, std::max(size.y, size.z));
        const float smallest = std::min(size.x, std::min(size.y, size.z));
        const bool spherical = smallest / largest > 0.75f;
        if (traceEnabled())
            std::printf("[trace] model: %-24s size %.1f x %.1f x %.1f%s\n", node->getName().c_str(), size.x,
                        size.y, size.z, spherical ? " (esferica)" : "");
        if (spherical && 0.5f * largest > bestRadius) {
            bestRadius = 0.5f * largest;
            rollingBodyName = node->getName().c_str();
            pivot = node->getWorldTransform().transform(boxCentre(mesh));
        }
    }
    found.bodyRadius = bestRadius;

    hgr::Node* rolling = nullptr;
    for (hgr::Node* node = model; node; node = node->next(model)) {
        const std::string name = node->getName().c_str();
        if (!bodyNode && !rollingBodyName.empty() && name == rollingBodyName &&
            node->getClassId() == hgr::Node::NODE_MESH) {
            bodyNode = node;
            bodyBase = node->getTransform();
        }
        if (lowerAscii(name).find("camera") != std::string::npos || name == "splash")
            node->setEnabled(false);
        if (!rolling && name == "G_plimbo_eyes_rolling" && node != model)
            rolling = node;
    }
    if (rolling)
        rolling->unlink();
    cameraPositionDummy = model->findInSubtree("cameraposition");
    cameraLookAtDummy = model->findInSubtree("cameralookat");
    eyesNode = model->findInSubtree("G_plimbo_lookat_eyes");

    if (eyesNode && eyesNode->getParent()) {
        eyesBase = eyesNode->getTransform();
        const math::Matrix3x4 toParent = eyesNode->getParent()->getWorldTransform().inverse();
        eyesPivot = toParent.transform(pivot);
        if (hgr::Node* eyeballs = eyesNode->findInSubtree("plimbo_eyeballs")) {
            if (eyeballs->getClassId() == hgr::Node::NODE_MESH) {
                const math::Vector3 centre = toParent.transform(
                    eyeballs->getWorldTransform().transform(boxCentre(static_cast<const hgr::Visual*>(eyeballs))));
                eyesDistance = (centre - eyesPivot).length();
                if (eyesDistance > 0.001f)
                    eyesRestForward = (centre - eyesPivot) * (1.f / eyesDistance);
            }
        }
        std::printf("eyes: %.1f from the center (eye group space); lowered by 12 %% of that\n", eyesDistance);
    }
    if (traceEnabled())
        std::printf("[trace] model: camera %s, eyes %s\n",
                    cameraPositionDummy && cameraLookAtDummy ? "cameraposition/cameralookat" : "(no)",
                    eyesNode ? "G_plimbo_lookat_eyes" : "(no)");

    // The model's own shadow lies on the ground, not on the ball (the shadows move it under the scene).
    hgr::Node* shadow = shadowNodeName.empty() ? nullptr : model->findInSubtree(shadowNodeName.c_str());
    if (shadow && shadow != model)
        found.shadow = shadow;
    return found;
}

void BallModel::updateLook(const BallBody& body, const math::Vector3& forward, const math::Vector3* heldTarget,
                           float dt)
{
    if (!eyesNode || !eyesNode->getParent())
        return;

    // What the eyes look towards: the held camera target, else the way the ball rolls.
    math::Vector3 source;
    bool hasSource = false;
    if (heldTarget) {
        const math::Vector3 toTarget(heldTarget->x - body.position.x, 0.f, heldTarget->z - body.position.z);
        const float length = toTarget.length();
        if (length > 0.001f) {
            source = toTarget * (1.f / length);
            hasSource = true;
        }
    }
    const float speed = std::hypot(body.velocity.x, body.velocity.z);
    if (!hasSource && speed > 40.f) {
        source = math::Vector3(body.velocity.x / speed, 0.f, body.velocity.z / speed);
        hasSource = true;
    }
    if (hasSource) {
        lookDirection += (source - lookDirection) * std::min(10.f * dt, 1.f);
        const float length = lookDirection.length();
        lookDirection = length < 0.001f || !std::isfinite(length) ? source : lookDirection * (1.f / length);
    }
    if (!(lookDirection.length() >= 0.001f))
        lookDirection = forward;

    // Turn only about the parent's up, keeping the rest pitch of the eyes.
    const math::Matrix3x4 toParent = eyesNode->getParent()->getWorldTransform().inverse();
    const math::Vector3 u = toParent.rotate(kWorldUp);
    math::Vector3 l = toParent.rotate(lookDirection).normalize();
    const float pitch = std::asin(std::min(std::max(eyesRestForward.dot(u), -1.f), 1.f));
    const math::Vector3 a = l - u * l.dot(u);
    const float al = a.length();
    if (!(al >= 1e-4f))
        return;
    const math::Vector3 look = a * (std::cos(pitch) / al) + u * std::sin(pitch);

    const math::Matrix3x3 rest = lookAtFrame(eyesRestForward, u);
    const math::Matrix3x3 turn = lookAtFrame(look, u) * rest.transpose();
    math::Matrix3x4 transform = turnAbout(eyesPivot, turn) * eyesBase;
    const float ul = u.length();
    if (eyesDistance > 0.f && ul > 0.f)
        transform.setTranslation(transform.getTranslation() - u * (0.12f * eyesDistance / ul));
    if (transform.isFinite())
        eyesNode->setTransform(transform);
}

void BallModel::place(float heading, const math::Vector3& position)
{
    if (ballNode) {
        const math::Matrix3x3 turn = math::Matrix3x3::rotation(math::Vector3(0.f, 1.f, 0.f), heading);
        ballNode->setTransform(math::Matrix3x4(turn, position - turn.transform(pivot)));
    }
    if (!bodyNode)
        return;
    const math::Matrix3x3 rolled = math::Matrix3x3::rotation(math::Vector3(1.f, 0.f, 0.f), rollAngle);
    const math::Matrix3x4 transform = turnAbout(pivot, rolled) * bodyBase;
    if (transform.isFinite())
        bodyNode->setTransform(transform);
}

} // namespace lumaroll
