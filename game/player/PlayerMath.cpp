#include "player/PlayerMath.h"

#include <algorithm>

namespace lumaroll {

math::Matrix3x3 tiltTo(const math::Vector3& n)
{
    const math::Vector3 up(0.f, 1.f, 0.f);
    const math::Vector3 axis = up.cross(n);
    if (!(axis.length() >= 1e-4f)) {
        if (n.y >= 0.f || std::isnan(n.y))
            return math::Matrix3x3();
        return math::Matrix3x3::rotation(math::Vector3(1.f, 0.f, 0.f), kPi);
    }
    const float cosine = std::min(std::max(up.dot(n) / n.length(), -1.f), 1.f);
    return math::Matrix3x3::rotation(axis, std::acos(cosine));
}

math::Matrix3x3 lookAtFrame(const math::Vector3& forward, const math::Vector3& up)
{
    const math::Vector3 z = forward.normalize();
    const math::Vector3 side = up.cross(z);
    const math::Vector3 x = side.length() < 1e-5f ? math::Vector3(1.f, 0.f, 0.f) : side.normalize();
    const math::Vector3 y = z.cross(x);
    math::Matrix3x3 frame;
    frame.setColumn(0, x);
    frame.setColumn(1, y);
    frame.setColumn(2, z);
    return frame;
}

} // namespace lumaroll
