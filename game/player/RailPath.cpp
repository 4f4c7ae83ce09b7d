#include "player/RailPath.h"

#include "player/PlayerMath.h"

#include <algorithm>
#include <cmath>

namespace lumaroll {

namespace {

const math::Vector3 kUp(0.f, 1.f, 0.f);
const math::Vector3 kAhead(0.f, 0.f, 1.f);

RailSample nothingFound()
{
    RailSample s;
    s.offset = 1e30f;
    return s;
}

} // namespace

void RailPath::setPoints(const std::vector<math::Vector3>& newPoints,
                         const std::vector<math::Vector3>& orientationPoints)
{
    points = newPoints;
    const size_t n = points.size();
    gaps.assign(n, false);
    ups.assign(n, kUp);
    measure();

    // An orientation line of as many points is drawn on its own and may run
    // the other way round: it is taken in reverse when that pairs the points
    // nearer in all. Its ends alone cannot tell on a closed loop, whose first
    // and last points are one; where neither way is nearer it stays as drawn.
    const bool paired = !points.empty() && orientationPoints.size() == n;
    std::vector<math::Vector3> reversed;
    const std::vector<math::Vector3>* targets = &orientationPoints;
    if (paired && pairsNearerReversed(orientationPoints)) {
        reversed.assign(orientationPoints.rbegin(), orientationPoints.rend());
        targets = &reversed;
    }

    for (size_t i = 0; i < n; ++i) {
        const math::Vector3& p = points[i];
        math::Vector3 target = p + kUp;
        if (paired) {
            target = (*targets)[i];
        } else if (!orientationPoints.empty()) {
            float best = 1e30f;
            for (const math::Vector3& o : orientationPoints) {
                const float d = (o - p).length();
                if (d < best) {
                    best = d;
                    target = o;
                }
            }
        }
        ups[i] = unitOr(target - p, kUp);
    }
}

bool RailPath::pairsNearerReversed(const std::vector<math::Vector3>& orientationPoints) const
{
    const size_t n = points.size();
    double asDrawn = 0.0, reversed = 0.0;
    for (size_t i = 0; i < n; ++i) {
        asDrawn += double((orientationPoints[i] - points[i]).length());
        reversed += double((orientationPoints[n - 1 - i] - points[i]).length());
    }
    // Sums that are not numbers compare false: the line stays as drawn.
    return reversed < asDrawn;
}

void RailPath::setPieces(const std::vector<size_t>& pieceStarts)
{
    gaps.assign(points.size(), false);
    for (size_t v : pieceStarts)
        if (v != 0 && v - 1 < points.size())
            gaps[v - 1] = true;
    measure();
}

void RailPath::measure()
{
    const size_t n = points.size();
    lengths.assign(n, 0.f);
    lengthsOrdered = true;
    for (size_t i = 1; i < n; ++i) {
        lengths[i] = lengths[i - 1];
        if (i - 1 >= gaps.size() || !gaps[i - 1])
            lengths[i] += (points[i] - points[i - 1]).length();
        if (std::isnan(lengths[i]))
            lengthsOrdered = false;
    }
}

RailSample RailPath::sample(size_t i, float t) const
{
    RailSample s;
    if (i + 1 >= points.size() || ups.size() != points.size() || lengths.size() != points.size())
        return s;
    const math::Vector3 d = points[i + 1] - points[i];
    s.position = d * t + points[i];
    s.tangent = unitOr(d, kAhead);
    const math::Vector3 u = unitOr(ups[i] * (1.f - t) + ups[i + 1] * t, kUp);
    s.up = unitOr(u - s.tangent * u.dot(s.tangent), u);
    s.distance = (lengths[i + 1] - lengths[i]) * t + lengths[i];
    s.offset = 0.f;
    return s;
}

RailSample RailPath::closestOver(const math::Vector3& position, size_t first, size_t last, bool window, float lo,
                                 float hi, bool& tested) const
{
    // Index and fraction of the best segment; sampled once at the end.
    size_t bestSegment = 0;
    float bestT = 0.f;
    float bestOffset = 1e30f;
    tested = false;
    for (size_t i = first; i < last; ++i) {
        if (i < gaps.size() && gaps[i])
            continue;
        if (window) {
            // Lengths rise along the path: past hi no later segment qualifies.
            if (lengthsOrdered && !(lengths[i] <= hi))
                break;
            if (!(lengths[i + 1] >= lo && lengths[i] <= hi))
                continue;
        }
        tested = true;
        const math::Vector3& a = points[i];
        const math::Vector3 d = points[i + 1] - a;
        const float dd = d.dot(d);
        float t = 0.f;
        if (dd > 0.00000001f)
            t = std::min(std::max((position - a).dot(d) / dd, 0.f), 1.f);
        const float e = (position - (a + d * t)).length();
        if (e < bestOffset) {
            bestOffset = e;
            bestSegment = i;
            bestT = t;
        }
    }
    if (bestOffset >= 1e30f)
        return nothingFound();
    RailSample s = sample(bestSegment, bestT);
    s.offset = bestOffset;
    return s;
}

RailSample RailPath::closestPoint(const math::Vector3& position) const
{
    if (points.size() < 2 || lengths.size() != points.size())
        return nothingFound();
    bool tested = false;
    return closestOver(position, 0, points.size() - 1, false, 0.f, 0.f, tested);
}

RailSample RailPath::closestPointNear(const math::Vector3& position, float distance, float behind,
                                      float ahead) const
{
    if (points.size() < 2 || lengths.size() != points.size())
        return nothingFound();
    const float lo = distance - behind, hi = distance + ahead;
    size_t first = 0;
    if (lengthsOrdered) {
        // The first segment whose end reaches lo.
        first = size_t(std::lower_bound(lengths.begin() + 1, lengths.end(), lo) - lengths.begin()) - 1;
    }
    bool tested = false;
    const RailSample s = closestOver(position, first, points.size() - 1, true, lo, hi, tested);
    return tested ? s : closestPoint(position);
}

RailSample RailPath::sampleAtDistance(float distance) const
{
    const size_t n = points.size();
    if (n < 2 || lengths.size() != n)
        return RailSample();
    if (distance <= 0.f)
        return sample(0, 0.f);
    size_t first = 0;
    if (lengthsOrdered)
        first = size_t(std::lower_bound(lengths.begin() + 1, lengths.end(), distance) - lengths.begin()) - 1;
    for (size_t i = first; i + 1 < n; ++i) {
        if (i < gaps.size() && gaps[i])
            continue;
        if (distance <= lengths[i + 1]) {
            const float span = lengths[i + 1] - lengths[i];
            return sample(i, span > 0.000001f ? (distance - lengths[i]) / span : 0.f);
        }
    }
    return sample(n - 2, 1.f);
}

} // namespace lumaroll
