#include "player/Rail.h"

#include <hgr/Lines.h>

namespace lumaroll {

std::vector<math::Vector3> linesWorldPoints(const hgr::Lines* lines)
{
    std::vector<math::Vector3> points;
    if (!lines)
        return points;
    const math::Matrix3x4 world = lines->getWorldTransform();
    const int count = lines->getLineCount();
    points.reserve(size_t(count > 0 ? count : 0) * 2);
    for (int i = 0; i < count; ++i) {
        const hgr::Lines::Line& line = lines->getLine(i);
        points.push_back(world.transform(line.start));
        points.push_back(world.transform(line.end));
    }
    return points;
}

} // namespace lumaroll
