// Where the ball is put: the level's start, a checkpoint, and the respawn of
// the ball step.
#include "player/BallPhysics.h"

#include "logic/SceneWorld.h"
#include "text/LowerAscii.h"

#include <hgr/Scene.h>

#include <cstdio>

namespace lumaroll {

namespace {

// Drop of the ground probe below a start or checkpoint.
constexpr float kProbeDrop = 3000.f;

bool beginsWith(const std::string& text, const char* prefix)
{
    return text.compare(0, std::char_traits<char>::length(prefix), prefix) == 0;
}

} // namespace

void BallPhysics::setOnGround(const math::Vector3& point, float lift)
{
    float ground = 0.f;
    const bool found = grid.findGroundBelow(point + math::Vector3(0.f, lift, 0.f), ground, kProbeDrop);
    ball.position = math::Vector3(point.x, found ? ground + ball.values.radius + 5.f : point.y, point.z);
    ball.velocity = math::Vector3();
    ball.onGround = false;
    ball.touched.clear();
}

void BallPhysics::placeAtStart(const std::string& bodyName)
{
    // A "d_"/"b_" node named with "start" anywhere in the scene beats the
    // first "d_checkpoint" node.
    hgr::Node* start = nullptr;
    hgr::Node* checkpoint = nullptr;
    for (hgr::Node* node = scene->getFirstChild(); node && !start; node = node->next(scene)) {
        const std::string name = lowerAscii(node->getName().c_str());
        if ((beginsWith(name, "d_") || beginsWith(name, "b_")) && name.find("start") != std::string::npos)
            start = node;
        else if (!checkpoint && beginsWith(name, "d_checkpoint"))
            checkpoint = node;
    }
    if (!start)
        start = checkpoint;

    std::string startName;
    math::Vector3 point;
    if (start) {
        startName = start->getName().c_str();
        point = start->getWorldTransform().getTranslation();
    } else if (hgr::Node* camera = scene->findNode("O_startcamera")) {
        const math::Matrix3x4 m = camera->getWorldTransform();
        point = m.getTranslation() + m.getColumn(2) * 400.f;
        startName = "in front of O_startcamera";
    }
    // A start node placed at a point that is not finite counts as none.
    if (!point.isFinite())
        point = math::Vector3();
    setOnGround(point, 200.f);

    const BallValues& v = ball.values;
    char line[256];
    std::snprintf(
        line, sizeof(line),
        "ball: radius %.1f (body '%s'), mass %g, force %g, jump %g, friction %g, max speed %g, rebound %g, "
        "gravity %g; start at %s (%.0f, %.0f, %.0f)",
        v.radius, bodyName.c_str(), v.mass, v.movementForce, v.jumpForce, v.friction, v.maxSpeed, v.rebound,
        v.gravity, startName.c_str(), ball.position.x, ball.position.y, ball.position.z);
    summaryLine = line;
}

void BallPhysics::respawnAt(const std::string& checkpointName, const std::string& bodyName)
{
    hgr::Node* node = world ? world->findNode(checkpointName) : nullptr;
    const math::Vector3 point = node ? node->getWorldTransform().getTranslation() : math::Vector3();
    if (!node || !point.isFinite()) {
        placeAtStart(bodyName);
        return;
    }
    setOnGround(point, 300.f);
}

void BallPhysics::respawn(const std::string& bodyName)
{
    if (world && !world->checkpointName.empty())
        respawnAt(world->checkpointName, bodyName);
    else
        placeAtStart(bodyName);
}

} // namespace lumaroll
