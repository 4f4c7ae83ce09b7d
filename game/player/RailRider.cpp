// Rails and camera guides built from the scene's "L_" drawings, and riding
// the current rail.
#include "player/Player.h"

#include "logic/ProcessFlags.h"
#include "logic/SceneWorld.h"
#include "player/PlayerMath.h"
#include "text/PropertyText.h"

#include <hgr/Lines.h>
#include <hgr/UserPropertySet.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace lumaroll {

namespace {

const std::string kControls = "controls";
const std::string kSpeed = "speed01";

// The Lines children of an "L_" node that make rails and guides (the last of
// each name wins).
struct Drawings {
    hgr::Lines* track = nullptr;
    hgr::Lines* normals = nullptr;
    hgr::Lines* camera = nullptr;
    hgr::Lines* look = nullptr;
};

Drawings drawingsOf(hgr::Node* node)
{
    Drawings d;
    for (hgr::Node* child = node->getFirstChild(); child; child = child->getNextSibling()) {
        if (child->getClassId() != hgr::Node::NODE_LINES)
            continue;
        hgr::Lines* lines = static_cast<hgr::Lines*>(child);
        const std::string name = child->getName().c_str();
        if (name == "track")
            d.track = lines;
        else if (name == "tracknormal")
            d.normals = lines;
        else if (name == "cameraposition")
            d.camera = lines;
        else if (name == "cameralookat")
            d.look = lines;
    }
    return d;
}

// The segments of the drawing of an "L_" node, two end points each, without
// those with an end that is not a finite number: a line says how many went.
std::vector<math::Vector3> finiteSegments(const std::string& node, const char* drawing, const hgr::Lines* lines)
{
    std::vector<math::Vector3> points = linesWorldPoints(lines);
    size_t kept = 0;
    int dropped = 0;
    for (size_t i = 0; i + 1 < points.size(); i += 2) {
        if (points[i].isFinite() && points[i + 1].isFinite()) {
            points[kept++] = points[i];
            points[kept++] = points[i + 1];
        } else {
            ++dropped;
        }
    }
    points.resize(kept);
    if (dropped > 0)
        std::fprintf(stderr, "rails: %s %s: %d segment%s with a point that is not a finite number dropped\n",
                     node.c_str(), drawing, dropped, dropped == 1 ? "" : "s");
    return points;
}

RailPath pathOf(const std::vector<math::Vector3>& segments)
{
    RailPath path;
    path.setPoints(buildRailPoints(segments), {});
    return path;
}

} // namespace

void Player::buildRails()
{
    rails.clear();
    cameraGuides.clear();
    guideIndex = -1;
    // A ride in progress would index the rails just discarded.
    currentRail = -1;
    railDistance = 0.f;

    hgr::UserPropertySet* properties = scene->getUserProperties();
    for (hgr::Node* node = scene->getFirstChild(); node; node = node->next(scene)) {
        const std::string name = node->getName().c_str();
        if (name.compare(0, 2, "L_") != 0)
            continue;
        const Drawings d = drawingsOf(node);
        if (!d.track)
            continue;
        const std::vector<math::Vector3> trackSegments = finiteSegments(name, "track", d.track);

        if (d.camera && d.look) {
            CameraGuide guide;
            guide.name = name;
            guide.track = pathOf(trackSegments);
            guide.cameraPath = pathOf(finiteSegments(name, "cameraposition", d.camera));
            guide.lookPath = pathOf(finiteSegments(name, "cameralookat", d.look));
            if (guide.track.points.size() > 1 && guide.cameraPath.points.size() > 1 &&
                guide.lookPath.points.size() > 1) {
                std::printf("camera guide %s: track %.0f, camera path %.0f, look path %.0f\n", name.c_str(),
                            guide.track.length(), guide.cameraPath.length(), guide.lookPath.length());
                cameraGuides.push_back(std::move(guide));
            }
        }

        Rail rail;
        rail.name = name;
        std::vector<size_t> pieceStarts;
        const std::vector<math::Vector3> points = buildRailPoints(trackSegments, &pieceStarts);
        const std::vector<math::Vector3> normals =
            d.normals ? buildRailPoints(finiteSegments(name, "tracknormal", d.normals))
                      : std::vector<math::Vector3>();
        rail.path.setPoints(points, normals);
        rail.path.setPieces(pieceStarts);
        if (traceEnabled())
            std::printf("[trace] rail %s: %d points, %d pieces, length %.0f\n", name.c_str(),
                        static_cast<int>(points.size()), static_cast<int>(pieceStarts.size()) + 1,
                        rail.path.length());

        // "L_x" reads the properties of "D_x".
        std::string text;
        if (properties) {
            const lang::String key(("D_" + name.substr(2)).c_str());
            if (const lang::String* value = properties->find(key))
                text = wholeText(*value);
        }
        const std::string direction = propertyValue(text, "forwarddirection");
        rail.forwardDirection = !direction.empty() && std::strtod(direction.c_str(), nullptr) < 0.0 ? -1.f : 1.f;
        rail.fallTrigger = propertyValue(text, "deathplane");
        rail.next = propertyValue(text, "next");
        if (propertyValue(text, "tracknormalgravity") == "1" && rail.path.points.size() > 1)
            rails.push_back(std::move(rail));
    }

    if (!rails.empty()) {
        float total = 0.f;
        for (const Rail& rail : rails)
            total += rail.path.length();
        std::printf("rails: %d (total length %.0f)\n", static_cast<int>(rails.size()), total);
    }
}

int Player::findRail(const std::string& name) const
{
    for (size_t i = 0; i < rails.size(); ++i)
        if (rails[i].name == name)
            return static_cast<int>(i);
    return -1;
}

float Player::rideStart(int index) const
{
    const Rail& rail = rails[static_cast<size_t>(index)];
    return rail.forwardDirection < 0.f ? rail.path.length() : 0.f;
}

bool Player::handOver(RailSample& s, const math::Vector3& position)
{
    const Rail& rail = rails[static_cast<size_t>(currentRail)];
    const float length = rail.path.length();
    // A rail ridden backwards ends at distance 0.
    const bool backwards = rail.forwardDirection < 0.f;
    const bool atEnd = backwards ? s.distance <= 1.f : s.distance >= length - 1.f;
    if (!atEnd || rail.next.empty())
        return false;
    const int next = findRail(rail.next);
    if (next < 0)
        return false;
    if (!world->levelComplete)
        railDistanceRidden += backwards ? railDistance : length - railDistance;
    currentRail = next;
    railDistance = rideStart(next);
    const Rail& nextRail = rails[static_cast<size_t>(next)];
    s = nextRail.forwardDirection < 0.f ? nextRail.path.closestPointNear(position, railDistance, 3000.f, 0.f)
                                        : nextRail.path.closestPointNear(position, railDistance, 0.f, 3000.f);
    return true;
}

void Player::rideRail(BallControl& control, float steer)
{
    if (!onRail() || static_cast<size_t>(currentRail) >= rails.size() || !world)
        return;
    const float dt = lastFrameTime;
    const math::Vector3 p = body.position;
    math::Vector3& v = body.velocity;

    RailSample s = rails[static_cast<size_t>(currentRail)].path.closestPointNear(p, railDistance, 600.f, 3000.f);
    // Far from the window (a teleport, a shortcut): look along the whole track.
    if (s.offset > 1500.f) {
        const Rail& rail = rails[static_cast<size_t>(currentRail)];
        const RailSample f = rail.path.closestPoint(p);
        if (f.offset < 0.5f * s.offset) {
            if (traceEnabled())
                std::printf("[trace] rail %s: resynced from s %.0f to %.0f (distance %.0f -> %.0f)\n",
                            rail.name.c_str(), railDistance, f.distance, s.offset, f.offset);
            s = f;
            railDistance = f.distance;
        }
    }
    handOver(s, p);

    const Rail& rail = rails[static_cast<size_t>(currentRail)];
    if (!world->levelComplete) {
        const float progress = rail.forwardDirection < 0.f ? railDistance - s.distance : s.distance - railDistance;
        if (progress > 0.f)
            railDistanceRidden += progress;
    }
    railDistance = s.distance;

    body.up += (s.up - body.up) * 0.2f;
    const math::Vector3 d = s.tangent * rail.forwardDirection;
    const math::Vector3 side = body.up.cross(d);
    const bool controls = !(world->hasVariable(kControls) && world->getVariable(kControls) == 0.f);

    // Towards the rail speed: quickly from below, slowly from above.
    const float target = 1.15f * railSpeedLimit;
    const float along = d.dot(v);
    const float k = std::min((along < target ? 2.5f : 0.7f) * dt, 1.f);
    v += d * (k * (target - along));

    // Sideways: steering pushes, no steering (or no controls) centres the ball.
    const float lateral = side.dot(v);
    float push = 0.f;
    if (!controls || std::fabs(steer) < 0.01f)
        v -= side * (std::min(6.f * dt, 1.f) * lateral);
    if (controls)
        push = steer * 3.f;
    control.move = side * push;

    // The ride keeps the speed: no friction, room above the rail speed.
    body.values.friction = 0.f;
    body.values.maxSpeed = 1.1f * target;

    bool fallen;
    if (!body.onGround) {
        const float rising = v.dot(body.up);
        if (rising > 0.f)
            v -= body.up * (rising * std::min(10.f * dt, 1.f));
        railAirTime += dt;
        fallen = (railAirTime > 0.7f && s.offset > 1200.f) || s.offset > 6000.f;
    } else {
        railAirTime = 0.f;
        fallen = s.offset > 6000.f;
    }
    forward = d;

    if (fallen && !railFallen && !rail.fallTrigger.empty()) {
        railFallen = true;
        if (traceEnabled())
            std::printf("[trace] rail %s: fell (s %.0f, distance %.0f, %.1f s airborne), %s\n", rail.name.c_str(),
                        railDistance, s.offset, railAirTime, rail.fallTrigger.c_str());
        // The world runs the trigger at once; what its script asks of the
        // player waits for the next step's requests.
        world->activateTrigger(rail.fallTrigger);
    }
    world->setVariable(kSpeed, v.length());
}

} // namespace lumaroll
