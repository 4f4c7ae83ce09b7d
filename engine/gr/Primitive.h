#ifndef GR_PRIMITIVE_H
#define GR_PRIMITIVE_H

#include <gr/ContextObject.h>
#include <gr/PrimitiveType.h>
#include <gr/VertexFormat.h>
#include <math/Vector3.h>
#include <math/Vector4.h>
#include <cstdint>

namespace gr {

class Shader;

/**
 * Vertex and index data drawn with one shader. Vertex data is set and read
 * as four floats per vertex and converted to the primitive's storage
 * format; data types are those of VertexFormat.
 */
class Primitive : public ContextObject {
public:
	Primitive() : ContextObject(CLASSID_PRIMITIVE) {}

	virtual void setShader(Shader* shader) = 0;

	/** Perspective-correction hint (0..10); the base ignores it. */
	virtual void prepare(int level);

	virtual void setPositions(int first, const math::Vector4* data, int count) = 0;

	/** (scale, bias x, bias y, bias z): a stored position stands for position * scale + bias. */
	virtual void setPositionScale(const math::Vector4& scale) = 0;

	virtual void setPositionsT(int first, const math::Vector4* data, int count) = 0;
	virtual void setNormals(int first, const math::Vector4* data, int count) = 0;
	virtual void setDiffuse(int first, const math::Vector4* data, int count) = 0;
	virtual void setSpecular(int first, const math::Vector4* data, int count) = 0;
	virtual void setTangents(int first, const math::Vector4* data, int count) = 0;
	virtual void setBoneWeights(int first, const math::Vector4* data, int count) = 0;
	virtual void setBoneIndices(int first, const math::Vector4* data, int count) = 0;

	/** Texture coordinates of set `layer` (0..3). */
	virtual void setTexCoords(int first, int layer, const math::Vector4* data, int count) = 0;

	/** (scale, bias u, bias v, unused), as the position scale. */
	virtual void setTexCoordScale(const math::Vector4& scale) = 0;

	/** count elements of data type dataType from data in data format dataFormat, from vertex first on. */
	virtual void setVertexData(int dataType, int first, const void* data, int dataFormat, int count) = 0;

	/** count indices of indexSize bytes (1, 2 or 4) from index first on. */
	virtual void setIndexData(int first, const void* data, int indexSize, int count) = 0;

	virtual void setIndices(int first, const int* data, int count) = 0;

	/** Renumbers the bone indices to the bones the vertices use and stores that list. */
	virtual void updateUsedBones() = 0;

	virtual void setUsedBones(const uint8_t* bones, int count) = 0;

	virtual void render() = 0;

	/** The base does nothing. */
	virtual void finish();

	/** The stored array of a data type (null when absent) and its element size. */
	virtual void getVertexDataPointer(int dataType, void** data, int* pitch) = 0;

	/** The index list and its element size. */
	virtual void getIndexDataPointer(void** data, int* pitch) = 0;

	virtual void setVertexRangeBegin(int i) = 0;
	virtual void setVertexRangeEnd(int i) = 0;
	virtual void setIndexRangeBegin(int i) = 0;
	virtual void setIndexRangeEnd(int i) = 0;

	virtual void setBounds(const math::Vector3& min, const math::Vector3& max, float radius) = 0;

	virtual int getVertexRangeBegin() const = 0;
	virtual int getVertexRangeEnd() const = 0;
	virtual int getIndexRangeBegin() const = 0;
	virtual int getIndexRangeEnd() const = 0;

	virtual const uint8_t* getUsedBones() const = 0;
	virtual PrimitiveType getType() const = 0;
	virtual int getUsedBoneCount() const = 0;

	/** The shader, or null. */
	virtual Shader* getShader() const = 0;

	virtual int getVertexCount() const = 0;
	virtual int getIndexCount() const = 0;
	virtual const VertexFormat& getVertexFormat() const = 0;

	virtual void getPositions(int first, math::Vector4* out, int count) const = 0;
	virtual void getNormals(int first, math::Vector4* out, int count) const = 0;
	virtual void getDiffuse(int first, math::Vector4* out, int count) const = 0;
	virtual void getSpecular(int first, math::Vector4* out, int count) const = 0;
	virtual void getTangents(int first, math::Vector4* out, int count) const = 0;
	virtual void getBoneWeights(int first, math::Vector4* out, int count) const = 0;
	virtual void getBoneIndices(int first, math::Vector4* out, int count) const = 0;
	virtual void getTexCoords(int first, int layer, math::Vector4* out, int count) const = 0;
	virtual void getVertexData(int dataType, int first, math::Vector4* out, int count) const = 0;
	virtual void getIndices(int first, int* out, int count) const = 0;

	virtual const math::Vector4& getTexCoordScale() const = 0;
	virtual const math::Vector4& getPositionScale() const = 0;

	virtual const math::Vector3& getBoundsMin() const = 0;
	virtual const math::Vector3& getBoundsMax() const = 0;
	virtual float getBoundingRadius() const = 0;
};

} // gr

#endif
