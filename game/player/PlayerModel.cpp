// STAND-IN for the player model analysis, the eyes, the body roll and the
// shadows: the model root becomes the ball node, nothing else happens.
// Replaced by the rails, follow camera and model issue.
#include "player/Player.h"

namespace lumaroll {

void Player::analyseModel(hgr::Node* model)
{
    ballNode = model;
    if (model)
        model->setTransform(math::Matrix3x4(1.f));
}

void Player::createShadow(gr::Context*) {}

void Player::addShadowCaster(hgr::Node*, hgr::Node*, bool) {}

void Player::placeBallShadow() {}

void Player::placeObjectShadows() {}

void Player::updateLookDirection() {}

void Player::rollBody() {}

} // namespace lumaroll
