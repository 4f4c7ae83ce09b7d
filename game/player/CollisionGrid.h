// The level's collision world: the triangles of its collision meshes sorted
// into a hashed grid of cubic cells, with the ground, ray and sphere-contact
// queries that the ball, its start placement, the camera and the shadows ask.
//
// Ground probes of moving objects (their shadows) run every frame, and on a
// large level they are limited by memory reads: most triangles of a cell fail
// the test whether the point lies under them, and reading the 52-byte records
// through the cell's index list scatters those reads over the triangle array.
// So every cell also keeps a copy of its non-vertical triangles' corners seen
// from above (28 bytes each, with the index), one contiguous run per cell that
// the ground query reads front to back; it reads a triangle's record only when
// the point lies under it. The arithmetic on the copy is the same as on the
// records, so the answers are the same bit for bit. The runs live in blocks of
// their own: allocated one per cell beside the index lists, they would
// spread the lists that the ray and contact queries read, and slow those.
#pragma once

#include <math/Vector3.h>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace lumaroll {

// One collision mesh of the level; its index in CollisionGrid::owners is the
// owner of every triangle the mesh added. Written by LevelCollision.
struct CollisionOwner {
    std::string name;           // the node name that names the mesh (its property key)
    int group = 0;              // the "group" property, 0 when absent
    std::string executeTrigger; // the "executetrigger" property: fired while the ball touches the mesh
    bool solid = true;          // false (group bit 1024) makes the mesh passable: touched, never pushing
    bool marked = false;        // a "wall"/"ground" name or an execute trigger: rays may skip it
};

struct CollisionTriangle {
    math::Vector3 a, b, c; // corners in world coordinates, in the order given
    math::Vector3 normal;  // unit normal of (b - a) x (c - a)
    int owner = -1;        // index into CollisionGrid::owners
};

// One contact of a sphere with a triangle, found by CollisionGrid::gatherTriangles.
struct SphereContact {
    math::Vector3 normal; // unit vector from the triangle's closest point towards the centre
    float depth = 0.f;    // radius minus distance
    int owner = -1;
    int triangle = -1; // index into CollisionGrid::triangles
};

// The point of triangle (a, b, c) closest to p (over its vertex, edge and face regions).
math::Vector3 closestPointOnTriangle(const math::Vector3& p, const math::Vector3& a, const math::Vector3& b,
                                     const math::Vector3& c);

// Distance along dir (in dir's units) at which the ray from origin meets the
// triangle, from either face; negative when it misses or runs parallel.
float rayTriangleDistance(const math::Vector3& origin, const math::Vector3& dir, const CollisionTriangle& t);

// Whether the segment from `from` to `to` passes through the face of t:
// from lies off its plane, to on it or beyond, and the point where the
// segment meets the plane lies in the triangle (or within a rounding margin
// of its edges, so that a segment through an edge two triangles share meets
// one of them). fraction is then where along the segment (0 to 1) it meets
// the plane.
bool crossesFace(const CollisionTriangle& t, const math::Vector3& from, const math::Vector3& to, float& fraction);

class CollisionGrid {
public:
    // Most cells a triangle's bounding box may cover; a larger triangle goes
    // into one list that every query tests.
    static constexpr int64_t kMaxCellsPerTriangle = 4096;
    // Query ranges beyond these many cells return nothing.
    static constexpr float kMaxRangeCells = 10000.f;
    static constexpr float kMaxContactRadiusCells = 64.f;

    explicit CollisionGrid(float cellSize = 200.f);

    float cellSize;
    // One record per collision mesh (LevelCollision fills it); the
    // grid reads only solid and marked.
    std::vector<CollisionOwner> owners;
    std::vector<CollisionTriangle> triangles;

    // Appends a triangle and registers it in every cell of its bounding box.
    // Degenerate triangles and triangles with a non-finite corner are dropped.
    void addTriangle(int owner, const math::Vector3& a, const math::Vector3& b, const math::Vector3& c);

    // The highest ground at or below p within maxDrop: height and the normal
    // turned upwards. False when there is none, or p or maxDrop is not finite,
    // or maxDrop exceeds 10000 cells. Passable meshes count as ground.
    bool findGroundBelow(const math::Vector3& p, float& height, math::Vector3& normal, float maxDrop) const;
    bool findGroundBelow(const math::Vector3& p, float& height, float maxDrop) const;

    // The nearest triangle hit by the segment from origin along the unit
    // vector dir up to maxDist: hit point, normal facing against dir, owner
    // (when hitOwner is given). Passable owners never hit; with skipMarked
    // neither do marked ones. False without a hit or with non-finite input or
    // maxDist outside (0, 10000 cells].
    bool intersectSegment(const math::Vector3& origin, const math::Vector3& dir, math::Vector3& hitPoint,
                          math::Vector3& hitNormal, bool skipMarked, float maxDist, int* hitOwner) const;

    // Replaces out with the contacts of the sphere with every triangle nearer
    // than radius (passable ones included). When the centre lies on a
    // triangle, the contact takes the triangle's normal turned towards side
    // (when given). Nothing for a non-finite centre or a radius outside
    // (0, 64 cells].
    void gatherTriangles(const math::Vector3& centre, std::vector<SphereContact>& out, float radius,
                         const math::Vector3* side = nullptr) const;

    // The first solid triangle whose face the segment from `from` to `to`
    // passes through (crossesFace): true with the fraction of the segment at
    // which it meets the face's plane and the triangle's normal turned
    // towards from. Passable owners never stop a segment. False without one,
    // or for a segment that is not finite or longer than 10000 cells. The
    // cells searched are those of the segment's bounding box, piece by piece
    // of at most a cell's length.
    bool firstCrossing(const math::Vector3& from, const math::Vector3& to, float& fraction,
                       math::Vector3& normal) const;

    // Whether an owner index pushes the ball and blocks rays: owners not in
    // the table do.
    bool isSolid(int owner) const;

    // Cell entries made by addTriangle (a triangle counts once per cell, and
    // once in the list of large triangles).
    int64_t cellEntryCount() const { return cellEntries; }

private:
    // A non-vertical triangle as the ground query's inside test reads it:
    // its corners seen from above, and its index into triangles.
    struct GroundEntry {
        float ax, az, bx, bz, cx, cz;
        int index;
    };
    // Where a run of ground entries lies: groundBlocks[block], from offset.
    struct GroundRun {
        uint32_t block = 0;
        uint32_t offset = 0;
    };
    struct Cell {
        std::vector<int> items; // indices into triangles, in insertion order
        // The non-vertical triangles among items, in the same order: the
        // first groundCount entries of a run of groundCapacity (a power of
        // two) entries.
        GroundRun ground;
        uint32_t groundCount = 0;
        uint32_t groundCapacity = 0;
    };
    std::unordered_map<uint64_t, Cell> cells;
    // The cells' runs of ground entries, in blocks of their own so that the
    // cells' index lists, which the ray and contact queries read, stay packed
    // together. A block is filled up to the capacity it was made with and
    // never grows, so building a level copies no block; a run larger than a
    // block gets a block of its own. A cell's run moves to one of twice the
    // size when it is full; the run it leaves is reused by the next cell that
    // needs a run of that size.
    static constexpr uint32_t kGroundBlockEntries = 1u << 14;
    std::vector<std::vector<GroundEntry>> groundBlocks;
    // The runs left, by the log2 of their capacity.
    std::vector<GroundRun> freeRuns[32];
    // Triangles too large for the cells (kMaxCellsPerTriangle), tested by every query.
    std::vector<int> largeTriangles;
    int64_t cellEntries = 0;
    // Per triangle, the number of the last query that tested it: each query
    // tests a triangle once however many of its cells hold it.
    mutable std::vector<uint32_t> stamps;
    mutable uint32_t queryNumber = 0;

    int64_t cellOf(float v) const;
    static uint64_t keyOf(int64_t cx, int64_t cy, int64_t cz);
    const std::vector<int>* cellAt(int64_t cx, int64_t cy, int64_t cz) const;
    // Calls visit(index) for each triangle index held by the cells that the
    // box from lo to hi touches, x outermost, then y, then z; a triangle as
    // often as those cells hold it (testOnce filters the repeats).
    template <class Visit>
    void visitBox(const math::Vector3& lo, const math::Vector3& hi, Visit&& visit) const;
    // Appends a non-vertical triangle's entry to the cell's run, moving the
    // run to one of twice the size when it is full.
    void addGround(Cell& cell, const GroundEntry& entry);
    // A run of capacity (a power of two) entries: one a cell has left, else
    // the rest of the last block or a new block.
    GroundRun takeRun(uint32_t capacity);
    uint32_t beginQuery() const;
    bool testOnce(int triangle, uint32_t query) const;
};

} // namespace lumaroll
