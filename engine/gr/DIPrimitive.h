#ifndef GR_DIPRIMITIVE_H
#define GR_DIPRIMITIVE_H

#include <gr/Primitive.h>
#include <gr/PolygonSortBuffer.h>
#include <lang/Array.h>
#include <math/Matrix4x4.h>

namespace gr {

/**
 * Primitive whose vertex and index data live in main memory: one planar
 * array per data type in the storage format the vertex format names, and
 * a list of 16-bit indices, all in one zero-filled block. Every set and get
 * converts between four floats per vertex and the stored format. A backend
 * derives from it and adds the type, the shader and drawing.
 *
 * Sets and gets outside the vertex or index count throw GraphicsException.
 */
class DIPrimitive : public Primitive {
public:
	/** Most indices the 16-bit index list can hold. */
	enum { MAX_INDICES = 0xFFFF };

	DIPrimitive();
	~DIPrimitive() override;

	/**
	 * Empties the primitive and allocates storage for the format and counts.
	 * Throws GraphicsException (leaving the primitive unchanged) when
	 * indexCount lies outside 0..65535, vertexCount is negative or the block
	 * would not fit in memory addressable by an int.
	 */
	void reset(const VertexFormat& format, int vertexCount, int indexCount);

	/** Builds the data block from the stored format and counts (the arguments equal them). */
	virtual void allocate(const VertexFormat& format, int vertexCount, int indexCount);

	/** Frees the data block. */
	virtual void freeData();

	/** Empties format, counts, ranges and used bones and frees the data block. */
	void releaseData();

	void setPositions(int first, const math::Vector4* data, int count) override;
	void setPositionScale(const math::Vector4& scale) override;
	void setPositionsT(int first, const math::Vector4* data, int count) override;
	void setNormals(int first, const math::Vector4* data, int count) override;
	void setDiffuse(int first, const math::Vector4* data, int count) override;
	void setSpecular(int first, const math::Vector4* data, int count) override;
	void setTangents(int first, const math::Vector4* data, int count) override;
	void setBoneWeights(int first, const math::Vector4* data, int count) override;
	void setBoneIndices(int first, const math::Vector4* data, int count) override;
	/** Sets outside 0..3 are ignored. */
	void setTexCoords(int first, int layer, const math::Vector4* data, int count) override;
	void setTexCoordScale(const math::Vector4& scale) override;

	/** Nothing when the primitive does not store dataType. */
	void setVertexData(int dataType, int first, const void* data, int dataFormat, int count) override;

	/** indexSize 1 and 2 widen, 4 keeps the low 16 bits; other sizes do nothing. */
	void setIndexData(int first, const void* data, int indexSize, int count) override;

	/** Keeps the low 16 bits of each index. */
	void setIndices(int first, const int* data, int count) override;

	/**
	 * Lists the bones that vertices use with a weight above 0 and renumbers
	 * each vertex's bone indices to entries of that list. Bones outside
	 * 0..254 are left out and renumbered to 0.
	 */
	void updateUsedBones() override;

	/** Stores at most 255 bones. */
	void setUsedBones(const uint8_t* bones, int count) override;

	void getVertexDataPointer(int dataType, void** data, int* pitch) override;
	void getIndexDataPointer(void** data, int* pitch) override;

	void setVertexRangeBegin(int i) override;
	void setVertexRangeEnd(int i) override;
	/** Stored as 16-bit values. */
	void setIndexRangeBegin(int i) override;
	void setIndexRangeEnd(int i) override;

	void setBounds(const math::Vector3& min, const math::Vector3& max, float radius) override;

	int getVertexRangeBegin() const override { return m_vertexRangeBegin; }
	int getVertexRangeEnd() const override { return m_vertexRangeEnd; }
	int getIndexRangeBegin() const override { return m_indexRangeBegin; }
	int getIndexRangeEnd() const override { return m_indexRangeEnd; }
	const uint8_t* getUsedBones() const override { return m_usedBones; }
	int getUsedBoneCount() const override { return m_usedBoneCount; }
	int getVertexCount() const override { return m_vertexCount; }
	int getIndexCount() const override { return m_indexCount; }
	const VertexFormat& getVertexFormat() const override { return m_format; }

	void getPositions(int first, math::Vector4* out, int count) const override;
	void getNormals(int first, math::Vector4* out, int count) const override;
	void getDiffuse(int first, math::Vector4* out, int count) const override;
	void getSpecular(int first, math::Vector4* out, int count) const override;
	void getTangents(int first, math::Vector4* out, int count) const override;
	void getBoneWeights(int first, math::Vector4* out, int count) const override;
	void getBoneIndices(int first, math::Vector4* out, int count) const override;
	void getTexCoords(int first, int layer, math::Vector4* out, int count) const override;

	/** Zeros for a data type the primitive does not store. */
	void getVertexData(int dataType, int first, math::Vector4* out, int count) const override;

	void getIndices(int first, int* out, int count) const override;

	const math::Vector4& getTexCoordScale() const override { return m_texCoordScale; }
	const math::Vector4& getPositionScale() const override { return m_positionScale; }
	const math::Vector3& getBoundsMin() const override { return m_boundsMin; }
	const math::Vector3& getBoundsMax() const override { return m_boundsMax; }
	float getBoundingRadius() const override { return m_boundingRadius; }

	/** Sum of the element sizes of the stored data types. */
	int getVertexStride() const;

	/** Sum of the stored arrays' sizes. */
	int getVertexDataSize() const;

	/** Bytes of one index: 2. */
	int getIndexSize() const { return 2; }

	/** Header of 14 pointers, the arrays and the index list. */
	int getDataBlockSize() const;

	/** setVertexData with four floats per vertex. */
	void setVertexDataV4(int dataType, int first, const math::Vector4* data, int count);

	/**
	 * Moves into taken, out of remaining, the triangles of a skinned primitive
	 * (bone indices numbering its used-bone list) that together need at most
	 * maxBones bones, fewest new bones first. remaining is set to every
	 * triangle first; taken is appended to. The primitive is locked for
	 * reading meanwhile.
	 */
	static void collectBoneBatch(Primitive* primitive, int maxBones, lang::Array<int>& taken,
								 lang::Array<int>& remaining);

	/**
	 * Reorders the triangles by descending (back to front) or ascending
	 * (front to back) squared distance of their centroids from eye. The
	 * centroid is taken from the positions with the position scale applied,
	 * then mapped by transform, or, when the format has bone weights and bone
	 * matrices are given, blended from each corner's first two bones instead.
	 */
	void sortPolygonsBackToFront(const math::Vector3& eye, const math::Matrix4x4& transform,
								 const math::Matrix4x4* boneMatrices, int boneMatrixCount, PolygonSortBuffer& buffer);
	void sortPolygonsFrontToBack(const math::Vector3& eye, const math::Matrix4x4& transform,
								 const math::Matrix4x4* boneMatrices, int boneMatrixCount, PolygonSortBuffer& buffer);

	/** Ascending and descending distance from the centre of the primitive's own position box. */
	void sortPolygonsInsideOut(PolygonSortBuffer& buffer);
	void sortPolygonsOutsideIn(PolygonSortBuffer& buffer);

	/** Centre of the box of all stored positions, without the position scale. */
	math::Vector3 computeCenter() const;

private:
	math::Vector4 m_positionScale;
	math::Vector4 m_texCoordScale;
	math::Vector3 m_boundsMin;
	math::Vector3 m_boundsMax;
	float m_boundingRadius;
	void** m_data;
	uint8_t* m_usedBones;
	int m_vertexCount;
	int m_indexCount;
	int m_vertexRangeBegin;
	int m_vertexRangeEnd;
	int m_indexRangeBegin;
	int m_indexRangeEnd;
	VertexFormat m_format;
	uint8_t m_usedBoneCount;

	enum { HEADER_POINTERS = 14, INDEX_SLOT = 12 };

	uint8_t* array(int dataType) const;
	uint16_t* indexList() const;
	void checkVertexRange(int first, int count) const;
	void checkIndexRange(int first, int count) const;
	void sortPolygons(const math::Vector3& eye, const math::Matrix4x4& transform, bool scaled,
					  const math::Matrix4x4* boneMatrices, int boneMatrixCount, PolygonSortBuffer& buffer,
					  bool descending);

	DIPrimitive(const DIPrimitive&) = delete;
	DIPrimitive& operator=(const DIPrimitive&) = delete;
};

} // gr

#endif
