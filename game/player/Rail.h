// Rails and camera guides: the records made from the scene's "L_" nodes
// (readRails), and the reading of their line drawings.
#pragma once

#include "player/RailPath.h"

#include <math/Vector3.h>

#include <string>
#include <vector>

namespace hgr {
class Lines;
class Scene;
} // namespace hgr

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

// The rails and camera guides of a scene, each in scene order.
struct RailSet {
    std::vector<Rail> rails;
    std::vector<CameraGuide> guides;
};

// Reads the rails and camera guides from the scene's "L_" nodes (their Lines
// children "track", "tracknormal", "cameraposition", "cameralookat", the last
// of each name winning, and the properties of the matching "D_" key). A rail
// needs "tracknormalgravity=1" and a track of 2 points or more; a guide needs
// all three paths of 2 points or more. Segments with an end point that is not
// a finite number are dropped with a line on stderr per drawing. Prints a line
// per camera guide and the "rails:" summary (none without rails).
RailSet readRails(hgr::Scene* scene);

} // namespace lumaroll
