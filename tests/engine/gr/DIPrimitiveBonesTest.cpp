#include "TestPrimitive.h"
#include <gtest/gtest.h>
#include <limits>

using gr::VertexFormat;
using math::Vector4;

namespace {

lang::Ptr<TestPrimitive> skinned(int vertexCount, int indexCount, int indicesFormat = VertexFormat::V4_32) {
	VertexFormat f;
	f.addPosition(VertexFormat::V3_32).addBones(VertexFormat::V4_32, indicesFormat);
	return new TestPrimitive(f, vertexCount, indexCount);
}

TEST(DIPrimitiveBones, SetUsedBones) {
	lang::Ptr<TestPrimitive> p = new TestPrimitive;
	const uint8_t list[3] = {9, 2, 5};
	p->setUsedBones(list, 3);
	ASSERT_EQ(3, p->getUsedBoneCount());
	EXPECT_EQ(2, p->getUsedBones()[1]);
	p->setUsedBones(list, 0);
	EXPECT_EQ(0, p->getUsedBoneCount());
	EXPECT_EQ(nullptr, p->getUsedBones());

	uint8_t many[300];
	for (int i = 0; i < 300; ++i)
		many[i] = uint8_t(i);
	p->setUsedBones(many, 300); // the count is 8 bits: at most 255 kept
	EXPECT_EQ(255, p->getUsedBoneCount());
	EXPECT_EQ(254, p->getUsedBones()[254]);
}

TEST(DIPrimitiveBones, UpdateUsedBonesRenumbers) {
	lang::Ptr<TestPrimitive> p = skinned(1, 0);
	const Vector4 weights(0.5f, 0.5f, 0, 0), indices(7, 3, 9, 9);
	p->setBoneWeights(0, &weights, 1);
	p->setBoneIndices(0, &indices, 1);
	p->updateUsedBones();
	ASSERT_EQ(2, p->getUsedBoneCount());
	EXPECT_EQ(3, p->getUsedBones()[0]);
	EXPECT_EQ(7, p->getUsedBones()[1]);
	Vector4 out;
	p->getBoneIndices(0, &out, 1);
	EXPECT_EQ(1.f, out.x);
	EXPECT_EQ(0.f, out.y);
	EXPECT_EQ(0.f, out.z);
	EXPECT_EQ(0.f, out.w);
}

TEST(DIPrimitiveBones, UpdateUsedBonesWithoutBoneIndicesDoesNothing) {
	VertexFormat f;
	f.addPosition(VertexFormat::V3_32);
	lang::Ptr<TestPrimitive> p = new TestPrimitive(f, 2, 0);
	const uint8_t list[1] = {4};
	p->setUsedBones(list, 1);
	p->updateUsedBones();
	EXPECT_EQ(1, p->getUsedBoneCount());
}

TEST(DIPrimitiveBones, BonesOutsideTheTableAreLeftOut) {
	const float nan = std::numeric_limits<float>::quiet_NaN();
	lang::Ptr<TestPrimitive> p = skinned(2, 0);
	const Vector4 weights[2] = {Vector4(1, 1, 1, 1), Vector4(1, 1, 1, 1)};
	const Vector4 indices[2] = {Vector4(300, -5, 255, 2), Vector4(nan, 1e30f, -0.5f, 254)};
	p->setBoneWeights(0, weights, 2);
	p->setBoneIndices(0, indices, 2);
	p->updateUsedBones();
	// -0.5 truncates to bone 0; 254 is the last bone of the table.
	ASSERT_EQ(3, p->getUsedBoneCount());
	EXPECT_EQ(0, p->getUsedBones()[0]);
	EXPECT_EQ(2, p->getUsedBones()[1]);
	EXPECT_EQ(254, p->getUsedBones()[2]);
	Vector4 out[2];
	p->getBoneIndices(0, out, 2);
	EXPECT_EQ(0.f, out[0].x);
	EXPECT_EQ(0.f, out[0].z);
	EXPECT_EQ(1.f, out[0].w);
	EXPECT_EQ(0.f, out[1].x);
	EXPECT_EQ(0.f, out[1].y);
	EXPECT_EQ(0.f, out[1].z);
	EXPECT_EQ(2.f, out[1].w);
}

TEST(DIPrimitiveBones, SignedByteIndicesAboveOneHundredTwentySevenAreOutside) {
	lang::Ptr<TestPrimitive> p = skinned(1, 0, VertexFormat::V4_8);
	const Vector4 weights(1, 1, 0, 0), indices(200, 100, 0, 0);
	p->setBoneWeights(0, &weights, 1);
	p->setBoneIndices(0, &indices, 1); // 200 is stored as the byte 0xC8, read back as -56
	p->updateUsedBones();
	ASSERT_EQ(1, p->getUsedBoneCount());
	EXPECT_EQ(100, p->getUsedBones()[0]);
}

// Four triangles over vertices that each use one bone (0..3 after renumbering).
lang::Ptr<TestPrimitive> batchPrimitive(const int (&triangleBones)[4][3]) {
	lang::Ptr<TestPrimitive> p = skinned(12, 12);
	for (int t = 0; t < 4; ++t) {
		for (int c = 0; c < 3; ++c) {
			const int v = 3 * t + c;
			const Vector4 w(triangleBones[t][c] >= 0 ? 1.f : 0.f, 0, 0, 0);
			const Vector4 b(float(triangleBones[t][c] >= 0 ? triangleBones[t][c] : 0), 0, 0, 0);
			p->setBoneWeights(v, &w, 1);
			p->setBoneIndices(v, &b, 1);
			p->setIndices(v, &v, 1);
		}
	}
	const uint8_t used[4] = {10, 11, 12, 13};
	p->setUsedBones(used, 4);
	return p;
}

TEST(DIPrimitiveBones, CollectBoneBatchTakesFewestNewBonesFirst) {
	const int bones[4][3] = {{0, 1, 1}, {2, 3, 2}, {0, 0, -1}, {1, 2, 1}};
	lang::Ptr<TestPrimitive> p = batchPrimitive(bones);
	lang::Array<int> taken, remaining;
	taken.add(99);
	gr::DIPrimitive::collectBoneBatch(p, 2, taken, remaining);
	ASSERT_EQ(3, taken.size());
	EXPECT_EQ(99, taken[0]); // appended to
	EXPECT_EQ(2, taken[1]);
	EXPECT_EQ(0, taken[2]);
	ASSERT_EQ(2, remaining.size());
	EXPECT_EQ(1, remaining[0]);
	EXPECT_EQ(3, remaining[1]);

	// Room for every bone takes every triangle.
	lang::Array<int> all, rest;
	gr::DIPrimitive::collectBoneBatch(p, 4, all, rest);
	EXPECT_EQ(4, all.size());
	EXPECT_EQ(0, rest.size());
}

TEST(DIPrimitiveBones, CollectBoneBatchIgnoresBonesOutsideTheList) {
	// Bone 200 of triangle 0 is not in the four-entry list: only bone 0 counts.
	const int bones[4][3] = {{0, 200, 0}, {3, 3, 3}, {1, 2, 1}, {0, 0, 0}};
	lang::Ptr<TestPrimitive> p = batchPrimitive(bones);
	lang::Array<int> taken, remaining;
	gr::DIPrimitive::collectBoneBatch(p, 2, taken, remaining);
	ASSERT_EQ(3, taken.size());
	EXPECT_EQ(0, taken[0]);
	EXPECT_EQ(3, taken[1]);
	EXPECT_EQ(1, taken[2]);
	ASSERT_EQ(1, remaining.size());
	EXPECT_EQ(2, remaining[0]);
}

TEST(DIPrimitiveBones, CollectBoneBatchOfTooFewIndices) {
	lang::Ptr<TestPrimitive> p = skinned(3, 2);
	lang::Array<int> taken, remaining;
	remaining.add(5);
	gr::DIPrimitive::collectBoneBatch(p, 8, taken, remaining);
	EXPECT_EQ(0, taken.size());
	EXPECT_EQ(0, remaining.size());
}

} // namespace
