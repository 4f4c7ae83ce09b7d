// The collision grid against hand-made triangles: what it keeps, the ground,
// ray and contact queries with their limits, and the cell walks compared
// with testing every triangle of a terrain.

#include "GridHelpers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <string>

using lumaroll::CollisionGrid;
using lumaroll::SphereContact;
using math::Vector3;
using playertest::addOwner;
using playertest::addTriangles;
using playertest::vec;

namespace {

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

struct KeepCase {
	const char* name;
	test::Triangles corners;
	int kept;
};

TEST(CollisionGridAdd, DropsWhatHasNoPlaneAndKeepsTheRest) {
	const KeepCase cases[] = {
		{"plain", {{0, 0, 0}, {0, 0, 1}, {1, 0, 0}}, 1},
		{"two equal corners", {{0, 0, 0}, {0, 0, 0}, {1, 0, 0}}, 0},
		{"corners in a line", {{0, 0, 0}, {1, 0, 0}, {2, 0, 0}}, 0},
		{"NaN corner", {{0, 0, 0}, {kNaN, 0, 1}, {1, 0, 0}}, 0},
		{"infinite corner", {{0, 0, 0}, {0, 0, kInf}, {1, 0, 0}}, 0},
		{"cross product overflows", {{-1e20f, 0, -1e20f}, {-1e20f, 0, 1e20f}, {1e20f, 0, 1e20f}}, 0},
		{"far out at 1e12", {{1e12f, 0, 1e12f}, {1e12f, 0, 1.000001e12f}, {1.000001e12f, 0, 1e12f}}, 1},
		{"edges of 1e11 overflow the normal", {{1e12f, 0, 1e12f}, {1e12f, 0, 1.1e12f}, {1.1e12f, 1e12f, 1e12f}}, 0},
	};
	for (const KeepCase& c : cases) {
		CollisionGrid grid(200.f);
		EXPECT_EQ(c.kept, addTriangles(grid, c.corners)) << c.name;
	}
}

TEST(CollisionGridAdd, AHugeTriangleTakesOneListNotMillionsOfCells) {
	CollisionGrid grid(200.f);
	ASSERT_EQ(2, addTriangles(grid, test::floorTriangles(1e7f, 0.f)));
	EXPECT_LE(grid.cellEntryCount(), CollisionGrid::kMaxCellsPerTriangle);
	float height = -1.f;
	Vector3 normal;
	ASSERT_TRUE(grid.findGroundBelow(Vector3(0, 100, 0), height, normal, 200.f));
	EXPECT_EQ(0.f, height);
	EXPECT_EQ(1.f, normal.y);

	// One stray vertex far out: the triangle is still found where it is.
	CollisionGrid stray(200.f);
	stray.addTriangle(0, Vector3(0, 0, 0), Vector3(0, 0, 10), Vector3(1e6f, 0, 0));
	EXPECT_LE(stray.cellEntryCount(), CollisionGrid::kMaxCellsPerTriangle);
	EXPECT_TRUE(stray.findGroundBelow(Vector3(5, 10, 1), height, 20.f));
}

struct GroundCase {
	const char* name;
	std::function<void(CollisionGrid&)> build;
	Vector3 p;
	float maxDrop;
	bool found;
	float height;
};

TEST(CollisionGridGround, FindsTheHighestGroundWithinTheDrop) {
	const auto floorAt = [](float y) {
		return [y](CollisionGrid& g) { addTriangles(g, test::floorTriangles(1000.f, y)); };
	};
	const GroundCase cases[] = {
		{"100 below, drop 99", floorAt(0.f), {10, 100, 10}, 99.f, false, 0.f},
		{"100 below, drop 100", floorAt(0.f), {10, 100, 10}, 100.f, true, 0.f},
		{"wound downwards, drop 100",
		 [](CollisionGrid& g) { addTriangles(g, test::downFloorTriangles(1000.f, 0.f)); },
		 {10, 100, 10},
		 100.f,
		 true,
		 0.f},
		{"drop beyond 10000 cells", floorAt(0.f), {10, 1, 10}, 2000001.f, false, 0.f},
		{"drop of 10000 cells", floorAt(0.f), {10, 1, 10}, 2000000.f, true, 0.f},
		{"NaN drop", floorAt(0.f), {10, 1, 10}, kNaN, false, 0.f},
		{"infinite drop", floorAt(0.f), {10, 1, 10}, kInf, false, 0.f},
		{"NaN point", floorAt(0.f), {kNaN, 1, 10}, 100.f, false, 0.f},
		{"on the shared edge", floorAt(0.f), {250, 10, 250}, 100.f, true, 0.f},
		{"on a corner", floorAt(0.f), {1000, 10, 1000}, 100.f, true, 0.f},
		{"just outside", floorAt(0.f), {1000.5f, 10, 0}, 100.f, false, 0.f},
		{"the higher of two floors",
		 [](CollisionGrid& g) {
			 addTriangles(g, test::floorTriangles(1000.f, 0.f));
			 addTriangles(g, test::floorTriangles(1000.f, 50.f));
		 },
		 {10, 900, 10},
		 1000.f,
		 true,
		 50.f},
		{"a ceiling above is not ground",
		 [](CollisionGrid& g) {
			 addTriangles(g, test::floorTriangles(1000.f, 150.f));
			 addTriangles(g, test::floorTriangles(1000.f, -30.f));
		 },
		 {10, 100, 10},
		 1000.f,
		 true,
		 -30.f},
		{"a wall is not ground",
		 [](CollisionGrid& g) { addTriangles(g, test::wallTriangles(10.f, 500.f, 400.f)); },
		 {10, 500, 0},
		 1000.f,
		 false,
		 0.f},
		{"a passable mesh is ground",
		 [](CollisionGrid& g) { addTriangles(g, test::floorTriangles(1000.f, 0.f), addOwner(g, "ghost", false)); },
		 {10, 100, 10},
		 1000.f,
		 true,
		 0.f},
		{"a 30-degree slope, under the point",
		 [](CollisionGrid& g) { addTriangles(g, test::slopeTriangles(30.f, 1000.f)); },
		 {100, 500, 0},
		 1000.f,
		 true,
		 100.f * std::tan(30.f * 3.14159265f / 180.f)},
		{"ground far below a point far up", floorAt(-1e6f), {0, 1e6f, 0}, 2000000.f, true, -1e6f},
	};
	for (const GroundCase& c : cases) {
		CollisionGrid grid(200.f);
		c.build(grid);
		float height = 12345.f;
		Vector3 normal;
		EXPECT_EQ(c.found, grid.findGroundBelow(c.p, height, normal, c.maxDrop)) << c.name;
		if (c.found) {
			EXPECT_NEAR(c.height, height, 1e-3f) << c.name;
			EXPECT_GT(normal.y, 0.f) << c.name;
			EXPECT_NEAR(1.f, normal.length(), 1e-5f) << c.name;
		} else {
			EXPECT_EQ(12345.f, height) << c.name << ": the height is left alone";
		}
	}
}

struct RayCase {
	const char* name;
	std::function<void(CollisionGrid&)> build;
	Vector3 origin, dir;
	bool skipMarked;
	float maxDist;
	bool hit;
	float distance;
	int owner;
};

TEST(CollisionGridRay, FindsTheNearestSolidTriangleAlongTheSegment) {
	// A right triangle with legs of 8: the ray down through (4, 4) meets its long edge at u = v = 0.5.
	const auto edgeTriangle = [](CollisionGrid& g) {
		g.addTriangle(0, Vector3(0, 0, 0), Vector3(8, 0, 0), Vector3(0, 0, 8));
	};
	const auto twoFloors = [](CollisionGrid& g) {
		addTriangles(g, test::floorTriangles(1000.f, -100.f), addOwner(g, "low"));
		addTriangles(g, test::floorTriangles(1000.f, 0.f), addOwner(g, "high"));
	};
	const auto ownedFloor = [](bool solid, bool marked) {
		return [solid, marked](CollisionGrid& g) {
			const int owner = addOwner(g, "floor", solid);
			g.owners[size_t(owner)].marked = marked;
			addTriangles(g, test::floorTriangles(1000.f, 0.f), owner);
			addTriangles(g, test::floorTriangles(1000.f, -100.f), addOwner(g, "below"));
		};
	};
	const Vector3 down(0, -1, 0);
	const RayCase cases[] = {
		{"grazing an edge", edgeTriangle, {4, 10, 4}, down, false, 100.f, true, 10.f, 0},
		{"just past the edge", edgeTriangle, {4.01f, 10, 4.01f}, down, false, 100.f, false, 0.f, -1},
		{"parallel in the plane", edgeTriangle, {-5, 0, 1}, {1, 0, 0}, false, 100.f, false, 0.f, -1},
		{"parallel above", edgeTriangle, {-5, 1, 1}, {1, 0, 0}, false, 100.f, false, 0.f, -1},
		{"from below, back face", edgeTriangle, {2, -10, 2}, {0, 1, 0}, false, 100.f, true, 10.f, 0},
		{"the nearer of two", twoFloors, {10, 300, 10}, down, false, 1000.f, true, 300.f, 1},
		{"too short", twoFloors, {10, 300, 10}, down, false, 299.f, false, 0.f, -1},
		{"long ray far from the origin", twoFloors, {10, 30000, 10}, down, false, 40000.f, true, 30000.f, 1},
		{"passable is skipped", ownedFloor(false, false), {10, 300, 10}, down, false, 1000.f, true, 400.f, 1},
		{"marked hits without skipping", ownedFloor(true, true), {10, 300, 10}, down, false, 1000.f, true, 300.f, 0},
		{"marked is skipped on request", ownedFloor(true, true), {10, 300, 10}, down, true, 1000.f, true, 400.f, 1},
		{"maxDist 0", twoFloors, {10, 300, 10}, down, false, 0.f, false, 0.f, -1},
		{"maxDist beyond 10000 cells", twoFloors, {10, 300, 10}, down, false, 2000001.f, false, 0.f, -1},
		{"NaN maxDist", twoFloors, {10, 300, 10}, down, false, kNaN, false, 0.f, -1},
		{"NaN origin", twoFloors, {kNaN, 300, 10}, down, false, 1000.f, false, 0.f, -1},
		{"NaN direction", twoFloors, {10, 300, 10}, {0, kNaN, 0}, false, 1000.f, false, 0.f, -1},
		{"infinite direction", twoFloors, {10, 300, 10}, {0, -kInf, 0}, false, 1000.f, false, 0.f, -1},
	};
	for (const RayCase& c : cases) {
		CollisionGrid grid(200.f);
		c.build(grid);
		Vector3 point, normal;
		int owner = -1;
		ASSERT_EQ(c.hit, grid.intersectSegment(c.origin, c.dir, point, normal, c.skipMarked, c.maxDist, &owner))
			<< c.name;
		if (!c.hit)
			continue;
		EXPECT_NEAR(c.distance, (point - c.origin).length(), 1e-3f) << c.name;
		EXPECT_LT(normal.dot(c.dir), 0.f) << c.name << ": the normal faces against the ray";
		EXPECT_EQ(c.owner, owner) << c.name;
		// The owner pointer is optional.
		EXPECT_TRUE(grid.intersectSegment(c.origin, c.dir, point, normal, c.skipMarked, c.maxDist, nullptr)) << c.name;
	}
}

struct ContactCase {
	const char* name;
	Vector3 centre;
	float radius;
	size_t contacts;
};

TEST(CollisionGridContacts, GathersWithinTheRadiusAndRefusesBadInput) {
	CollisionGrid grid(200.f);
	addTriangles(grid, test::floorTriangles(1000.f, 0.f));
	const ContactCase cases[] = {
		{"resting, 40 above", {10, 40, 10}, 50.f, 2},
		{"60 above", {10, 60, 10}, 50.f, 0},
		{"radius of 64 cells", {10, 12000, 10}, 12800.f, 2},
		{"radius 12801", {10, 12000, 10}, 12801.f, 0},
		{"radius 0", {10, 0, 10}, 0.f, 0},
		{"negative radius", {10, 0, 10}, -5.f, 0},
		{"NaN radius", {10, 0, 10}, kNaN, 0},
		{"NaN centre", {10, kNaN, 10}, 50.f, 0},
		{"infinite centre", {kInf, 10, 10}, 50.f, 0},
	};
	std::vector<SphereContact> out(3);
	for (const ContactCase& c : cases) {
		grid.gatherTriangles(c.centre, out, c.radius);
		EXPECT_EQ(c.contacts, out.size()) << c.name;
	}
	grid.gatherTriangles(Vector3(10, 40, 10), out, 50.f);
	ASSERT_EQ(2u, out.size());
	EXPECT_NEAR(10.f, out[0].depth, 1e-4f);
	EXPECT_NEAR(1.f, out[0].normal.y, 1e-6f);
}

TEST(CollisionGridContacts, ACentreOnATriangleTakesItsNormalTowardsTheGivenSide) {
	CollisionGrid grid(200.f);
	addTriangles(grid, test::downFloorTriangles(1000.f, 0.f));
	std::vector<SphereContact> out;
	const Vector3 above(10, 30, 10);
	grid.gatherTriangles(Vector3(10, 0, 10), out, 50.f, &above);
	ASSERT_FALSE(out.empty());
	for (const SphereContact& c : out) {
		EXPECT_EQ(1.f, c.normal.y);
		EXPECT_EQ(50.f, c.depth);
	}
}

// Terrain and a pseudo-random sequence shared by the comparisons with testing every triangle.
struct Terrain {
	CollisionGrid grid{200.f};
	uint32_t seed = 12345;

	Terrain() { addTriangles(grid, test::heightFieldTriangles(60, 60, 50.f, 300.f)); }

	float random(float lo, float hi) {
		seed = seed * 1664525u + 1013904223u;
		return lo + (hi - lo) * float(seed >> 8) / float(1 << 24);
	}
};

TEST(CollisionGridRay, TheCellWalkFindsWhatTestingEveryTriangleFinds) {
	Terrain terrain;
	const CollisionGrid& grid = terrain.grid;
	int hits = 0;
	for (int i = 0; i < 400; ++i) {
		const Vector3 origin(terrain.random(-200, 3200), terrain.random(-100, 500), terrain.random(-200, 3200));
		Vector3 dir(terrain.random(-1, 1), terrain.random(-1, 0.5f), terrain.random(-1, 1));
		dir = dir.normalize();
		const float maxDist = i % 3 == 0 ? 745.f : i % 3 == 1 ? 600.f : 3000.f;

		// Every triangle, without the cells.
		float best = maxDist;
		bool expected = false;
		for (const auto& t : grid.triangles) {
			const float d = lumaroll::rayTriangleDistance(origin, dir, t);
			if (d >= 0.f && d < best) {
				best = d;
				expected = true;
			}
		}
		Vector3 point, normal;
		const bool hit = grid.intersectSegment(origin, dir, point, normal, false, maxDist, nullptr);
		ASSERT_EQ(expected, hit) << "ray " << i;
		if (hit) {
			++hits;
			EXPECT_NEAR(best, (point - origin).length(), 1e-2f) << "ray " << i;
		}
	}
	EXPECT_GT(hits, 50);
}

// The highest ground at or below p within maxDrop over every triangle,
// without the cells, in the order they were added: what findGroundBelow answers.
bool groundOfEveryTriangle(const CollisionGrid& grid, const Vector3& p, float maxDrop, float& height, Vector3& normal) {
	float best = p.y - maxDrop;
	bool found = false;
	for (const auto& t : grid.triangles) {
		const Vector3& n = t.normal;
		if (std::fabs(n.y) < 1e-4f)
			continue;
		const float e1 = (t.b.z - t.a.z) * (p.x - t.a.x) - (t.b.x - t.a.x) * (p.z - t.a.z);
		const float e2 = (t.c.z - t.b.z) * (p.x - t.b.x) - (p.z - t.b.z) * (t.c.x - t.b.x);
		const float e3 = (p.x - t.c.x) * (t.a.z - t.c.z) - (t.a.x - t.c.x) * (p.z - t.c.z);
		if (!((e1 >= 0.f && e2 >= 0.f && e3 >= 0.f) || (e1 <= 0.f && e2 <= 0.f && e3 <= 0.f)))
			continue;
		const float d = t.a.y - (n.x * (p.x - t.a.x) + n.z * (p.z - t.a.z)) / n.y;
		if (d <= p.y && d >= best) {
			best = d;
			normal = n.y > 0.f ? n : -n;
			found = true;
		}
	}
	if (found)
		height = best;
	return found;
}

// Whether the grid's ground query gives exactly what testing every triangle gives.
void expectGroundOfEveryTriangle(const CollisionGrid& grid, const Vector3& p, float maxDrop, const std::string& name) {
	float expectedHeight = 0.f, height = 0.f;
	Vector3 expectedNormal, normal;
	const bool expected = groundOfEveryTriangle(grid, p, maxDrop, expectedHeight, expectedNormal);
	ASSERT_EQ(expected, grid.findGroundBelow(p, height, normal, maxDrop)) << name;
	if (expected) {
		EXPECT_EQ(expectedHeight, height) << name;
		EXPECT_EQ(expectedNormal.x, normal.x) << name;
		EXPECT_EQ(expectedNormal.y, normal.y) << name;
		EXPECT_EQ(expectedNormal.z, normal.z) << name;
	}
}

TEST(CollisionGridGround, TheCellWalkFindsWhatTestingEveryTriangleFinds) {
	// Steep terrain spans several cells per column; an overhanging floor, a
	// tilted one and walls fill its cells in turns with the terrain's rows.
	Terrain terrain;
	CollisionGrid& grid = terrain.grid;
	addTriangles(grid, test::floorTriangles(700.f, 150.f, 900.f, 1100.f));
	for (int i = 0; i < 6; ++i)
		addTriangles(grid, test::wallTriangles(250.f + 450.f * float(i), 1600.f, 500.f));
	grid.addTriangle(0, Vector3(100, 320, 2300), Vector3(2900, 40, 2600), Vector3(1500, 260, 700));
	int found = 0;
	for (int i = 0; i < 2000; ++i) {
		const Vector3 p(terrain.random(-100, 3100), terrain.random(-450, 600), terrain.random(-100, 3100));
		const float maxDrop = i % 3 == 0 ? 60.f : i % 3 == 1 ? 400.f : 3000.f;
		float height = 0.f;
		Vector3 normal;
		found += grid.findGroundBelow(p, height, normal, maxDrop) ? 1 : 0;
		expectGroundOfEveryTriangle(grid, p, maxDrop, "probe " + std::to_string(i));
	}
	EXPECT_GT(found, 500);
}

TEST(CollisionGridGround, ACellHoldingTensOfThousandsOfTrianglesAnswersAsTestingEveryTriangle) {
	// 45,000 small triangles of a bumpy floor inside one cell (more than one
	// block of ground entries holds), and a coarse terrain across it and the
	// cells around.
	CollisionGrid grid(200.f);
	ASSERT_EQ(45000, addTriangles(grid, test::heightFieldTriangles(150, 150, 1.f, 20.f, 20.f, 20.f)));
	addTriangles(grid, test::heightFieldTriangles(8, 8, 100.f, 30.f, -300.f, -300.f));
	uint32_t seed = 99;
	const auto random = [&seed](float lo, float hi) {
		seed = seed * 1664525u + 1013904223u;
		return lo + (hi - lo) * float(seed >> 8) / float(1 << 24);
	};
	for (int i = 0; i < 200; ++i) {
		const Vector3 p(random(0.f, 190.f), random(-20.f, 120.f), random(0.f, 190.f));
		expectGroundOfEveryTriangle(grid, p, 300.f, "probe " + std::to_string(i));
	}
}

TEST(CollisionGridContacts, TheCellWalkFindsWhatOneCellHoldingEverythingFinds) {
	Terrain terrain;
	// One cell holds the whole terrain: every query there tests every triangle.
	CollisionGrid oneCell(1e6f);
	for (const auto& t : terrain.grid.triangles)
		oneCell.addTriangle(0, t.a, t.b, t.c);
	std::vector<SphereContact> out, expected;
	int found = 0;
	for (int i = 0; i < 300; ++i) {
		const Vector3 centre(terrain.random(0, 3000), terrain.random(-300, 400), terrain.random(0, 3000));
		const float radius = i % 2 ? 50.f : 500.f;
		terrain.grid.gatherTriangles(centre, out, radius);
		oneCell.gatherTriangles(centre, expected, radius);
		ASSERT_EQ(expected.size(), out.size()) << "sphere " << i;
		// The same contacts, met in another order.
		const auto depths = [](const std::vector<SphereContact>& contacts) {
			std::vector<float> d;
			for (const SphereContact& c : contacts)
				d.push_back(c.depth);
			std::sort(d.begin(), d.end());
			return d;
		};
		EXPECT_EQ(depths(expected), depths(out)) << "sphere " << i;
		found += out.empty() ? 0 : 1;
	}
	EXPECT_GT(found, 40);
}

} // namespace
