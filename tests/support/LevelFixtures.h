#ifndef SUPPORT_LEVELFIXTURES_H
#define SUPPORT_LEVELFIXTURES_H

// Level pieces for the ball's tests and benchmarks: triangle soups (floor,
// wall, slopes, a thin pole, boxes, height-field terrain), line drawings of
// rails and camera guides, and writers that put them into SceneWriter files
// as collision meshes, "L_" nodes, trigger volumes, start and checkpoint dummies.
//
//   SceneWriter w;
//   test::LevelFixtures level(w);
//   level.mesh("floor", test::floorTriangles(2000.f, 0.f));          // "collisionmesh=this"
//   level.mesh("wall01", test::wallTriangles(500.f, 0.f, 400.f), "collisionmesh=this\ngroup=1024");
//   level.boxVolume("T_box", {-100, 0, -100}, {100, 200, 100});
//   level.dummyAt("D_StartHere", 100, 400, 0);
//   test::RailDrawing rail;
//   rail.track = test::shuffledSegments(test::straightSegments({0, 50, 0}, {0, 50, 9000}, 30));
//   rail.trackNormal = test::straightSegments({0, 2000, 0}, {0, 2000, 9000}, 30);
//   rail.properties = "tracknormalgravity=1\nnext=L_rail2\ndeathplane=T_fall1";
//   level.railNode("L_rail1", rail);                                // Lines children, "D_rail1"

#include "support/SceneWriter.h"

#include <cstdint>
#include <string>
#include <vector>

namespace test {

using Vec3 = SceneWriter::Vec3;

// Three corners per triangle, world units.
using Triangles = std::vector<Vec3>;

// A square of two up-facing triangles, centred on the y axis at height y.
Triangles floorTriangles(float halfSize, float y, float centreX = 0.f, float centreZ = 0.f);
// The same square wound the other way (its normal points down).
Triangles downFloorTriangles(float halfSize, float y);
// A wall in the plane x = x0 facing -x, from z -halfWidth to +halfWidth and y 0 to height.
Triangles wallTriangles(float x0, float halfWidth, float height);
// A plane through the origin rising along +x by degrees, halfSize across in x and z.
Triangles slopeTriangles(float degrees, float halfSize);
// A wall round the circle of that radius about (x, 0, z), from y 0 to
// height, in count flat pieces whose ends lie on the circle, facing its centre.
Triangles ringWallTriangles(float x, float z, float radius, float height, int count);
// A square pole of the given half thickness, from y 0 to height, around (x, z).
Triangles poleTriangles(float x, float z, float halfThickness, float height);
// An up-facing rectangle at height y from (minX, minZ) to (maxX, maxZ).
Triangles rectangleTriangles(float minX, float minZ, float maxX, float maxZ, float y);
// The twelve outward-facing triangles of the box from corner lo to corner hi.
Triangles boxTriangles(const Vec3& lo, const Vec3& hi);
// Rolling terrain: quadsX x quadsZ quads of spacing units from (x0, z0), heights
// from smooth sines (amplitude in units); two triangles per quad.
Triangles heightFieldTriangles(int quadsX, int quadsZ, float spacing, float amplitude = 120.f, float x0 = 0.f,
							   float z0 = 0.f);
// Height of that terrain at a grid point.
float heightFieldHeight(float x, float z, float amplitude = 120.f);

// A turn of angle radians about y, then a move to (x, y, z).
SceneWriter::Matrix rotationY(float angle, float x = 0.f, float y = 0.f, float z = 0.f);

// Segments of a line drawing, start and end each, as a Lines node holds them.
using Segments = std::vector<std::pair<Vec3, Vec3>>;

// The straight line from a to b cut into count equal segments, in order.
Segments straightSegments(const Vec3& a, const Vec3& b, int count);
// Segments in a fixed pseudo-random order (seed), every other one drawn
// backwards except the drawing's first and last: its start stays the only
// free start.
Segments shuffledSegments(Segments segments, unsigned seed = 1);
// The drawing run the other way: last segment first, each from end to start.
Segments reversedSegments(const Segments& segments);
// Two drawings one after the other.
Segments joinedSegments(Segments first, const Segments& second);
// A closed loop of count segments round the circle of that radius about
// (x, y, z) in the plane y, from its point on +x towards +z (towards -z when
// clockwise is set), ending exactly where it began.
Segments circleLoopSegments(float x, float y, float z, float radius, int count, bool clockwise = false);
// The same loop drawn as level tools often leave it: its last point stops
// gap units short of its start, along the circle (gap 0: closed).
Segments circleGapLoopSegments(float x, float y, float z, float radius, int count, float gap);

// An "L_" node's drawings and its "D_" property text; empty parts are left out.
struct RailDrawing {
	Segments track;
	Segments trackNormal;
	Segments cameraPosition;
	Segments cameraLookAt;
	std::string properties;
};

// Writes level pieces into a SceneWriter; one material "collision" is made on first use.
class LevelFixtures {
public:
	explicit LevelFixtures(SceneWriter& writer) : m_writer(writer) {}

	// A triangle-list mesh holding the triangles (indexed, corners shared by
	// nothing), split into primitives of at most 65535 vertices; the property
	// text is stored for the node unless empty.
	SceneWriter::Node& mesh(const std::string& name, const Triangles& triangles,
							const std::string& properties = "collisionmesh=this");
	// A mesh from positions and indices as given (for index counts that are not a multiple of three).
	SceneWriter::Node& indexedMesh(const std::string& name, const std::vector<float>& positions,
								   const std::vector<int>& indices, const std::string& properties);
	// An indexed height field as one mesh (vertices shared between quads).
	SceneWriter::Node& heightField(const std::string& name, int quadsX, int quadsZ, float spacing,
								   float amplitude = 120.f, const std::string& properties = "collisionmesh=this");
	// A dummy box volume "collisiontype=box" with corners as given (in either order).
	SceneWriter::Node& boxVolume(const std::string& name, const Vec3& cornerA, const Vec3& cornerB,
								 const std::string& extraProperties = "");
	// A sphere volume "collisiontype=sphere\nradius=R" at (x, y, z).
	SceneWriter::Node& sphereVolume(const std::string& name, float x, float y, float z, float radius,
									const std::string& extraProperties = "");
	// A plain dummy at (x, y, z): start and checkpoint markers.
	SceneWriter::Node& dummyAt(const std::string& name, float x, float y, float z);
	// A plain node name (beginning "L_") with Lines children "track",
	// "tracknormal", "cameraposition" and "cameralookat" for the drawing's
	// non-empty parts, and the property text under "D_" + the name's rest.
	SceneWriter::Node& railNode(const std::string& name, const RailDrawing& drawing);
	// A Lines node holding segments (under parent unless empty).
	SceneWriter::Node& lines(const std::string& name, const Segments& segments, const std::string& parent = "");

private:
	SceneWriter& m_writer;
	int m_material = -1;
	int material();
};

} // namespace test

#endif
