#include <gr/DIPrimitive.h>
#include <gr/GraphicsException.h>
#include <lang/Format.h>
#include <climits>
#include <cstring>

namespace gr {

DIPrimitive::DIPrimitive()
	: m_positionScale(1.f, 0.f, 0.f, 0.f), m_texCoordScale(1.f, 0.f, 0.f, 0.f), m_boundingRadius(0.f), m_data(nullptr),
	  m_usedBones(nullptr), m_vertexCount(0), m_indexCount(0), m_vertexRangeBegin(0), m_vertexRangeEnd(0),
	  m_indexRangeBegin(0), m_indexRangeEnd(0), m_usedBoneCount(0) {}

DIPrimitive::~DIPrimitive() {
	m_format = VertexFormat();
	m_vertexCount = m_indexCount = 0;
	m_usedBoneCount = 0;
	delete[] m_usedBones;
	m_usedBones = nullptr;
	// Not virtual here: a derived part is already gone.
	delete[] reinterpret_cast<uint8_t*>(m_data);
	m_data = nullptr;
}

namespace {

int64_t blockSize(const VertexFormat& format, int64_t vertexCount, int64_t indexCount) {
	int64_t size = int64_t(sizeof(void*)) * 14 + 2 * indexCount;
	for (int t = 0; t < VertexFormat::DT_SIZE; ++t) {
		// getDataSize rounds up to 4 bytes; the same for 64-bit counts.
		const int64_t bytes = vertexCount * VertexFormat::getDataFormatSize(format.getDataFormat(t));
		size += (bytes + 3) & ~int64_t(3);
	}
	return size;
}

} // namespace

void DIPrimitive::reset(const VertexFormat& format, int vertexCount, int indexCount) {
	if (indexCount < 0 || indexCount > MAX_INDICES)
		throw GraphicsException(lang::Format("Primitive index count {0} outside 0..65535", indexCount));
	if (vertexCount < 0 || blockSize(format, vertexCount, indexCount) > INT_MAX)
		throw GraphicsException(lang::Format("Primitive vertex count {0} cannot be stored", vertexCount));

	releaseData();
	m_vertexCount = vertexCount;
	m_indexCount = indexCount;
	m_format = format;
	m_vertexRangeBegin = 0;
	m_vertexRangeEnd = vertexCount;
	m_indexRangeBegin = 0;
	m_indexRangeEnd = indexCount;
	allocate(format, vertexCount, indexCount);
}

void DIPrimitive::allocate(const VertexFormat&, int, int) {
	freeData();
	const int size = getDataBlockSize();
	uint8_t* block = new uint8_t[size]();
	void** header = reinterpret_cast<void**>(block);
	uint8_t* p = block + sizeof(void*) * HEADER_POINTERS;
	for (int t = 0; t < VertexFormat::DT_SIZE; ++t) {
		const int df = m_format.getDataFormat(t);
		if (VertexFormat::getDataFormatSize(df) == 0)
			continue;
		header[t] = p;
		p += VertexFormat::getDataSize(df, m_vertexCount);
	}
	if (m_indexCount > 0)
		header[INDEX_SLOT] = p;
	m_data = header;
}

void DIPrimitive::freeData() {
	delete[] reinterpret_cast<uint8_t*>(m_data);
	m_data = nullptr;
}

void DIPrimitive::releaseData() {
	m_usedBoneCount = 0;
	m_format = VertexFormat();
	m_vertexCount = m_indexCount = 0;
	m_vertexRangeBegin = m_vertexRangeEnd = 0;
	m_indexRangeBegin = m_indexRangeEnd = 0;
	delete[] m_usedBones;
	m_usedBones = nullptr;
	freeData();
}

uint8_t* DIPrimitive::array(int dataType) const {
	if (!m_data || dataType < 0 || dataType >= VertexFormat::DT_SIZE)
		return nullptr;
	return static_cast<uint8_t*>(m_data[dataType]);
}

uint16_t* DIPrimitive::indexList() const {
	return m_data ? static_cast<uint16_t*>(m_data[INDEX_SLOT]) : nullptr;
}

void DIPrimitive::checkVertexRange(int first, int count) const {
	if (first < 0 || int64_t(first) + count > m_vertexCount)
		throw GraphicsException(lang::Format("Vertices {0}..{1} outside a primitive of {2} vertices", first,
											 int64_t(first) + count - 1, m_vertexCount));
}

void DIPrimitive::checkIndexRange(int first, int count) const {
	if (first < 0 || int64_t(first) + count > m_indexCount)
		throw GraphicsException(lang::Format("Indices {0}..{1} outside a primitive of {2} indices", first,
											 int64_t(first) + count - 1, m_indexCount));
}

void DIPrimitive::setVertexData(int dataType, int first, const void* data, int dataFormat, int count) {
	uint8_t* dst = array(dataType);
	if (!dst || count <= 0)
		return;
	checkVertexRange(first, count);
	const int df = m_format.getDataFormat(dataType);
	const int size = VertexFormat::getDataFormatSize(df);
	VertexFormat::copyVertexData(dst + ptrdiff_t(first) * size, size, df, data,
								 VertexFormat::getDataFormatSize(dataFormat), dataFormat, count);
}

void DIPrimitive::getVertexData(int dataType, int first, math::Vector4* out, int count) const {
	if (count <= 0)
		return;
	const uint8_t* src = array(dataType);
	if (!src) {
		for (int i = 0; i < count; ++i)
			out[i] = math::Vector4();
		return;
	}
	checkVertexRange(first, count);
	const int df = m_format.getDataFormat(dataType);
	const int size = VertexFormat::getDataFormatSize(df);
	VertexFormat::copyVertexData(out, sizeof(math::Vector4), VertexFormat::V4_32, src + ptrdiff_t(first) * size, size,
								 df, count);
}

void DIPrimitive::setVertexDataV4(int dataType, int first, const math::Vector4* data, int count) {
	setVertexData(dataType, first, data, VertexFormat::V4_32, count);
}

void DIPrimitive::setPositions(int first, const math::Vector4* data, int count) {
	setVertexData(VertexFormat::DT_POSITION, first, data, VertexFormat::V4_32, count);
}
void DIPrimitive::setPositionsT(int first, const math::Vector4* data, int count) {
	setVertexData(VertexFormat::DT_POSITIONT, first, data, VertexFormat::V4_32, count);
}
void DIPrimitive::setNormals(int first, const math::Vector4* data, int count) {
	setVertexData(VertexFormat::DT_NORMAL, first, data, VertexFormat::V4_32, count);
}
void DIPrimitive::setDiffuse(int first, const math::Vector4* data, int count) {
	setVertexData(VertexFormat::DT_DIFFUSE, first, data, VertexFormat::V4_32, count);
}
void DIPrimitive::setSpecular(int first, const math::Vector4* data, int count) {
	setVertexData(VertexFormat::DT_SPECULAR, first, data, VertexFormat::V4_32, count);
}
void DIPrimitive::setTangents(int first, const math::Vector4* data, int count) {
	setVertexData(VertexFormat::DT_TANGENT, first, data, VertexFormat::V4_32, count);
}
void DIPrimitive::setBoneWeights(int first, const math::Vector4* data, int count) {
	setVertexData(VertexFormat::DT_BONEWEIGHTS, first, data, VertexFormat::V4_32, count);
}
void DIPrimitive::setBoneIndices(int first, const math::Vector4* data, int count) {
	setVertexData(VertexFormat::DT_BONEINDICES, first, data, VertexFormat::V4_32, count);
}

void DIPrimitive::setTexCoords(int first, int layer, const math::Vector4* data, int count) {
	if (layer >= 0 && layer < 4)
		setVertexData(VertexFormat::DT_TEX0 + layer, first, data, VertexFormat::V4_32, count);
}

void DIPrimitive::getPositions(int first, math::Vector4* out, int count) const {
	getVertexData(VertexFormat::DT_POSITION, first, out, count);
}
void DIPrimitive::getNormals(int first, math::Vector4* out, int count) const {
	getVertexData(VertexFormat::DT_NORMAL, first, out, count);
}
void DIPrimitive::getDiffuse(int first, math::Vector4* out, int count) const {
	getVertexData(VertexFormat::DT_DIFFUSE, first, out, count);
}
void DIPrimitive::getSpecular(int first, math::Vector4* out, int count) const {
	getVertexData(VertexFormat::DT_SPECULAR, first, out, count);
}
void DIPrimitive::getTangents(int first, math::Vector4* out, int count) const {
	getVertexData(VertexFormat::DT_TANGENT, first, out, count);
}
void DIPrimitive::getBoneWeights(int first, math::Vector4* out, int count) const {
	getVertexData(VertexFormat::DT_BONEWEIGHTS, first, out, count);
}
void DIPrimitive::getBoneIndices(int first, math::Vector4* out, int count) const {
	getVertexData(VertexFormat::DT_BONEINDICES, first, out, count);
}

void DIPrimitive::getTexCoords(int first, int layer, math::Vector4* out, int count) const {
	// A set outside 0..3 is absent: zeros.
	getVertexData(layer >= 0 && layer < 4 ? VertexFormat::DT_TEX0 + layer : VertexFormat::DT_SIZE, first, out, count);
}

void DIPrimitive::setPositionScale(const math::Vector4& scale) {
	m_positionScale = scale;
}
void DIPrimitive::setTexCoordScale(const math::Vector4& scale) {
	m_texCoordScale = scale;
}

void DIPrimitive::setBounds(const math::Vector3& min, const math::Vector3& max, float radius) {
	m_boundsMin = min;
	m_boundsMax = max;
	m_boundingRadius = radius;
}

void DIPrimitive::setIndices(int first, const int* data, int count) {
	if (count <= 0)
		return;
	checkIndexRange(first, count);
	uint16_t* dst = indexList() + first;
	for (int i = 0; i < count; ++i)
		dst[i] = uint16_t(data[i]);
}

void DIPrimitive::getIndices(int first, int* out, int count) const {
	if (count <= 0)
		return;
	checkIndexRange(first, count);
	const uint16_t* src = indexList() + first;
	for (int i = 0; i < count; ++i)
		out[i] = src[i];
}

void DIPrimitive::setIndexData(int first, const void* data, int indexSize, int count) {
	if (count <= 0 || (indexSize != 1 && indexSize != 2 && indexSize != 4))
		return;
	checkIndexRange(first, count);
	uint16_t* dst = indexList() + first;
	const uint8_t* src = static_cast<const uint8_t*>(data);
	switch (indexSize) {
	case 1:
		for (int i = 0; i < count; ++i)
			dst[i] = src[i];
		break;
	case 2:
		memcpy(dst, src, size_t(count) * 2);
		break;
	default:
		for (int i = 0; i < count; ++i) {
			uint32_t v;
			memcpy(&v, src + 4 * i, 4);
			dst[i] = uint16_t(v);
		}
		break;
	}
}

void DIPrimitive::getVertexDataPointer(int dataType, void** data, int* pitch) {
	*data = array(dataType);
	*pitch = VertexFormat::getDataFormatSize(m_format.getDataFormat(dataType));
}

void DIPrimitive::getIndexDataPointer(void** data, int* pitch) {
	*data = indexList();
	*pitch = 2;
}

void DIPrimitive::setVertexRangeBegin(int i) {
	m_vertexRangeBegin = i;
}
void DIPrimitive::setVertexRangeEnd(int i) {
	m_vertexRangeEnd = i;
}
void DIPrimitive::setIndexRangeBegin(int i) {
	m_indexRangeBegin = uint16_t(i);
}
void DIPrimitive::setIndexRangeEnd(int i) {
	m_indexRangeEnd = uint16_t(i);
}

int DIPrimitive::getVertexStride() const {
	int sum = 0;
	for (int t = 0; t < VertexFormat::DT_SIZE; ++t)
		sum += VertexFormat::getDataFormatSize(m_format.getDataFormat(t));
	return sum;
}

int DIPrimitive::getVertexDataSize() const {
	int sum = 0;
	for (int t = 0; t < VertexFormat::DT_SIZE; ++t)
		sum += VertexFormat::getDataSize(m_format.getDataFormat(t), m_vertexCount);
	return sum;
}

int DIPrimitive::getDataBlockSize() const {
	return int(sizeof(void*)) * HEADER_POINTERS + getVertexDataSize() + 2 * m_indexCount;
}

void DIPrimitive::setUsedBones(const uint8_t* bones, int count) {
	delete[] m_usedBones;
	m_usedBones = nullptr;
	if (count < 0)
		count = 0;
	if (count > 255)
		count = 255;
	m_usedBoneCount = uint8_t(count);
	if (count > 0) {
		m_usedBones = new uint8_t[count];
		memcpy(m_usedBones, bones, size_t(count));
	}
}

} // gr
