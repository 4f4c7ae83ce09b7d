#include "player/CollisionGrid.h"

#include <algorithm>
#include <cmath>

namespace lumaroll {

namespace {

// Cell indices are clamped to the 21 bits per axis that a cell key holds.
constexpr int64_t kMinCell = -(int64_t(1) << 20);
constexpr int64_t kMaxCell = (int64_t(1) << 20) - 1;

// Triangles whose normal has a smaller y are vertical: never ground.
constexpr float kVertical = 1e-4f;

bool isFinite(float v)
{
    return math::isFiniteFloat(v);
}

} // namespace

math::Vector3 closestPointOnTriangle(const math::Vector3& p, const math::Vector3& a, const math::Vector3& b,
                                     const math::Vector3& c)
{
    const math::Vector3 ab = b - a, ac = c - a, ap = p - a;
    const float d1 = ab.dot(ap), d2 = ac.dot(ap);
    if (d1 <= 0.f && d2 <= 0.f)
        return a;
    const math::Vector3 bp = p - b;
    const float d3 = ab.dot(bp), d4 = ac.dot(bp);
    if (d3 >= 0.f && d4 <= d3)
        return b;
    const float vc = d1 * d4 - d3 * d2;
    if (vc <= 0.f && d1 >= 0.f && d3 <= 0.f)
        return a + ab * (d1 / (d1 - d3));
    const math::Vector3 cp = p - c;
    const float d5 = ab.dot(cp), d6 = ac.dot(cp);
    if (d6 >= 0.f && d5 <= d6)
        return c;
    const float vb = d5 * d2 - d1 * d6;
    if (vb <= 0.f && d2 >= 0.f && d6 <= 0.f)
        return a + ac * (d2 / (d2 - d6));
    const float va = d3 * d6 - d5 * d4;
    if (va <= 0.f && (d4 - d3) >= 0.f && (d5 - d6) >= 0.f)
        return b + (c - b) * ((d4 - d3) / ((d4 - d3) + (d5 - d6)));
    const float denom = 1.f / (va + vb + vc);
    return a + ab * (vb * denom) + ac * (vc * denom);
}

float rayTriangleDistance(const math::Vector3& origin, const math::Vector3& dir, const CollisionTriangle& t)
{
    const math::Vector3 e1 = t.b - t.a, e2 = t.c - t.a;
    const math::Vector3 pvec = dir.cross(e2);
    const float det = e1.dot(pvec);
    if (std::fabs(det) < 1e-8f)
        return -1.f;
    const float inv = 1.f / det;
    const math::Vector3 tvec = origin - t.a;
    const float u = tvec.dot(pvec) * inv;
    if (u < 0.f || u > 1.f)
        return -1.f;
    const math::Vector3 qvec = tvec.cross(e1);
    const float v = dir.dot(qvec) * inv;
    if (v < 0.f || u + v > 1.f)
        return -1.f;
    return e2.dot(qvec) * inv;
}

bool crossesFace(const CollisionTriangle& t, const math::Vector3& from, const math::Vector3& to, float& fraction)
{
    const float start = t.normal.dot(from - t.a);
    const float end = t.normal.dot(to - t.a);
    if (start == 0.f || (start > 0.f && end > 0.f) || (start < 0.f && end < 0.f))
        return false;
    const float f = start / (start - end);
    if (!(f >= 0.f && f <= 1.f))
        return false;
    const math::Vector3 p = from + (to - from) * f;
    // Each edge function is the edge's length times the distance of p from
    // it, positive inside. The margin covers the rounding of p, which grows
    // with the size of its coordinates.
    const float margin = 1e-3f + 1e-6f * std::max({std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)});
    const auto inside = [&](const math::Vector3& a, const math::Vector3& b) {
        const math::Vector3 edge = b - a;
        return edge.cross(p - a).dot(t.normal) >= -margin * edge.length();
    };
    if (!inside(t.a, t.b) || !inside(t.b, t.c) || !inside(t.c, t.a))
        return false;
    fraction = f;
    return true;
}

CollisionGrid::CollisionGrid(float size) : cellSize(size) {}

int64_t CollisionGrid::cellOf(float v) const
{
    // In double and 64 bits: a coordinate far out or not a number still gives a cell of the key's range.
    const double q = std::floor(double(v) / double(cellSize));
    if (!(q >= double(kMinCell)))
        return kMinCell;
    if (q > double(kMaxCell))
        return kMaxCell;
    return int64_t(q);
}

uint64_t CollisionGrid::keyOf(int64_t cx, int64_t cy, int64_t cz)
{
    return ((uint64_t(cx) & 0x1FFFFF) << 42) | ((uint64_t(cy) & 0x1FFFFF) << 21) | (uint64_t(cz) & 0x1FFFFF);
}

const std::vector<int>* CollisionGrid::cellAt(int64_t cx, int64_t cy, int64_t cz) const
{
    const auto it = cells.find(keyOf(cx, cy, cz));
    return it == cells.end() ? nullptr : &it->second.items;
}

uint32_t CollisionGrid::beginQuery() const
{
    if (++queryNumber == 0) {
        std::fill(stamps.begin(), stamps.end(), 0u);
        queryNumber = 1;
    }
    return queryNumber;
}

bool CollisionGrid::testOnce(int triangle, uint32_t query) const
{
    if (stamps[size_t(triangle)] == query)
        return false;
    stamps[size_t(triangle)] = query;
    return true;
}

bool CollisionGrid::isSolid(int owner) const
{
    return owner < 0 || size_t(owner) >= owners.size() || owners[size_t(owner)].solid;
}

void CollisionGrid::addTriangle(int owner, const math::Vector3& a, const math::Vector3& b, const math::Vector3& c)
{
    if (!a.isFinite() || !b.isFinite() || !c.isFinite())
        return;
    math::Vector3 n = (b - a).cross(c - a);
    const float length = n.length();
    if (!(length > 1e-9f))
        return;
    n *= 1.f / length;
    // An overflowing cross product leaves no direction.
    if (!(n.length() >= 0.5f))
        return;

    const int index = static_cast<int>(triangles.size());
    CollisionTriangle t;
    t.a = a;
    t.b = b;
    t.c = c;
    t.normal = n;
    t.owner = owner;
    triangles.push_back(t);
    stamps.push_back(0);

    const int64_t lx = cellOf(std::min({a.x, b.x, c.x})), hx = cellOf(std::max({a.x, b.x, c.x}));
    const int64_t ly = cellOf(std::min({a.y, b.y, c.y})), hy = cellOf(std::max({a.y, b.y, c.y}));
    const int64_t lz = cellOf(std::min({a.z, b.z, c.z})), hz = cellOf(std::max({a.z, b.z, c.z}));
    // Each extent is at most 2^21, so two of them multiply safely in 64 bits.
    const int64_t columns = (hx - lx + 1) * (hz - lz + 1);
    if (columns > kMaxCellsPerTriangle || columns * (hy - ly + 1) > kMaxCellsPerTriangle) {
        largeTriangles.push_back(index);
        ++cellEntries;
        return;
    }
    // Vertical triangles are never ground: the ground query's copy leaves them out.
    const bool ground = std::fabs(n.y) >= kVertical;
    const GroundEntry entry{a.x, a.z, b.x, b.z, c.x, c.z, index};
    for (int64_t x = lx; x <= hx; ++x)
        for (int64_t y = ly; y <= hy; ++y)
            for (int64_t z = lz; z <= hz; ++z) {
                Cell& cell = cells[keyOf(x, y, z)];
                cell.items.push_back(index);
                if (ground)
                    addGround(cell, entry);
                ++cellEntries;
            }
}

CollisionGrid::GroundRun CollisionGrid::takeRun(uint32_t capacity)
{
    std::vector<GroundRun>& left = freeRuns[__builtin_ctz(capacity)];
    if (!left.empty()) {
        const GroundRun run = left.back();
        left.pop_back();
        return run;
    }
    if (groundBlocks.empty() || groundBlocks.back().size() + capacity > groundBlocks.back().capacity()) {
        groundBlocks.emplace_back();
        groundBlocks.back().reserve(std::max(kGroundBlockEntries, capacity));
    }
    std::vector<GroundEntry>& block = groundBlocks.back();
    const GroundRun run{uint32_t(groundBlocks.size() - 1), uint32_t(block.size())};
    block.resize(block.size() + capacity);
    return run;
}

void CollisionGrid::addGround(Cell& cell, const GroundEntry& entry)
{
    if (cell.groundCount == cell.groundCapacity) {
        const uint32_t capacity = cell.groundCapacity ? 2 * cell.groundCapacity : 8;
        const GroundRun run = takeRun(capacity);
        if (cell.groundCount > 0) {
            const GroundEntry* from = groundBlocks[cell.ground.block].data() + cell.ground.offset;
            std::copy_n(from, cell.groundCount, groundBlocks[run.block].data() + run.offset);
            freeRuns[__builtin_ctz(cell.groundCapacity)].push_back(cell.ground);
        }
        cell.ground = run;
        cell.groundCapacity = capacity;
    }
    groundBlocks[cell.ground.block][cell.ground.offset + cell.groundCount++] = entry;
}

bool CollisionGrid::findGroundBelow(const math::Vector3& p, float& height, float maxDrop) const
{
    math::Vector3 normal;
    return findGroundBelow(p, height, normal, maxDrop);
}

bool CollisionGrid::findGroundBelow(const math::Vector3& p, float& height, math::Vector3& normal,
                                    float maxDrop) const
{
    if (!p.isFinite() || !isFinite(maxDrop) || maxDrop > kMaxRangeCells * cellSize)
        return false;
    float best = p.y - maxDrop;
    bool found = false;
    // Whether (p.x, p.z) lies in the triangle's shadow first: most fail it.
    // The signs combine without branches (they would mostly mispredict).
    const auto inside = [&](const GroundEntry& t) {
        const float e1 = (t.bz - t.az) * (p.x - t.ax) - (t.bx - t.ax) * (p.z - t.az);
        const float e2 = (t.cz - t.bz) * (p.x - t.bx) - (p.z - t.bz) * (t.cx - t.bx);
        const float e3 = (p.x - t.cx) * (t.az - t.cz) - (t.ax - t.cx) * (p.z - t.cz);
        return ((e1 >= 0.f) & (e2 >= 0.f) & (e3 >= 0.f)) | ((e1 <= 0.f) & (e2 <= 0.f) & (e3 <= 0.f));
    };
    // The height of a triangle the point lies under, raising best.
    const auto test = [&](const CollisionTriangle& t) {
        const math::Vector3& n = t.normal;
        const float d = t.a.y - (n.x * (p.x - t.a.x) + n.z * (p.z - t.a.z)) / n.y;
        if (!(d <= p.y && d >= best))
            return;
        best = d;
        normal = n.y > 0.f ? n : -n;
        found = true;
    };
    const int64_t cx = cellOf(p.x), cz = cellOf(p.z);
    const int64_t bottom = cellOf(p.y - maxDrop);
    // A ground point lies in every cell its triangle was registered in, so
    // once the best ground is inside the cells walked so far (with room for
    // rounding), the cells below hold nothing higher.
    const float margin = 0.01f * cellSize;
    for (int64_t cy = cellOf(p.y); cy >= bottom; --cy) {
        const auto it = cells.find(keyOf(cx, cy, cz));
        if (it != cells.end() && it->second.groundCount > 0) {
            const Cell& cell = it->second;
            const GroundEntry* entries = groundBlocks[cell.ground.block].data() + cell.ground.offset;
            for (uint32_t k = 0; k < cell.groundCount; ++k)
                if (inside(entries[k]))
                    test(triangles[size_t(entries[k].index)]);
        }
        if (found && best >= float(cy) * cellSize + margin)
            break;
    }
    for (int i : largeTriangles) {
        const CollisionTriangle& t = triangles[size_t(i)];
        if (std::fabs(t.normal.y) >= kVertical && inside(GroundEntry{t.a.x, t.a.z, t.b.x, t.b.z, t.c.x, t.c.z, i}))
            test(t);
    }
    if (found)
        height = best;
    return found;
}

bool CollisionGrid::intersectSegment(const math::Vector3& origin, const math::Vector3& dir,
                                     math::Vector3& hitPoint, math::Vector3& hitNormal, bool skipMarked,
                                     float maxDist, int* hitOwner) const
{
    if (!origin.isFinite() || !dir.isFinite() || !isFinite(maxDist) || maxDist <= 0.f ||
        maxDist > kMaxRangeCells * cellSize)
        return false;
    const uint32_t query = beginQuery();
    float best = maxDist;
    bool hit = false;
    const auto test = [&](int index) {
        if (!testOnce(index, query))
            return;
        const CollisionTriangle& t = triangles[size_t(index)];
        if (!isSolid(t.owner))
            return;
        if (skipMarked && t.owner >= 0 && size_t(t.owner) < owners.size() && owners[size_t(t.owner)].marked)
            return;
        const float distance = rayTriangleDistance(origin, dir, t);
        if (!(distance >= 0.f && distance < best))
            return;
        best = distance;
        hitNormal = t.normal.dot(dir) > 0.f ? -t.normal : t.normal;
        if (hitOwner)
            *hitOwner = t.owner;
        hit = true;
    };
    for (int i : largeTriangles)
        test(i);

    // The march looks at the 3x3x3 cells around samples half a cell apart.
    // A triangle the segment meets is registered in the cell of the meeting
    // point, so cells of a block that the segment does not pass through are
    // skipped (cells at the clamped edge of the key range stand for
    // everything beyond and are always searched). Cells already covered by
    // one of the last few sample blocks are not searched again either: their
    // triangles were tested.
    const double o[3] = {origin.x, origin.y, origin.z};
    const double d[3] = {dir.x, dir.y, dir.z};
    const double margin = 0.01 * double(cellSize);
    const auto segmentMisses = [&](int64_t x, int64_t y, int64_t z) {
        const int64_t c[3] = {x, y, z};
        double t0 = 0.0, t1 = double(maxDist);
        for (int axis = 0; axis < 3; ++axis) {
            if (c[axis] <= kMinCell || c[axis] >= kMaxCell)
                return false;
            const double lo = double(c[axis]) * cellSize - margin, hi = double(c[axis] + 1) * cellSize + margin;
            if (d[axis] == 0.0) {
                if (o[axis] < lo || o[axis] > hi)
                    return true;
                continue;
            }
            double ta = (lo - o[axis]) / d[axis], tb = (hi - o[axis]) / d[axis];
            if (ta > tb)
                std::swap(ta, tb);
            t0 = std::max(t0, ta);
            t1 = std::min(t1, tb);
            if (t0 > t1)
                return true;
        }
        return false;
    };
    struct Cell {
        int64_t x, y, z;
    };
    Cell recent[4] = {};
    int recentCount = 0, recentNext = 0;
    const auto coveredBefore = [&](int64_t x, int64_t y, int64_t z) {
        for (int k = 0; k < recentCount; ++k) {
            if (std::llabs(recent[k].x - x) <= 1 && std::llabs(recent[k].y - y) <= 1 &&
                std::llabs(recent[k].z - z) <= 1)
                return true;
        }
        return false;
    };
    const float step = 0.5f * cellSize;
    const int64_t samples = static_cast<int64_t>(std::ceil(maxDist / step));
    for (int64_t i = 0; i <= samples; ++i) {
        const float along = std::min(float(i) * step, maxDist);
        const math::Vector3 s = origin + dir * along;
        const Cell c{cellOf(s.x), cellOf(s.y), cellOf(s.z)};
        const Cell& last = recent[(recentNext + 3) % 4];
        const bool sameBlock = recentCount > 0 && last.x == c.x && last.y == c.y && last.z == c.z;
        if (!sameBlock) {
            for (int64_t x = c.x - 1; x <= c.x + 1; ++x)
                for (int64_t y = c.y - 1; y <= c.y + 1; ++y)
                    for (int64_t z = c.z - 1; z <= c.z + 1; ++z) {
                        if (coveredBefore(x, y, z) || segmentMisses(x, y, z))
                            continue;
                        if (const std::vector<int>* list = cellAt(x, y, z))
                            for (int index : *list)
                                test(index);
                    }
            recent[recentNext] = c;
            recentNext = (recentNext + 1) % 4;
            recentCount = std::min(recentCount + 1, 4);
        }
        if (hit && float(i) * step > cellSize + best)
            break;
    }
    if (hit)
        hitPoint = origin + dir * best;
    return hit;
}

template <class Visit>
void CollisionGrid::visitBox(const math::Vector3& lo, const math::Vector3& hi, Visit&& visit) const
{
    const int64_t lx = cellOf(lo.x), hx = cellOf(hi.x);
    const int64_t ly = cellOf(lo.y), hy = cellOf(hi.y);
    const int64_t lz = cellOf(lo.z), hz = cellOf(hi.z);
    for (int64_t x = lx; x <= hx; ++x)
        for (int64_t y = ly; y <= hy; ++y)
            for (int64_t z = lz; z <= hz; ++z)
                if (const std::vector<int>* list = cellAt(x, y, z))
                    for (int index : *list)
                        visit(index);
}

bool CollisionGrid::firstCrossing(const math::Vector3& from, const math::Vector3& to, float& fraction,
                                  math::Vector3& normal) const
{
    const math::Vector3 d = to - from;
    const float length = d.length();
    if (!from.isFinite() || !to.isFinite() || !isFinite(length) || length > kMaxRangeCells * cellSize)
        return false;
    const uint32_t query = beginQuery();
    float best = 2.f;
    const auto test = [&](int index) {
        if (!testOnce(index, query))
            return;
        const CollisionTriangle& t = triangles[size_t(index)];
        float f;
        if (!crossesFace(t, from, to, f) || !(f < best) || !isSolid(t.owner))
            return;
        best = f;
        normal = t.normal.dot(from - t.a) > 0.f ? t.normal : -t.normal;
    };
    for (int i : largeTriangles)
        test(i);
    // A face the segment meets is registered in the cell of the meeting
    // point, which lies in the box of the piece it falls in (the margin
    // covers the faces met just beyond their edges). Pieces are searched in
    // order until one holds the first meeting found.
    const float margin = 0.01f * cellSize;
    const int pieces = std::max(1, static_cast<int>(std::ceil(length / cellSize)));
    for (int k = 0; k < pieces && best > float(k) / float(pieces); ++k) {
        const math::Vector3 p0 = from + d * (float(k) / float(pieces));
        const math::Vector3 p1 = k + 1 == pieces ? to : from + d * (float(k + 1) / float(pieces));
        const math::Vector3 lo(std::min(p0.x, p1.x) - margin, std::min(p0.y, p1.y) - margin,
                               std::min(p0.z, p1.z) - margin);
        const math::Vector3 hi(std::max(p0.x, p1.x) + margin, std::max(p0.y, p1.y) + margin,
                               std::max(p0.z, p1.z) + margin);
        visitBox(lo, hi, test);
    }
    if (best > 1.f)
        return false;
    fraction = best;
    return true;
}

void CollisionGrid::gatherTriangles(const math::Vector3& centre, std::vector<SphereContact>& out, float radius,
                                    const math::Vector3* side) const
{
    out.clear();
    if (!centre.isFinite() || !(radius > 0.f) || !(radius <= kMaxContactRadiusCells * cellSize))
        return;
    const uint32_t query = beginQuery();
    const auto test = [&](int index) {
        if (!testOnce(index, query))
            return;
        const CollisionTriangle& t = triangles[size_t(index)];
        const math::Vector3 q = closestPointOnTriangle(centre, t.a, t.b, t.c);
        const math::Vector3 d = centre - q;
        const float dist = d.length();
        if (!(dist < radius))
            return;
        SphereContact contact;
        if (dist > 1e-4f) {
            contact.normal = d * (1.f / dist);
        } else {
            // The centre lies on the triangle: its normal, facing the side the ball came from.
            contact.normal = t.normal;
            if (side && contact.normal.dot(*side - centre) < 0.f)
                contact.normal = -contact.normal;
        }
        contact.depth = radius - dist;
        contact.owner = t.owner;
        contact.triangle = index;
        out.push_back(contact);
    };
    visitBox(math::Vector3(centre.x - radius, centre.y - radius, centre.z - radius),
             math::Vector3(centre.x + radius, centre.y + radius, centre.z + radius), test);
    for (int i : largeTriangles)
        test(i);
}

} // namespace lumaroll
