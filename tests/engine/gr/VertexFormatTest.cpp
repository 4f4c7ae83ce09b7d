#include <gr/VertexFormat.h>
#include <gtest/gtest.h>
#include <cstring>

using gr::VertexFormat;

namespace {

TEST(VertexFormat, NewFormatIsEmpty) {
	VertexFormat f;
	EXPECT_STREQ("()", f.toString().c_str());
	EXPECT_EQ(0, f.getVertexSize());
	EXPECT_EQ(1, f.alignment());
	EXPECT_EQ(8u, sizeof(VertexFormat));
	for (int t = 0; t < VertexFormat::DT_SIZE; ++t)
		EXPECT_EQ(VertexFormat::NONE, f.getDataFormat(t));
}

TEST(VertexFormat, NibbleLayout) {
	VertexFormat f;
	f.addPosition(VertexFormat::V3_32)
		.addPositionT(VertexFormat::V4_16)
		.addBones(VertexFormat::V4_8, VertexFormat::V4_5)
		.addNormal(VertexFormat::S_8)
		.addDiffuse(VertexFormat::V2_16)
		.addSpecular(VertexFormat::V3_8)
		.addTangent(VertexFormat::S_16);
	f.addTextureCoordinate(VertexFormat::V2_32);
	uint8_t bytes[8];
	memcpy(bytes, &f, 8);
	EXPECT_EQ(0xB7, bytes[0]); // POSITIONT high, POSITION low
	EXPECT_EQ(0xDC, bytes[1]); // bone indices high, weights low
	EXPECT_EQ(0x53, bytes[2]);
	EXPECT_EQ(0x49, bytes[3]); // TEX0 high, SPECULAR low
	EXPECT_EQ(0x00, bytes[4]);
	EXPECT_EQ(0x20, bytes[5]); // TANGENT high
	EXPECT_EQ(0, bytes[6]);
	EXPECT_EQ(1, bytes[7]);
}

TEST(VertexFormat, AddTextureCoordinateFillsFirstFreeSet) {
	VertexFormat f;
	const int formats[5] = {VertexFormat::V2_32, VertexFormat::V2_16, VertexFormat::S_32, VertexFormat::V3_8,
							VertexFormat::V4_32};
	for (int i = 0; i < 5; ++i) {
		const VertexFormat before = f;
		f.addTextureCoordinate(formats[i]);
		if (i == 4) {
			EXPECT_TRUE(f == before);
		}
	}
	EXPECT_EQ(4, f.textureCoordinates());
	for (int set = 0; set < 4; ++set)
		EXPECT_EQ(formats[set], f.getTextureCoordinateFormat(set));
	EXPECT_EQ(VertexFormat::NONE, f.getTextureCoordinateFormat(4));
}

TEST(VertexFormat, TextureCoordinatesCountUpToFirstGap) {
	VertexFormat f;
	f.setDataFormat(VertexFormat::DT_TEX1, VertexFormat::V2_32);
	EXPECT_EQ(0, f.textureCoordinates());
	f.addTextureCoordinate(VertexFormat::V2_16);
	EXPECT_EQ(VertexFormat::V2_16, f.getDataFormat(VertexFormat::DT_TEX0));
	EXPECT_EQ(2, f.textureCoordinates());
}

TEST(VertexFormat, VertexSizeRoundsToAlignment) {
	VertexFormat f;
	f.addPosition(VertexFormat::V3_16).addDiffuse(VertexFormat::V4_8).addTextureCoordinate(VertexFormat::S_8);
	EXPECT_EQ(11, f.getVertexSize());
	f.setAlignment(4);
	EXPECT_EQ(12, f.getVertexSize());
	f.setAlignment(16);
	EXPECT_EQ(16, f.getVertexSize());
	f.setAlignment(0);
	EXPECT_EQ(0, f.getVertexSize());
}

TEST(VertexFormat, EqualityIgnoresAlignment) {
	VertexFormat a, b;
	a.addPosition(VertexFormat::V3_32);
	b.addPosition(VertexFormat::V3_32).setAlignment(8);
	EXPECT_TRUE(a == b);
	b.addNormal(VertexFormat::V3_32);
	EXPECT_FALSE(a == b);
	EXPECT_TRUE(a != b);
}

TEST(VertexFormat, ToStringListsPresentTypesInOrder) {
	VertexFormat f;
	f.addTextureCoordinate(VertexFormat::V2_32).addNormal(VertexFormat::V3_32).addPosition(VertexFormat::V3_32);
	EXPECT_STREQ("(DT_POSITION=V3_32, DT_NORMAL=V3_32, DT_TEX0=V2_32)", f.toString().c_str());

	VertexFormat all;
	for (int t = 0; t < VertexFormat::DT_SIZE; ++t)
		all.setDataFormat(t, VertexFormat::V4_32);
	const lang::String text = all.toString();
	EXPECT_TRUE(strstr(text.c_str(), "DT_TEX3=V4_32, DT_TANGENT=V4_32)") != nullptr);
}

TEST(VertexFormat, DataFormatTable) {
	struct Row {
		const char* name;
		int dimension;
		int size;
	};
	const Row rows[] = {
		{"NONE", 0, 0},	  {"S_32", 1, 4},  {"S_16", 1, 2},	 {"S_8", 1, 1},	  {"V2_32", 2, 8},
		{"V2_16", 2, 4},  {"V2_8", 2, 2},  {"V3_32", 3, 12}, {"V3_16", 3, 6}, {"V3_8", 3, 3},
		{"V4_32", 4, 16}, {"V4_16", 4, 8}, {"V4_8", 4, 4},	 {"V4_5", 4, 2},
	};
	for (int df = 0; df < 14; ++df) {
		SCOPED_TRACE(df);
		EXPECT_STREQ(rows[df].name, VertexFormat::getDataFormatName(df));
		EXPECT_EQ(rows[df].dimension, VertexFormat::getDataFormatDimension(df));
		EXPECT_EQ(rows[df].size, VertexFormat::getDataFormatSize(df));
		EXPECT_EQ(df, VertexFormat::parseDataFormat(rows[df].name));
	}
	for (int df : {14, 15, -1, 99}) {
		SCOPED_TRACE(df);
		EXPECT_EQ(0, VertexFormat::getDataFormatSize(df));
		EXPECT_EQ(0, VertexFormat::getDataFormatDimension(df));
	}
}

TEST(VertexFormat, DataTypeNamesAndParsing) {
	const char* names[] = {"DT_POSITION", "DT_POSITIONT", "DT_BONEWEIGHTS", "DT_BONEINDICES",
						   "DT_NORMAL",	  "DT_DIFFUSE",	  "DT_SPECULAR",	"DT_TEX0",
						   "DT_TEX1",	  "DT_TEX2",	  "DT_TEX3",		"DT_TANGENT"};
	for (int t = 0; t < 12; ++t) {
		EXPECT_STREQ(names[t], VertexFormat::getDataTypeName(t));
		EXPECT_EQ(t, VertexFormat::parseDataType(names[t]));
		EXPECT_EQ(t, VertexFormat::parseDataType(lang::String(names[t])));
	}
}

TEST(VertexFormat, ParsingIsExact) {
	EXPECT_EQ(14, VertexFormat::parseDataFormat("v3_32"));
	EXPECT_EQ(14, VertexFormat::parseDataFormat("V3_32 "));
	EXPECT_EQ(14, VertexFormat::parseDataFormat(lang::String()));
	EXPECT_EQ(12, VertexFormat::parseDataType("DT_TEX4"));
	EXPECT_EQ(12, VertexFormat::parseDataType("dt_position"));
	EXPECT_EQ(12, VertexFormat::parseDataType(static_cast<const char*>(nullptr)));
}

TEST(VertexFormat, DataSizeRoundsUpToFourBytes) {
	struct Case {
		int df, count, size;
	};
	const Case cases[] = {
		{3, 5, 8},	{9, 3, 12},	 {8, 1, 8},	 {13, 3, 8},  {1, 3, 12}, {2, 1, 4},   {6, 3, 8},	{4, 2, 16}, {11, 2, 16},
		{7, 2, 24}, {10, 2, 32}, {5, 3, 12}, {12, 3, 12}, {0, 10, 0}, {14, 10, 0}, {15, 10, 0}, {10, 0, 0},
	};
	for (const Case& c : cases)
		EXPECT_EQ(c.size, VertexFormat::getDataSize(c.df, c.count)) << c.df << " x " << c.count;
}

} // namespace
