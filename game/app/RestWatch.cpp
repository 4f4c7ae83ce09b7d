#include "app/RestWatch.h"

namespace lumaroll {

bool RestWatch::update(const math::Vector3& ballVelocity, const math::Vector3& cameraPosition, float dt)
{
    if (!(dt > 0.f))
        return false;
    const bool hadCamera = haveCamera;
    const float cameraSpeed = hadCamera ? (cameraPosition - lastCamera).length() / dt : 0.f;
    lastCamera = cameraPosition;
    haveCamera = true;
    if (!hadCamera)
        return false;
    const float ballSpeed = ballVelocity.length();
    if (atRest) {
        if (ballSpeed > kMovingSpeed || cameraSpeed > kMovingSpeed)
            atRest = false;
        return false;
    }
    // NaN compares false: a broken value never counts as rest.
    atRest = ballSpeed < kRestSpeed && cameraSpeed < kRestSpeed;
    return atRest;
}

} // namespace lumaroll
