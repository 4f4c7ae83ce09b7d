// One request of the level logic to the player, queued by a script command and
// carried out by the player at the start of its next ball step.
#pragma once

#include <string>

namespace lumaroll {

struct PlayerRequest {
    // What the player is asked to do; `name` and `value` are read as each kind says.
    enum Kind : int {
        AttachToRail = 0,   // attach the ball to the rail `name`
        LeaveRail = 1,      // take the ball off the rail `name`, when it rides that rail
        MultiplySpeed = 2,  // multiply the ball's speed by `value`
        RailSpeedLimit = 3, // set the rail speed limit to `value`
        MoveBallTo = 4,     // move the ball to the object `name`
        CameraGuide = 5,    // select the camera guide `name`
    };

    int kind = AttachToRail;
    std::string name;  // empty when the kind takes no name
    float value = 0.f; // 0 when the kind takes no value
};

} // namespace lumaroll
