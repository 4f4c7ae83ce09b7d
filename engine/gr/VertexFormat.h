#ifndef GR_VERTEXFORMAT_H
#define GR_VERTEXFORMAT_H

#include <lang/String.h>
#include <math/Vector3.h>
#include <cstdint>

namespace gr {

/**
 * Which per-vertex data a primitive carries and the storage format of each.
 * Eight bytes copied by value: one 4-bit data format per data type in bytes
 * 0..5 (even types in the low nibble), byte 6 zero, byte 7 the alignment of
 * the vertex size.
 */
class VertexFormat {
public:
	/** Per-vertex data types; DT_TEX0 + n is texture coordinate set n. */
	enum DataType {
		DT_POSITION,
		DT_POSITIONT,
		DT_BONEWEIGHTS,
		DT_BONEINDICES,
		DT_NORMAL,
		DT_DIFFUSE,
		DT_SPECULAR,
		DT_TEX0,
		DT_TEX1,
		DT_TEX2,
		DT_TEX3,
		DT_TANGENT,
		/** Number of data types; also what parseDataType gives for an unknown name. */
		DT_SIZE
	};

	/** Storage formats of one element. */
	enum DataFormat {
		NONE,
		S_32,
		S_16,
		S_8,
		V2_32,
		V2_16,
		V2_8,
		V3_32,
		V3_16,
		V3_8,
		V4_32,
		V4_16,
		V4_8,
		/** 16-bit word: x bits 0-4, y bits 5-9, z bits 10-14, w bit 15. */
		V4_5,
		/** What parseDataFormat gives for an unknown name; not valid in a format. */
		DF_SIZE
	};

	/** Every data type NONE, alignment 1. */
	VertexFormat();

	VertexFormat& addPosition(int df);
	VertexFormat& addPositionT(int df);
	VertexFormat& addNormal(int df);
	VertexFormat& addDiffuse(int df);
	VertexFormat& addSpecular(int df);
	VertexFormat& addTangent(int df);
	VertexFormat& addBones(int weightsFormat, int indicesFormat);

	/** Gives df to the first free texture coordinate set; nothing when all four are used. */
	VertexFormat& addTextureCoordinate(int df);

	/** Texture coordinate sets counted from set 0 up to the first unused one. */
	int textureCoordinates() const;

	/** Format of texture coordinate set `set`; NONE for a set outside 0..3. */
	int getTextureCoordinateFormat(int set) const;

	/** Sets the nibble of data type `type` (0..11); other types are ignored. */
	VertexFormat& setDataFormat(int type, int df);

	/** Format of data type `type`; NONE for a type outside 0..11. */
	int getDataFormat(int type) const;

	VertexFormat& setAlignment(int n);
	int alignment() const { return m_data[7]; }

	/** Sum of the element sizes rounded up to the alignment; 0 when the alignment is 0. */
	int getVertexSize() const;

	/** Equal when the twelve data formats are; the alignment is not compared. */
	bool operator==(const VertexFormat& other) const;
	bool operator!=(const VertexFormat& other) const { return !(*this == other); }

	/** "(DT_POSITION=V3_32, DT_NORMAL=V3_32)"; "()" when empty. */
	lang::String toString() const;

	/** Bytes of one element of df; 0 outside 1..13. */
	static int getDataFormatSize(int df);

	/** Components of one element of df; 0 outside 1..13. */
	static int getDataFormatDimension(int df);

	/** Bytes of count elements of df rounded up to a multiple of 4; 0 for NONE, invalid formats or count <= 0. */
	static int getDataSize(int df, int count);

	/** Name of a data format; "" outside 0..13. */
	static const char* getDataFormatName(int df);

	/** Name of a data type; "" outside 0..11. */
	static const char* getDataTypeName(int type);

	/** Data format of an exact (case-sensitive) name; DF_SIZE when unknown. */
	static int parseDataFormat(const char* name);
	static int parseDataFormat(const lang::String& name);

	/** Data type of an exact (case-sensitive) name; DT_SIZE when unknown. */
	static int parseDataType(const char* name);
	static int parseDataType(const lang::String& name);

	/**
	 * Converts count elements from src (srcFormat, srcStride bytes apart) to
	 * dst (dstFormat, dstStride bytes apart). Integer components take floats
	 * truncated toward zero; values beyond the component's range saturate
	 * and NaN becomes 0.
	 */
	static void copyVertexData(void* dst, int dstStride, int dstFormat, const void* src, int srcStride, int srcFormat,
							   int count);

	/** As copyVertexData with each decoded component k mapped to c * scale[k] + bias[k]. */
	static void copyVertexDataScaled(void* dst, int dstStride, int dstFormat, const void* src, int srcStride,
									 int srcFormat, const float* scale, const float* bias, int count);

	/** Decodes one element into four floats; leaves out unchanged for NONE or an invalid format. */
	static void readElement(int df, const void* src, float* out);

	/** Encodes four floats into one element; writes nothing for NONE or an invalid format. */
	static void writeElement(int df, void* dst, const float* in);

	/**
	 * Bounds of V3_32 or V3_16 positions standing for p * transform[0] +
	 * transform[1..3]: the box (min <= max also for a negative scale) and the
	 * largest distance from the origin. count <= 0 gives zero bounds; other
	 * formats leave the outputs unchanged.
	 */
	static void computeVertexBounds(const void* data, int df, int count, const float* transform, math::Vector3& outMin,
									math::Vector3& outMax, float& outRadius);

private:
	uint8_t m_data[8];
};

} // gr

#endif
