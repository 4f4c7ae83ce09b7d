// STAND-IN for the follow camera: it leaves the camera where it is. Replaced
// by the rails, follow camera and model issue.
#include "player/Player.h"

namespace lumaroll {

void Player::updateCamera(hgr::Node*, float) {}

} // namespace lumaroll
