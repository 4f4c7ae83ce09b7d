#include "input/FreeCamera.h"

#include <hgr/Camera.h>

#include <algorithm>
#include <cmath>

namespace lumaroll {

math::Vector3 FreeCamera::forward() const
{
    return math::Vector3(std::sin(yaw) * std::cos(pitch), std::sin(pitch), std::cos(yaw) * std::cos(pitch));
}

void FreeCamera::update(const Uint8* keys, bool keysActive, float gameDt)
{
    if (keys && keysActive) {
        if (keys[SDL_SCANCODE_LEFT])
            yaw -= 1.5f * gameDt;
        if (keys[SDL_SCANCODE_RIGHT])
            yaw += 1.5f * gameDt;
        if (keys[SDL_SCANCODE_UP])
            pitch += 1.2f * gameDt;
        if (keys[SDL_SCANCODE_DOWN])
            pitch -= 1.2f * gameDt;
    }
    pitch = std::clamp(pitch, -1.5f, 1.5f);
    if (!keys || !keysActive)
        return;
    const math::Vector3 ahead = forward();
    const math::Vector3 right(std::cos(yaw), 0.f, -std::sin(yaw));
    const float step = (keys[SDL_SCANCODE_LSHIFT] ? 2000.f : 400.f) * gameDt;
    if (keys[SDL_SCANCODE_W])
        position += ahead * step;
    if (keys[SDL_SCANCODE_S])
        position -= ahead * step;
    if (keys[SDL_SCANCODE_D])
        position += right * step;
    if (keys[SDL_SCANCODE_A])
        position -= right * step;
    if (keys[SDL_SCANCODE_E])
        position.y += step;
    if (keys[SDL_SCANCODE_Q])
        position.y -= step;
}

void FreeCamera::place(hgr::Camera* camera) const
{
    camera->setPosition(position);
    camera->lookAt(position + forward(), math::Vector3(0.f, 1.f, 0.f));
}

void FreeCamera::follow(const math::Matrix3x4& world)
{
    position = world.getTranslation();
    const math::Vector3 ahead = world.getColumn(2);
    yaw = std::atan2(ahead.x, ahead.z);
    pitch = std::asin(std::clamp(ahead.y, -1.f, 1.f));
}

} // namespace lumaroll
