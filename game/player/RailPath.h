// The polyline of a rail or camera guide: loose line segments put in order,
// an up vector per point, the distance along the path, and the queries that
// riding and the guided camera ask every frame.
#pragma once

#include <math/Vector3.h>

#include <cstddef>
#include <vector>

namespace lumaroll {

// End points nearer than this are joined: loose segments into one line, and
// the last point of a path with its first into a loop.
constexpr float kRailJoin = 2.f;

// A point of a path with its unit tangent (the direction of its segment) and
// unit up vector, the distance along the path, and for closest-point queries
// the distance from the query position (1e30 when nothing was found, 0 from
// the other queries).
struct RailSample {
    math::Vector3 position;
    math::Vector3 tangent;
    math::Vector3 up;
    float distance = 0.f;
    float offset = 0.f;
};

// Segment i joins points i and i + 1. A path of fewer than 2 points is empty
// for every query. Gap segments (between two pieces of a drawing) are skipped
// by every query and add nothing to the lengths. The queries allocate nothing.
struct RailPath {
    std::vector<math::Vector3> points;
    std::vector<math::Vector3> ups; // one unit vector per point
    std::vector<float> lengths;     // distance along the path at each point; lengths[0] = 0
    std::vector<bool> gaps;         // gaps[i]: segment i jumps between two pieces

    // Stores points with lengths and no gaps. Ups aim at orientationPoints:
    // each point at the orientation point of its own index when the counts
    // match (the orientation list is reversed first when that pairs the
    // points nearer in sum: a line drawn the other way round, open or closed),
    // else at the nearest one; straight up without orientation points or
    // where the aim is degenerate.
    void setPoints(const std::vector<math::Vector3>& points, const std::vector<math::Vector3>& orientationPoints);
    // Marks the segment before every piece start (as buildRailPoints reports
    // them) as a gap and measures the lengths again.
    void setPieces(const std::vector<std::size_t>& pieceStarts);

    // The point at fraction t (0 to 1) of segment i; requires i + 1 < points.size().
    RailSample sample(std::size_t segment, float t) const;
    // The closest point of the whole path to position (the first segment wins ties).
    RailSample closestPoint(const math::Vector3& position) const;
    // The same over the segments overlapping distance - behind .. distance +
    // ahead; over the whole path when no segment does.
    RailSample closestPointNear(const math::Vector3& position, float distance, float behind, float ahead) const;
    // The point at that distance along the path: the first point below 0,
    // the last point (with the last segment's tangent) beyond the end; a zero
    // sample for an empty path.
    RailSample sampleAtDistance(float distance) const;
    // Whether the path is a loop: its last point meets its first (nearer
    // than kRailJoin). False for an empty path.
    bool closed() const { return points.size() >= 2 && (points.back() - points.front()).length() < kRailJoin; }
    // Total length of the path (0 for an empty path).
    float length() const { return lengths.empty() ? 0.f : lengths.back(); }

private:
    // Whether lengths never decrease (none is NaN): the windowed query then
    // finds its first segment by bisection.
    bool lengthsOrdered = true;

    void measure();
    // Whether orientationPoints (as many as points) taken in reverse lie
    // nearer their path points, summed over all, than taken as drawn.
    bool pairsNearerReversed(const std::vector<math::Vector3>& orientationPoints) const;
    // Closest point over segments first .. last - 1 that are not gaps (and,
    // with window, that overlap lo .. hi); offset 1e30 when none was tested.
    RailSample closestOver(const math::Vector3& position, std::size_t first, std::size_t last, bool window,
                           float lo, float hi, bool& tested) const;
};

// Orders loose segments (two end points each: start, end; a last odd point is
// ignored) into one polyline, walking from free ends along the straightest
// continuation, end points nearer than 2 counting as joined. Segments that do
// not continue the walk begin further pieces; pieceStarts (emptied first)
// receives the index of the first point of every piece after the first.
// Expected time grows linearly with the segment count (end points are found
// through a hash of small cells).
std::vector<math::Vector3> buildRailPoints(const std::vector<math::Vector3>& segments,
                                           std::vector<std::size_t>* pieceStarts = nullptr);

} // namespace lumaroll
