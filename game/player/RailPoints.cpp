// Ordering loose segments into a polyline. The walk starts at the first free
// end in input order and follows the straightest continuation at each joint;
// end points are found through a hash of cells, so that neither the start
// search nor the continuation search compares every segment with every other.
#include "player/RailPath.h"

#include "player/PlayerMath.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <queue>
#include <unordered_map>

namespace lumaroll {

namespace {

// Cells are wider than the whole reach (2 on either side, with room for
// rounding): a point's neighbours lie in at most two cells per axis.
constexpr double kCell = 4.1;
constexpr double kReach = 2.01;
constexpr int64_t kCellLimit = int64_t(1) << 20;

bool near(const math::Vector3& a, const math::Vector3& b)
{
    return (a - b).length() < kRailJoin;
}

bool finite(const math::Vector3& p)
{
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

int64_t cellOf(double v)
{
    const double c = std::floor(v / kCell);
    if (c < double(-kCellLimit))
        return -kCellLimit;
    if (c > double(kCellLimit - 1))
        return kCellLimit - 1;
    return int64_t(c);
}

uint64_t keyOf(int64_t cx, int64_t cy, int64_t cz)
{
    const uint64_t mask = 0x1FFFFF;
    return ((uint64_t(cx) & mask) << 42) | ((uint64_t(cy) & mask) << 21) | (uint64_t(cz) & mask);
}

// Every end point of the segments by cell: entry 2i is the start of segment
// i, 2i + 1 its end. Points that are not finite are near nothing and are left out.
class EndPointCells {
public:
    explicit EndPointCells(const std::vector<math::Vector3>& segments) : points(segments)
    {
        const size_t count = segments.size() / 2 * 2;
        std::vector<std::pair<uint64_t, uint32_t>> keyed;
        keyed.reserve(count);
        for (size_t e = 0; e < count; ++e) {
            const math::Vector3& p = segments[e];
            if (finite(p))
                keyed.emplace_back(keyOf(cellOf(p.x), cellOf(p.y), cellOf(p.z)), uint32_t(e));
        }
        std::sort(keyed.begin(), keyed.end());
        entries.reserve(keyed.size());
        ranges.reserve(keyed.size());
        for (size_t i = 0; i < keyed.size(); ++i) {
            if (i == 0 || keyed[i].first != keyed[i - 1].first)
                ranges[keyed[i].first] = {uint32_t(i), uint32_t(i)};
            ranges[keyed[i].first].second = uint32_t(i + 1);
            entries.push_back(keyed[i].second);
        }
    }

    // Calls visit(entry) for every end point in the cells within reach of p.
    template <class Visit>
    void around(const math::Vector3& p, Visit&& visit) const
    {
        if (!finite(p))
            return;
        const int64_t x0 = cellOf(p.x - kReach), x1 = cellOf(p.x + kReach);
        const int64_t y0 = cellOf(p.y - kReach), y1 = cellOf(p.y + kReach);
        const int64_t z0 = cellOf(p.z - kReach), z1 = cellOf(p.z + kReach);
        for (int64_t x = x0; x <= x1; ++x)
            for (int64_t y = y0; y <= y1; ++y)
                for (int64_t z = z0; z <= z1; ++z) {
                    const auto found = ranges.find(keyOf(x, y, z));
                    if (found == ranges.end())
                        continue;
                    for (uint32_t i = found->second.first; i < found->second.second; ++i)
                        visit(entries[i]);
                }
    }

    const math::Vector3& point(uint32_t entry) const { return points[entry]; }

private:
    const std::vector<math::Vector3>& points;
    std::vector<uint32_t> entries;
    std::unordered_map<uint64_t, std::pair<uint32_t, uint32_t>> ranges;
};

} // namespace

std::vector<math::Vector3> buildRailPoints(const std::vector<math::Vector3>& segments,
                                           std::vector<size_t>* pieceStarts)
{
    if (pieceStarts)
        pieceStarts->clear();
    std::vector<math::Vector3> out;
    const size_t n = segments.size() / 2;
    if (n == 0)
        return out;
    const auto start = [&](size_t i) -> const math::Vector3& { return segments[2 * i]; };
    const auto end = [&](size_t i) -> const math::Vector3& { return segments[2 * i + 1]; };

    const EndPointCells cells(segments);
    std::vector<bool> taken(n, false);

    // Per segment, the end points of other remaining segments near its start:
    // a segment whose count is 0 starts at a free end. Counts only fall as
    // segments are taken, so the free ends wait in a queue, smallest index first.
    std::vector<int> blockers(n, 0);
    std::priority_queue<size_t, std::vector<size_t>, std::greater<size_t>> freeEnds;
    for (size_t i = 0; i < n; ++i) {
        cells.around(start(i), [&](uint32_t e) {
            if (e / 2 != i && near(start(i), cells.point(e)))
                ++blockers[i];
        });
        if (blockers[i] == 0)
            freeEnds.push(i);
    }
    size_t firstRemaining = 0;

    const auto take = [&](size_t j) {
        taken[j] = true;
        for (uint32_t own = uint32_t(2 * j); own <= uint32_t(2 * j + 1); ++own) {
            const math::Vector3& p = cells.point(own);
            cells.around(p, [&](uint32_t e) {
                const size_t i = e / 2;
                if (e % 2 == 0 && i != j && !taken[i] && near(start(i), p) && --blockers[i] == 0)
                    freeEnds.push(i);
            });
        }
    };
    // The first free end in input order, else the first remaining segment
    // (a closed loop); n when every segment is taken.
    const auto nextStart = [&]() -> size_t {
        while (!freeEnds.empty() && taken[freeEnds.top()])
            freeEnds.pop();
        if (!freeEnds.empty())
            return freeEnds.top();
        while (firstRemaining < n && taken[firstRemaining])
            ++firstRemaining;
        return firstRemaining;
    };

    // Marks of the segments already scored at the current joint.
    std::vector<size_t> scoredAt(n, size_t(-1));
    size_t joint = 0;
    for (size_t current = nextStart(); current < n; current = nextStart()) {
        bool reversed = false;
        for (;;) {
            take(current);
            const math::Vector3& first = reversed ? end(current) : start(current);
            const math::Vector3& second = reversed ? start(current) : end(current);
            if (out.empty()) {
                out.push_back(first);
            } else if (!near(out.back(), first)) {
                if (pieceStarts)
                    pieceStarts->push_back(out.size());
                out.push_back(first);
            }
            out.push_back(second);

            // The straightest continuation; the first in input order wins ties.
            const math::Vector3 dir = unitOr(second - first, math::Vector3(0.f, 0.f, 1.f));
            float bestScore = -2.f;
            size_t best = n;
            bool bestReversed = false;
            ++joint;
            cells.around(second, [&](uint32_t e) {
                const size_t j = e / 2;
                if (taken[j] || scoredAt[j] == joint)
                    return;
                scoredAt[j] = joint;
                float score;
                bool backwards;
                if (near(start(j), second)) {
                    score = unitOr(end(j) - start(j), math::Vector3(0.f, 0.f, 1.f)).dot(dir);
                    backwards = false;
                } else if (near(end(j), second)) {
                    score = unitOr(start(j) - end(j), math::Vector3(0.f, 0.f, 1.f)).dot(dir);
                    backwards = true;
                } else {
                    return;
                }
                if (score > bestScore || (score == bestScore && j < best)) {
                    bestScore = score;
                    best = j;
                    bestReversed = backwards;
                }
            });
            if (best == n)
                break;
            current = best;
            reversed = bestReversed;
        }
    }
    return out;
}

} // namespace lumaroll
