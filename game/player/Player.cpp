// The player's construction, the set-up steps that hand what one part finds
// to another, and the input it keeps for the next step.
#include "player/Player.h"

#include "logic/SceneWorld.h"
#include "player/Rail.h"

#include <cstdio>
#include <utility>

namespace lumaroll {

namespace {

const std::string kControls = "controls";
const std::string kCountdown = "countdown";

// Fields of the form record, counted from 0.
constexpr size_t kFormFields = 13;
// The form record's field that names the model's shadow node.
constexpr size_t kShadowField = 4;

} // namespace

Player::Player(hgr::Scene* levelScene, SceneWorld* levelWorld)
    : scene(levelScene), world(levelWorld), collision(levelScene, levelWorld),
      physics(levelScene, levelWorld, collision.grid()), rider(levelWorld), camera(collision.grid()),
      shadows(levelScene, collision.grid())
{
}

Player::~Player() = default;

void Player::addTouchable(const std::string& name, hgr::Node* node, float radius)
{
    collision.addTouchable(name, node, radius);
}

void Player::loadForms(const std::string& text)
{
    std::vector<std::string> fields(1);
    for (char c : text) {
        if (c == ',')
            fields.emplace_back();
        else
            fields.back() += c;
    }
    if (fields.size() < kFormFields) {
        std::fprintf(stderr, "D_forminfo incompleto (%d campos)\n", static_cast<int>(fields.size()));
        return;
    }
    model.setShadowName(fields[kShadowField]);
    physics.takeFormValues(fields);
}

void Player::analyseModel(hgr::Node* modelRoot)
{
    const BallModel::Analysis found = model.analyse(modelRoot);
    physics.takeModelRadius(found.bodyRadius);
    shadows.adoptModelShadow(found.shadow);
}

void Player::buildRails()
{
    RailSet built = readRails(scene);
    camera.setGuides(std::move(built.guides));
    rider.setRails(std::move(built.rails));
}

bool Player::controlsEnabled() const
{
    if (cameraHold || !world)
        return false;
    if (world->hasVariable(kControls) && world->getVariable(kControls) == 0.f)
        return false;
    if (world->hasVariable(kCountdown) && world->getVariable(kCountdown) > 0.f)
        return false;
    return true;
}

void Player::setMoveInput(bool stick, bool cameraFollow, bool idle, float x, float y)
{
    stickMode = stick;
    tiltCameraFollow = cameraFollow;
    touchIdle = idle;
    stickX = x;
    stickY = y;
}

} // namespace lumaroll
