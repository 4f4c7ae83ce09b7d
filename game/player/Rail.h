// STAND-IN for rails and camera guides: the final records, built by
// Player::buildRails (which builds none yet). Replaced by the rails, follow
// camera and model issue.
#pragma once

#include "player/RailPath.h"

#include <string>

namespace lumaroll {

// A track the ball rides: an "L_" node with its properties.
struct Rail {
    std::string name;          // the "L_" node name
    std::string fallTrigger;   // "deathplane": fired when the ball falls off; may be empty
    std::string next;          // "next": the rail that follows; may be empty
    RailPath path;
    float forwardDirection = 1.f; // +1 along the drawing, -1 against it
};

// A track with a camera path and a look path that the follow camera uses.
struct CameraGuide {
    std::string name;
    RailPath track;
    RailPath cameraPath;
    RailPath lookPath;
};

} // namespace lumaroll
