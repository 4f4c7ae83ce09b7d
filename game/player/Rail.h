// Rails and camera guides: the records that Player::buildRails makes from
// the scene's "L_" nodes, and the reading of their line drawings.
#pragma once

#include "player/RailPath.h"

#include <math/Vector3.h>

#include <string>
#include <vector>

namespace hgr {
class Lines;
}

namespace lumaroll {

// A track the ball rides: an "L_" node with a "track" drawing and the
// property "tracknormalgravity=1".
struct Rail {
    std::string name;             // the "L_" node name
    std::string fallTrigger;      // "deathplane": fired when the ball falls off; may be empty
    std::string next;             // "next": the rail that follows; may be empty
    RailPath path;                // the track, ups aimed at its "tracknormal" drawing
    float forwardDirection = 1.f; // +1 ridden along the drawing, -1 against it ("forwarddirection" below 0)
};

// A track with a camera path and a look path that the follow camera uses
// while tilt steering is on: an "L_" node with "track", "cameraposition" and
// "cameralookat" drawings.
struct CameraGuide {
    std::string name;
    RailPath track;
    RailPath cameraPath;
    RailPath lookPath;
};

// The end points of the segments of a Lines node in world space, two per
// segment in the node's order: the segment list buildRailPoints takes. Empty for null.
std::vector<math::Vector3> linesWorldPoints(const hgr::Lines* lines);

} // namespace lumaroll
