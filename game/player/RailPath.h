// STAND-IN for the rail path geometry: the final types and operations, but a
// path holds no points, so every query finds nothing (offset 1e30). Replaced
// by the rails, follow camera and model issue's path geometry.
#pragma once

#include <math/Vector3.h>

#include <cstddef>
#include <vector>

namespace lumaroll {

// A point of a path with its tangent and up vector, the distance along the
// path, and for closest-point queries the distance from the query position
// (1e30 when nothing was found).
struct RailSample {
    math::Vector3 position;
    math::Vector3 tangent;
    math::Vector3 up;
    float distance = 0.f;
    float offset = 0.f;
};

// A polyline with per-point up vectors, cumulative lengths and gap flags,
// shared by rails and camera guides.
struct RailPath {
    std::vector<math::Vector3> points;
    std::vector<math::Vector3> ups;
    std::vector<float> lengths;
    std::vector<bool> gaps;

    void setPoints(const std::vector<math::Vector3>&, const std::vector<math::Vector3>&) {}
    void setPieces(const std::vector<std::size_t>&) {}
    RailSample sample(std::size_t, float) const { return RailSample(); }
    RailSample closestPoint(const math::Vector3&) const { return nothingFound(); }
    RailSample closestPointNear(const math::Vector3&, float, float, float) const { return nothingFound(); }
    RailSample sampleAtDistance(float) const { return RailSample(); }
    // Total length of the path (0 for an empty path).
    float length() const { return lengths.empty() ? 0.f : lengths.back(); }

private:
    static RailSample nothingFound()
    {
        RailSample s;
        s.offset = 1e30f;
        return s;
    }
};

// Orders loose line segments (two end points each) into a polyline; the
// stand-in returns no points.
inline std::vector<math::Vector3> buildRailPoints(const std::vector<math::Vector3>&,
                                                  std::vector<std::size_t>* pieceStarts = nullptr)
{
    if (pieceStarts)
        pieceStarts->clear();
    return {};
}

} // namespace lumaroll
