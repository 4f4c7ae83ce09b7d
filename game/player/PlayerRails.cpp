// STAND-IN for building and riding rails: no rails are built, so riding is
// never reached. Replaced by the rails, follow camera and model issue.
#include "player/Player.h"

namespace lumaroll {

void Player::buildRails()
{
    rails.clear();
    cameraGuides.clear();
    guideIndex = -1;
}

void Player::rideRail(BallControl&, float) {}

} // namespace lumaroll
