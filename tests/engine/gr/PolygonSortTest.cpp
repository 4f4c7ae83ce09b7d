#include "TestPrimitive.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

using gr::VertexFormat;
using math::Vector4;

namespace {

// One triangle per centre, each a small triangle around (cx, cy, cz).
lang::Ptr<TestPrimitive> triangles(const std::vector<math::Vector3>& centres,
								   int positionFormat = VertexFormat::V3_32) {
	VertexFormat f;
	f.addPosition(positionFormat);
	const int n = int(centres.size());
	lang::Ptr<TestPrimitive> p = new TestPrimitive(f, 3 * n, 3 * n);
	for (int t = 0; t < n; ++t) {
		const math::Vector3& c = centres[t];
		const Vector4 corners[3] = {Vector4(c.x - 1, c.y, c.z, 1), Vector4(c.x + 1, c.y, c.z, 1),
									Vector4(c.x, c.y + 3, c.z, 1)};
		p->setPositions(3 * t, corners, 3);
	}
	std::vector<int> indices(3 * n);
	for (int i = 0; i < 3 * n; ++i)
		indices[i] = i;
	p->setIndices(0, indices.data(), 3 * n);
	return p;
}

// The triangle numbers in index-list order (each triangle t owns vertices 3t..3t+2).
std::vector<int> triangleOrder(TestPrimitive* p) {
	std::vector<int> indices(p->getIndexCount());
	p->getIndices(0, indices.data(), p->getIndexCount());
	std::vector<int> order;
	for (size_t i = 0; i + 2 < indices.size(); i += 3) {
		EXPECT_EQ(indices[i] + 1, indices[i + 1]);
		EXPECT_EQ(indices[i] + 2, indices[i + 2]);
		order.push_back(indices[i] / 3);
	}
	return order;
}

const math::Vector3 ORIGIN;
const math::Matrix4x4 IDENTITY(1.f);

TEST(PolygonSort, BackToFrontAndFrontToBack) {
	lang::Ptr<TestPrimitive> p = triangles({{0, 0, 1}, {0, 0, 5}, {0, 0, 3}});
	gr::PolygonSortBuffer buffer;
	p->sortPolygonsBackToFront(ORIGIN, IDENTITY, nullptr, 0, buffer);
	EXPECT_EQ((std::vector<int>{1, 2, 0}), triangleOrder(p));
	p->sortPolygonsFrontToBack(ORIGIN, IDENTITY, nullptr, 0, buffer);
	EXPECT_EQ((std::vector<int>{0, 2, 1}), triangleOrder(p));
}

TEST(PolygonSort, TransformMapsTheCentroids) {
	lang::Ptr<TestPrimitive> p = triangles({{0, 0, 1}, {0, 0, 5}, {0, 0, 3}});
	math::Matrix4x4 move(1.f);
	move.setTranslation(math::Vector3(0, 0, -4.5f)); // centroids at z -3.5, 0.5, -1.5
	gr::PolygonSortBuffer buffer;
	p->sortPolygonsFrontToBack(ORIGIN, move, nullptr, 0, buffer);
	EXPECT_EQ((std::vector<int>{1, 2, 0}), triangleOrder(p));
}

TEST(PolygonSort, PositionScaleIsApplied) {
	// Stored z 1 and 5 stand for -9 and -5: seen from the origin, the first is farther.
	lang::Ptr<TestPrimitive> p = triangles({{0, 0, 1}, {0, 0, 5}});
	p->setPositionScale(Vector4(1, 0, 0, -10));
	gr::PolygonSortBuffer buffer;
	p->sortPolygonsBackToFront(ORIGIN, IDENTITY, nullptr, 0, buffer);
	EXPECT_EQ((std::vector<int>{0, 1}), triangleOrder(p));

	// Quantized positions with a scale: stored 100 and 400 stand for 1 and 4.
	lang::Ptr<TestPrimitive> q = triangles({{0, 0, 400}, {0, 0, 100}}, VertexFormat::V3_16);
	q->setPositionScale(Vector4(0.01f, 0, 0, 0));
	q->sortPolygonsFrontToBack(math::Vector3(0, 0, 3.5f), IDENTITY, nullptr, 0, buffer);
	EXPECT_EQ((std::vector<int>{0, 1}), triangleOrder(q));
}

TEST(PolygonSort, FewerThanThreeIndicesChangeNothing) {
	VertexFormat f;
	f.addPosition(VertexFormat::V3_32);
	for (int count : {0, 1, 2}) {
		SCOPED_TRACE(count);
		lang::Ptr<TestPrimitive> p = new TestPrimitive(f, 3, count);
		const int indices[2] = {2, 1};
		p->setIndices(0, indices, count);
		gr::PolygonSortBuffer buffer;
		p->sortPolygonsBackToFront(ORIGIN, IDENTITY, nullptr, 0, buffer);
		p->sortPolygonsInsideOut(buffer);
		int out[2] = {-1, -1};
		p->getIndices(0, out, count);
		for (int i = 0; i < count; ++i)
			EXPECT_EQ(indices[i], out[i]);
	}
}

TEST(PolygonSort, TrailingIndicesStay) {
	lang::Ptr<TestPrimitive> p;
	{
		VertexFormat f;
		f.addPosition(VertexFormat::V3_32);
		p = new TestPrimitive(f, 6, 7);
		const Vector4 pos[6] = {Vector4(0, 0, 1, 0), Vector4(0, 0, 1, 0), Vector4(0, 0, 1, 0),
								Vector4(0, 0, 9, 0), Vector4(0, 0, 9, 0), Vector4(0, 0, 9, 0)};
		p->setPositions(0, pos, 6);
		const int indices[7] = {0, 1, 2, 3, 4, 5, 4};
		p->setIndices(0, indices, 7);
	}
	gr::PolygonSortBuffer buffer;
	p->sortPolygonsBackToFront(ORIGIN, IDENTITY, nullptr, 0, buffer);
	int out[7];
	p->getIndices(0, out, 7);
	const int expected[7] = {3, 4, 5, 0, 1, 2, 4};
	for (int i = 0; i < 7; ++i)
		EXPECT_EQ(expected[i], out[i]) << i;
}

TEST(PolygonSort, InsideOutAndOutsideIn) {
	// Box of all positions centred at z = 0: distances 0, 8 and 4 from it.
	lang::Ptr<TestPrimitive> p = triangles({{0, 0, 0}, {0, 0, 8}, {0, 0, -4}, {0, 0, -8}});
	const math::Vector3 c = p->computeCenter();
	EXPECT_FLOAT_EQ(0.f, c.x);
	EXPECT_FLOAT_EQ(1.5f, c.y);
	EXPECT_FLOAT_EQ(0.f, c.z);
	gr::PolygonSortBuffer buffer;
	p->sortPolygonsInsideOut(buffer);
	std::vector<int> order = triangleOrder(p);
	EXPECT_EQ(0, order[0]);
	EXPECT_EQ(2, order[1]);
	p->sortPolygonsOutsideIn(buffer);
	order = triangleOrder(p);
	EXPECT_EQ(2, order[2]);
	EXPECT_EQ(0, order[3]);
}

TEST(PolygonSort, SkinnedCornersBlendTheirFirstTwoBones) {
	VertexFormat f;
	f.addPosition(VertexFormat::V3_32).addBones(VertexFormat::V4_32, VertexFormat::V4_8);
	lang::Ptr<TestPrimitive> p = new TestPrimitive(f, 6, 6);
	// Both triangles at z = 2; the second one's vertices follow bone 1, which moves them to z = 12.
	for (int v = 0; v < 6; ++v) {
		const Vector4 pos(float(v % 3), 0, 2, 0);
		const Vector4 w(v < 3 ? 1.f : 0.f, 0, 0, 0); // second triangle: all weight on the second bone
		const Vector4 b(0, 1, 0, 0);
		p->setPositions(v, &pos, 1);
		p->setBoneWeights(v, &w, 1);
		p->setBoneIndices(v, &b, 1);
		p->setIndices(v, &v, 1);
	}
	math::Matrix4x4 bones[2] = {math::Matrix4x4(1.f), math::Matrix4x4(1.f)};
	bones[1].m[3][2] = 10; // translation in the fourth row
	gr::PolygonSortBuffer buffer;
	// The transform is not used for skinned keys.
	math::Matrix4x4 ignored(1.f);
	ignored.setTranslation(math::Vector3(0, 0, 1000));
	p->sortPolygonsBackToFront(ORIGIN, ignored, bones, 2, buffer);
	EXPECT_EQ((std::vector<int>{1, 0}), triangleOrder(p));
	p->sortPolygonsFrontToBack(ORIGIN, ignored, bones, 2, buffer);
	EXPECT_EQ((std::vector<int>{0, 1}), triangleOrder(p));

	// Bone indices beyond the matrices given leave the corners in place.
	p->sortPolygonsFrontToBack(ORIGIN, ignored, bones, 1, buffer);
	EXPECT_EQ(2u, triangleOrder(p).size());
}

TEST(PolygonSort, BadDataStillGivesAPermutation) {
	const float nan = std::numeric_limits<float>::quiet_NaN();
	std::vector<math::Vector3> centres;
	for (int i = 0; i < 40; ++i)
		centres.push_back(math::Vector3(0, 0, (i % 3) ? float(i) : nan));
	lang::Ptr<TestPrimitive> p = triangles(centres);
	// An index past the vertex count reads as the origin.
	const int wild = 60000;
	p->setIndices(4, &wild, 1);
	gr::PolygonSortBuffer buffer;
	p->sortPolygonsBackToFront(ORIGIN, IDENTITY, nullptr, 0, buffer);

	std::vector<int> indices(p->getIndexCount());
	p->getIndices(0, indices.data(), p->getIndexCount());
	std::sort(indices.begin(), indices.end());
	std::vector<int> expected(120);
	for (int i = 0; i < 120; ++i)
		expected[i] = i == 4 ? wild : i;
	std::sort(expected.begin(), expected.end());
	EXPECT_EQ(expected, indices);
}

TEST(PolygonSortBuffer, LayoutAndGuard) {
	gr::PolygonSortBuffer buffer;
	EXPECT_EQ(0, buffer.size());
	EXPECT_EQ(0, buffer.capacity());
	EXPECT_EQ(nullptr, buffer.floats());

	buffer.reserve(4, 1); // 4 + 8 + 4 = 16 bytes, capacity at least 32
	EXPECT_EQ(16, buffer.size());
	EXPECT_EQ(32, buffer.capacity());
	EXPECT_EQ(reinterpret_cast<const uint8_t*>(buffer.floats()), buffer.data());
	EXPECT_EQ(reinterpret_cast<const uint8_t*>(buffer.shorts()), buffer.data() + 4);
	const uint8_t guard[4] = {0x6F, 0x6B, 0x21, 0x00};
	EXPECT_EQ(0, memcmp(buffer.data() + 12, guard, 4));

	buffer.floats()[0] = 3.f;
	buffer.reserve(20, 5); // 20 + 40 + 4 = 64: twice 32 is too small
	EXPECT_EQ(64, buffer.size());
	EXPECT_EQ(64, buffer.capacity());
	EXPECT_EQ(3.f, buffer.floats()[0]); // old bytes copied
	EXPECT_EQ(0, memcmp(buffer.data() + 60, guard, 4));
	for (int i = 16; i < 60; ++i)
		EXPECT_EQ(0, buffer.data()[i]) << i;

	buffer.reserve(2, 2); // shrinking clears what lies beyond
	EXPECT_EQ(16, buffer.size());
	EXPECT_EQ(64, buffer.capacity());
	for (int i = 16; i < 64; ++i)
		EXPECT_EQ(0, buffer.data()[i]) << i;

	buffer.reserve(40, 0); // 84 > 64: max(128, 32, 84)
	EXPECT_EQ(128, buffer.capacity());
}

} // namespace
