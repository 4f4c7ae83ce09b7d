#include "TestPrimitive.h"
#include <gr/GraphicsException.h>
#include <gtest/gtest.h>
#include <cstring>

using gr::VertexFormat;
using math::Vector4;

namespace {

void expectVector(const Vector4& expected, const Vector4& actual) {
	EXPECT_EQ(expected.x, actual.x);
	EXPECT_EQ(expected.y, actual.y);
	EXPECT_EQ(expected.z, actual.z);
	EXPECT_EQ(expected.w, actual.w);
}

std::string messageOf(const gr::GraphicsException& e) {
	return lang::String(e.getMessage()).c_str();
}

TEST(DIPrimitive, NewPrimitiveIsEmpty) {
	lang::Ptr<TestPrimitive> p = new TestPrimitive;
	expectVector(Vector4(1, 0, 0, 0), p->getPositionScale());
	expectVector(Vector4(1, 0, 0, 0), p->getTexCoordScale());
	EXPECT_EQ(0.f, p->getBoundsMin().x + p->getBoundsMax().z + p->getBoundingRadius());
	EXPECT_EQ(0, p->getVertexCount());
	EXPECT_EQ(0, p->getIndexCount());
	EXPECT_TRUE(p->getVertexFormat() == VertexFormat());
	EXPECT_EQ(0, p->classId());
	void* data = &data;
	int pitch = -1;
	p->getIndexDataPointer(&data, &pitch);
	EXPECT_EQ(nullptr, data);
	EXPECT_EQ(nullptr, p->getUsedBones());
}

TEST(DIPrimitive, DataBlockLayout) {
	VertexFormat f;
	f.addPosition(VertexFormat::V3_32).addTextureCoordinate(VertexFormat::V2_16);
	lang::Ptr<TestPrimitive> p = new TestPrimitive(f, 3, 3);
	EXPECT_EQ(int(14 * sizeof(void*)) + 36 + 12 + 6, p->getDataBlockSize());
	EXPECT_EQ(48, p->getVertexDataSize());
	EXPECT_EQ(16, p->getVertexStride());
	EXPECT_EQ(2, p->getIndexSize());
	EXPECT_EQ(3, p->getVertexRangeEnd());
	EXPECT_EQ(3, p->getIndexRangeEnd());

	void* positions;
	void* tex;
	void* indices;
	int pitch;
	p->getVertexDataPointer(VertexFormat::DT_POSITION, &positions, &pitch);
	EXPECT_EQ(12, pitch);
	p->getVertexDataPointer(VertexFormat::DT_TEX0, &tex, &pitch);
	EXPECT_EQ(4, pitch);
	p->getIndexDataPointer(&indices, &pitch);
	EXPECT_EQ(2, pitch);
	EXPECT_EQ(static_cast<uint8_t*>(positions) + 36, tex);
	EXPECT_EQ(static_cast<uint8_t*>(tex) + 12, indices);
	for (int t = 0; t < VertexFormat::DT_SIZE; ++t) {
		if (t == VertexFormat::DT_POSITION || t == VertexFormat::DT_TEX0)
			continue;
		void* other = &other;
		p->getVertexDataPointer(t, &other, &pitch);
		EXPECT_EQ(nullptr, other) << t;
	}
	// Zero-filled.
	for (int i = 0; i < 36; ++i)
		EXPECT_EQ(0, static_cast<uint8_t*>(positions)[i]);
}

TEST(DIPrimitive, SetAndGetConvertThroughTheStoredFormat) {
	VertexFormat f;
	f.addPosition(VertexFormat::V3_16)
		.addDiffuse(VertexFormat::V4_8)
		.addTextureCoordinate(VertexFormat::V2_32)
		.addTextureCoordinate(VertexFormat::V2_16);
	lang::Ptr<TestPrimitive> p = new TestPrimitive(f, 4, 0);
	const Vector4 in[2] = {Vector4(1.7f, -2.2f, 300, 9), Vector4(-32768, 32767, 0, 0)};
	p->setPositions(1, in, 2);
	Vector4 out[4];
	p->getPositions(0, out, 4);
	expectVector(Vector4(0, 0, 0, 0), out[0]);
	expectVector(Vector4(1, -2, 300, 0), out[1]);
	expectVector(Vector4(-32768, 32767, 0, 0), out[2]);

	const Vector4 uv(0.25f, 0.75f, 1, 1);
	p->setTexCoords(3, 0, &uv, 1);
	p->setTexCoords(3, 1, &uv, 1);
	p->getTexCoords(3, 0, out, 1);
	expectVector(Vector4(0.25f, 0.75f, 0, 0), out[0]);
	p->getTexCoords(3, 1, out, 1);
	expectVector(Vector4(0, 0, 0, 0), out[0]); // truncated into 16-bit

	// Every set goes through the virtual setVertexData.
	EXPECT_EQ(3, p->setVertexDataCalls);

	// Raw data in another format.
	const uint8_t colours[8] = {1, 2, 3, 4, 5, 6, 7, 8};
	p->setVertexData(VertexFormat::DT_DIFFUSE, 2, colours, VertexFormat::V4_8, 2);
	p->getDiffuse(2, out, 2);
	expectVector(Vector4(5, 6, 7, 8), out[1]);
}

TEST(DIPrimitive, AbsentDataTypes) {
	VertexFormat f;
	f.addPosition(VertexFormat::V3_32);
	lang::Ptr<TestPrimitive> p = new TestPrimitive(f, 2, 0);
	const Vector4 n(0, 1, 0, 0);
	p->setNormals(0, &n, 1);
	p->setTexCoords(0, 4, &n, 1); // set 4 does not exist: not DT_TANGENT either
	Vector4 out[2] = {Vector4(9, 9, 9, 9), Vector4(9, 9, 9, 9)};
	p->getNormals(0, out, 2);
	expectVector(Vector4(), out[0]);
	expectVector(Vector4(), out[1]);
	out[0] = Vector4(9, 9, 9, 9);
	p->getTexCoords(0, 7, out, 1);
	expectVector(Vector4(), out[0]);

	// Data types outside the table are absent too.
	p->setVertexData(VertexFormat::DT_SIZE, 0, &n, VertexFormat::V4_32, 1);
	p->setVertexData(-1, 0, &n, VertexFormat::V4_32, 1);
	out[0] = Vector4(9, 9, 9, 9);
	p->getVertexData(99, 0, out, 1);
	expectVector(Vector4(), out[0]);
	p->getPositions(0, out, 2);
	expectVector(Vector4(), out[0]);
}

TEST(DIPrimitive, Indices) {
	VertexFormat f;
	f.addPosition(VertexFormat::V3_32);
	lang::Ptr<TestPrimitive> p = new TestPrimitive(f, 3, 6);

	const int wide[2] = {65537, 70000};
	p->setIndices(0, wide, 2);
	const uint8_t bytes[2] = {200, 7};
	p->setIndexData(2, bytes, 1, 2);
	const uint32_t words[1] = {65537};
	p->setIndexData(4, words, 4, 1);
	const uint16_t shorts[1] = {65535};
	p->setIndexData(5, shorts, 2, 1);
	p->setIndexData(0, shorts, 3, 1); // unknown size: nothing

	int out[6];
	p->getIndices(0, out, 6);
	const int expected[6] = {1, 70000 & 0xFFFF, 200, 7, 1, 65535};
	for (int i = 0; i < 6; ++i)
		EXPECT_EQ(expected[i], out[i]) << i;

	p->setIndexRangeBegin(65536 + 2);
	p->setIndexRangeEnd(5);
	EXPECT_EQ(2, p->getIndexRangeBegin());
	EXPECT_EQ(5, p->getIndexRangeEnd());
	p->setVertexRangeBegin(70000);
	EXPECT_EQ(70000, p->getVertexRangeBegin());
}

TEST(DIPrimitive, RefusesIndexCountsTheStorageCannotHold) {
	VertexFormat f;
	f.addPosition(VertexFormat::V3_32);
	lang::Ptr<TestPrimitive> p = new TestPrimitive(f, 3, 3);

	for (int count : {65536, 70000, -1}) {
		SCOPED_TRACE(count);
		try {
			p->reset(f, 3, count);
			ADD_FAILURE() << count;
		} catch (gr::GraphicsException& e) {
			EXPECT_NE(std::string::npos, messageOf(e).find(std::to_string(count)));
		}
		// The primitive is left as it was.
		EXPECT_EQ(3, p->getIndexCount());
		EXPECT_EQ(3, p->getVertexCount());
	}
	EXPECT_THROW(p->reset(f, -1, 0), gr::GraphicsException);
	EXPECT_THROW(p->reset(f, 0x7FFFFFFF, 0), gr::GraphicsException);

	p->reset(f, 3, 65535);
	EXPECT_EQ(65535, p->getIndexCount());
	EXPECT_EQ(65535, p->getIndexRangeEnd());
	int last = 0;
	p->getIndices(65534, &last, 1);
	EXPECT_EQ(0, last);
}

TEST(DIPrimitive, RangesOutsideTheCountsThrow) {
	VertexFormat f;
	f.addPosition(VertexFormat::V3_32).addNormal(VertexFormat::V3_32);
	lang::Ptr<TestPrimitive> p = new TestPrimitive(f, 4, 3);
	Vector4 v[5];
	int i[4] = {};
	EXPECT_THROW(p->setPositions(2, v, 3), gr::GraphicsException);
	EXPECT_THROW(p->getNormals(-1, v, 1), gr::GraphicsException);
	EXPECT_THROW(p->getPositions(0x7FFFFFFF, v, 2), gr::GraphicsException);
	EXPECT_THROW(p->setIndices(1, i, 3), gr::GraphicsException);
	EXPECT_THROW(p->getIndices(3, i, 1), gr::GraphicsException);
	EXPECT_THROW(p->setIndexData(0, i, 4, 4), gr::GraphicsException);
	EXPECT_NO_THROW(p->setPositions(4, v, 0));
	EXPECT_NO_THROW(p->getPositions(0, v, 4));
}

TEST(DIPrimitive, ScalesAndBoundsAreStored) {
	lang::Ptr<TestPrimitive> p = new TestPrimitive;
	p->setPositionScale(Vector4(0.5f, 1, 2, 3));
	p->setTexCoordScale(Vector4(1.f / 4096, 0, 0, 0));
	p->setBounds(math::Vector3(-1, -2, -3), math::Vector3(1, 2, 3), 4);
	expectVector(Vector4(0.5f, 1, 2, 3), p->getPositionScale());
	EXPECT_EQ(1.f / 4096, p->getTexCoordScale().x);
	EXPECT_EQ(-2.f, p->getBoundsMin().y);
	EXPECT_EQ(3.f, p->getBoundsMax().z);
	EXPECT_EQ(4.f, p->getBoundingRadius());
}

TEST(DIPrimitive, ReleaseDataEmptiesEverything) {
	VertexFormat f;
	f.addPosition(VertexFormat::V3_32);
	lang::Ptr<TestPrimitive> p = new TestPrimitive(f, 3, 3);
	const uint8_t bones[2] = {4, 5};
	p->setUsedBones(bones, 2);
	p->releaseData();
	EXPECT_EQ(0, p->getVertexCount());
	EXPECT_EQ(0, p->getIndexCount());
	EXPECT_EQ(0, p->getUsedBoneCount());
	EXPECT_EQ(nullptr, p->getUsedBones());
	EXPECT_TRUE(p->getVertexFormat() == VertexFormat());
	void* data;
	int pitch;
	p->getVertexDataPointer(VertexFormat::DT_POSITION, &data, &pitch);
	EXPECT_EQ(nullptr, data);
}

} // namespace
