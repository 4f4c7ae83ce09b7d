#include <hgr/SceneInputStream.h>
#include <hgr/SceneReader.h>
#include <gr/Context.h>
#include <gr/VertexFormat.h>
#include <io/IOException.h>
#include <algorithm>
#include <cmath>
#include <cstring>

namespace hgr {

namespace {

const int MAX_VERTICES = 65535;
// Index storage of scene primitives is 16-bit, and so are the counts the primitives keep.
const int MAX_INDICES = 65535;
const int NAME_BUFFER_SIZE = 256;

// Bounds of positions of any format, each standing for p * scale + bias
// (transform = scale, bias x, y, z), and the largest distance from the origin.
void computeBounds(const uint8_t* data, int format, int count, const math::Vector4& transform,
				   math::Vector3& boxMin, math::Vector3& boxMax, float& radius) {
	const float t[4] = {transform.x, transform.y, transform.z, transform.w};
	if (format == gr::VertexFormat::V3_32 || format == gr::VertexFormat::V3_16 || count <= 0) {
		gr::VertexFormat::computeVertexBounds(data, format, count, t, boxMin, boxMax, radius);
		return;
	}
	const int size = gr::VertexFormat::getDataFormatSize(format);
	float lo[3] = {0.f, 0.f, 0.f}, hi[3] = {0.f, 0.f, 0.f};
	float maxLengthSquared = 0.f;
	for (int i = 0; i < count; ++i) {
		float e[4] = {0.f, 0.f, 0.f, 0.f};
		gr::VertexFormat::readElement(format, data + i * size, e);
		float lengthSquared = 0.f;
		for (int c = 0; c < 3; ++c) {
			const float v = e[c] * t[0] + t[1 + c];
			lo[c] = i == 0 ? v : std::min(lo[c], v);
			hi[c] = i == 0 ? v : std::max(hi[c], v);
			lengthSquared += v * v;
		}
		maxLengthSquared = std::max(maxLengthSquared, lengthSquared);
	}
	boxMin = math::Vector3(lo[0], lo[1], lo[2]);
	boxMax = math::Vector3(hi[0], hi[1], hi[2]);
	radius = std::sqrt(maxLengthSquared);
}

} // namespace

void SceneReader::readPrimitive() {
	SceneInputStream& in = *m_in;
	const lang::String streamName = in.toString();
	int vertexCount, indexCount;
	if (m_version > 189) {
		vertexCount = in.readInt();
		indexCount = in.readInt();
	} else {
		vertexCount = uint16_t(in.readShort());
		indexCount = uint16_t(in.readShort());
	}
	if (vertexCount < 0 || vertexCount > MAX_VERTICES)
		fail(lang::Format("Failed to load scene \"{0}\". Invalid vertex count ({1}).", streamName, vertexCount));
	if (indexCount < 0 || indexCount > MAX_INDICES)
		fail(lang::Format("Failed to load scene \"{0}\". Invalid face index count ({1}).", streamName, indexCount));

	gr::VertexFormat format;
	const int components = in.readByte();
	for (int i = 0; i < components; ++i) {
		char typeName[NAME_BUFFER_SIZE];
		char formatName[NAME_BUFFER_SIZE];
		in.readUTF(typeName, NAME_BUFFER_SIZE);
		in.readUTF(formatName, NAME_BUFFER_SIZE);
		const int type = gr::VertexFormat::parseDataType(typeName);
		if (type == gr::VertexFormat::DT_SIZE)
			fail(lang::Format("Invalid vertex data type in \"{0}\": {1}", streamName, typeName));
		const int df = gr::VertexFormat::parseDataFormat(formatName);
		if (df == gr::VertexFormat::DF_SIZE)
			fail(lang::Format("Invalid vertex data format in \"{0}\": {1}", streamName, formatName));
		format.setDataFormat(type, df);
	}

	const int materialIndex = in.readShort();
	const int type = in.readShort();
	if (type < 0 || type > gr::PRIMITIVE_POINTSPRITE)
		fail(lang::Format("Failed to load scene \"{0}\". Primitive type ({1}) invalid", streamName, type));
	if (materialIndex < 0 || materialIndex >= m_materials.size())
		fail(lang::Format("Failed to load scene \"{0}\". Invalid material index ({1}), maximum is {2}.", m_fileName,
						  materialIndex, m_materials.size()));
	float scales[8] = {1.f, 0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f};
	if (m_version > 189)
		readFloats(scales, 8);

	// The data must be in the file before the primitive is made for it.
	int64_t vertexBytes = 1; // the used-bone count follows the data
	for (int t = 0; t < gr::VertexFormat::DT_SIZE; ++t) {
		const int df = format.getDataFormat(t);
		if (df != gr::VertexFormat::NONE)
			vertexBytes += (m_version <= 189 ? 5 * 4 : 0) +
						   int64_t(vertexCount) * gr::VertexFormat::getDataFormatSize(df);
	}
	if (vertexBytes > left())
		fail(lang::Format("Failed to load scene \"{0}\". Invalid vertex count ({1}).", streamName, vertexCount));
	if (vertexBytes + int64_t(indexCount) * 2 > left())
		fail(lang::Format("Failed to load scene \"{0}\". Invalid face index count ({1}).", streamName, indexCount));

	lang::Ptr<gr::Primitive> primitive =
		m_context->createPrimitive(gr::PrimitiveType(type), format, vertexCount, indexCount, 2);
	if (!primitive || primitive->getVertexFormat() != format)
		fail(lang::Format("Failed to load scene \"{0}\". Primitive vertex format ({1}) should be ({2})", streamName,
						  format.toString(),
						  primitive ? primitive->getVertexFormat().toString() : lang::String("")));

	{
		gr::ContextObjectLock lock(primitive, gr::ContextObject::LOCK_WRITE);
		if (m_version > 189) {
			primitive->setPositionScale(math::Vector4(scales[0], scales[1], scales[2], scales[3]));
			primitive->setTexCoordScale(math::Vector4(scales[4], scales[5], scales[6], scales[7]));
		}
		for (int t = 0; t < gr::VertexFormat::DT_SIZE; ++t) {
			const int df = format.getDataFormat(t);
			if (df == gr::VertexFormat::NONE)
				continue;
			if (m_version <= 189) {
				float unused[5];
				readFloats(unused, 5);
			}
			const int bytes = vertexCount * gr::VertexFormat::getDataFormatSize(df);
			// Room for a whole last element also when the block is empty or odd-sized.
			m_scratch.resize(bytes + 16);
			in.readFully(m_scratch.begin(), bytes);
			primitive->setVertexData(t, 0, m_scratch.begin(), df, vertexCount);
			if (t == gr::VertexFormat::DT_POSITION) {
				math::Vector3 boxMin, boxMax;
				float radius = 0.f;
				computeBounds(m_scratch.begin(), df, vertexCount, primitive->getPositionScale(), boxMin, boxMax,
							  radius);
				primitive->setBounds(boxMin, boxMax, radius);
			}
		}

		if (indexCount > 0) {
			void* data = nullptr;
			int pitch = 0;
			primitive->getIndexDataPointer(&data, &pitch);
			if (pitch != 2 || !data)
				fail(lang::Format("Failed to load scene \"{0}\". Invalid face index size ({1}).", streamName, pitch));
			in.readFully(data, indexCount * 2);
			const uint8_t* bytes = static_cast<const uint8_t*>(data);
			for (int i = 0; i < indexCount; ++i) {
				// Stored little-endian, as the primitive keeps them.
				const int index = bytes[2 * i] | bytes[2 * i + 1] << 8;
				if (index >= vertexCount)
					fail(lang::Format("Failed to load scene \"{0}\". Invalid face vertex index (face {1}).",
									  streamName, i));
			}
		}

		const int usedBones = in.readByte();
		uint8_t bones[256];
		in.readFully(bones, usedBones);
		primitive->setUsedBones(bones, usedBones);
	}

	primitive->setShader(m_materials[materialIndex]);
	m_primitives.add(primitive);
}

} // namespace hgr
