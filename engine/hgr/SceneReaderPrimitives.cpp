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

typedef float Float4 __attribute__((vector_size(16)));

inline Float4 minOf(Float4 a, Float4 b) {
	return a < b ? a : b;
}

inline Float4 maxOf(Float4 a, Float4 b) {
	return a > b ? a : b;
}

// Raw minimum and maximum of three-component elements and the largest
// squared length of p * scale + bias. Four elements (twelve values, three
// vectors) at a time, so that the extremes are taken over whole vectors.
template <class T>
void scanElements(const uint8_t* data, int count, const float* t, float* lo, float* hi, float& maxLengthSquared) {
	const float big = 3.4028235e38f;
	Float4 lo4[3] = {{big, big, big, big}, {big, big, big, big}, {big, big, big, big}};
	Float4 hi4[3] = {-lo4[0], -lo4[0], -lo4[0]};
	// Bias of the twelve values: x, y, z, x, y, z, ...
	const Float4 bias4[3] = {{t[1], t[2], t[3], t[1]}, {t[2], t[3], t[1], t[2]}, {t[3], t[1], t[2], t[3]}};
	const Float4 scale4 = {t[0], t[0], t[0], t[0]};
	float best = 0.f;
	int i = 0;
	for (; i + 4 <= count; i += 4) {
		T e[12];
		std::memcpy(e, data + size_t(i) * 3 * sizeof(T), sizeof(e));
		Float4 squares[3];
		for (int j = 0; j < 3; ++j) {
			const Float4 v = {float(e[4 * j]), float(e[4 * j + 1]), float(e[4 * j + 2]), float(e[4 * j + 3])};
			lo4[j] = minOf(lo4[j], v);
			hi4[j] = maxOf(hi4[j], v);
			const Float4 p = v * scale4 + bias4[j];
			squares[j] = p * p;
		}
		float sq[12];
		std::memcpy(sq, squares, sizeof(sq));
		for (int k = 0; k < 12; k += 3) {
			const float lengthSquared = sq[k] + sq[k + 1] + sq[k + 2];
			best = lengthSquared > best ? lengthSquared : best;
		}
	}
	float lo12[12], hi12[12];
	std::memcpy(lo12, lo4, sizeof(lo12));
	std::memcpy(hi12, hi4, sizeof(hi12));
	for (; i < count; ++i) {
		T e[3];
		std::memcpy(e, data + size_t(i) * 3 * sizeof(T), sizeof(e));
		for (int c = 0; c < 3; ++c) {
			const float v = float(e[c]);
			lo12[c] = v < lo12[c] ? v : lo12[c];
			hi12[c] = v > hi12[c] ? v : hi12[c];
		}
		const float px = float(e[0]) * t[0] + t[1], py = float(e[1]) * t[0] + t[2], pz = float(e[2]) * t[0] + t[3];
		const float lengthSquared = px * px + py * py + pz * pz;
		best = lengthSquared > best ? lengthSquared : best;
	}
	for (int c = 0; c < 3; ++c) {
		lo[c] = std::min(std::min(lo12[c], lo12[c + 3]), std::min(lo12[c + 6], lo12[c + 9]));
		hi[c] = std::max(std::max(hi12[c], hi12[c + 3]), std::max(hi12[c + 6], hi12[c + 9]));
	}
	maxLengthSquared = best;
}

// Bounds of positions of any format, each standing for p * scale + bias
// (transform = scale, bias x, y, z), and the largest distance from the origin.
void computeBounds(const uint8_t* data, int format, int count, const math::Vector4& transform, math::Vector3& boxMin,
				   math::Vector3& boxMax, float& radius) {
	const float t[4] = {transform.x, transform.y, transform.z, transform.w};
	if (count <= 0) {
		boxMin = boxMax = math::Vector3();
		radius = 0.f;
		return;
	}
	float lo[3], hi[3], maxLengthSquared = 0.f;
	if (format == gr::VertexFormat::V3_32) {
		scanElements<float>(data, count, t, lo, hi, maxLengthSquared);
	} else if (format == gr::VertexFormat::V3_16) {
		scanElements<int16_t>(data, count, t, lo, hi, maxLengthSquared);
	} else {
		const int size = gr::VertexFormat::getDataFormatSize(format);
		for (int c = 0; c < 3; ++c) {
			lo[c] = 3.4028235e38f;
			hi[c] = -3.4028235e38f;
		}
		for (int i = 0; i < count; ++i) {
			float e[4] = {0.f, 0.f, 0.f, 0.f};
			gr::VertexFormat::readElement(format, data + i * size, e);
			float lengthSquared = 0.f;
			for (int c = 0; c < 3; ++c) {
				lo[c] = std::min(lo[c], e[c]);
				hi[c] = std::max(hi[c], e[c]);
				const float v = e[c] * t[0] + t[1 + c];
				lengthSquared += v * v;
			}
			maxLengthSquared = std::max(maxLengthSquared, lengthSquared);
		}
	}
	// The raw extremes, scaled; a negative scale swaps them.
	float a[3], b[3];
	for (int c = 0; c < 3; ++c) {
		a[c] = lo[c] * t[0] + t[1 + c];
		b[c] = hi[c] * t[0] + t[1 + c];
		if (a[c] > b[c])
			std::swap(a[c], b[c]);
	}
	boxMin = math::Vector3(a[0], a[1], a[2]);
	boxMax = math::Vector3(b[0], b[1], b[2]);
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
			vertexBytes +=
				(m_version <= 189 ? 5 * 4 : 0) + int64_t(vertexCount) * gr::VertexFormat::getDataFormatSize(df);
	}
	if (vertexBytes > left())
		fail(lang::Format("Failed to load scene \"{0}\". Invalid vertex count ({1}).", streamName, vertexCount));
	if (vertexBytes + int64_t(indexCount) * 2 > left())
		fail(lang::Format("Failed to load scene \"{0}\". Invalid face index count ({1}).", streamName, indexCount));

	lang::Ptr<gr::Primitive> primitive =
		m_context->createPrimitive(gr::PrimitiveType(type), format, vertexCount, indexCount, 2);
	if (!primitive || primitive->getVertexFormat() != format)
		fail(lang::Format("Failed to load scene \"{0}\". Primitive vertex format ({1}) should be ({2})", streamName,
						  format.toString(), primitive ? primitive->getVertexFormat().toString() : lang::String("")));

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
			const int size = gr::VertexFormat::getDataFormatSize(df);
			const int bytes = vertexCount * size;
			// A primitive that keeps the block packed in the file's format
			// takes it in place; others get it converted from a copy.
			void* data = nullptr;
			int pitch = 0;
			primitive->getVertexDataPointer(t, &data, &pitch);
			const uint8_t* block;
			if (data && pitch == size) {
				in.readFully(data, bytes);
				block = static_cast<const uint8_t*>(data);
			} else {
				reserveScratch(bytes + 16);
				in.readFully(m_scratch.begin(), bytes);
				primitive->setVertexData(t, 0, m_scratch.begin(), df, vertexCount);
				block = m_scratch.begin();
			}
			if (t == gr::VertexFormat::DT_POSITION) {
				math::Vector3 boxMin, boxMax;
				float radius = 0.f;
				computeBounds(block, df, vertexCount, primitive->getPositionScale(), boxMin, boxMax, radius);
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
			// Stored little-endian, as the primitive keeps them. The largest
			// index is found first; only a bad one needs its position.
			const uint8_t* bytes = static_cast<const uint8_t*>(data);
			int largest = 0;
			for (int i = 0; i < indexCount; ++i) {
				const int index = bytes[2 * i] | bytes[2 * i + 1] << 8;
				largest = index > largest ? index : largest;
			}
			if (largest >= vertexCount) {
				int i = 0;
				while ((bytes[2 * i] | bytes[2 * i + 1] << 8) < vertexCount)
					++i;
				fail(
					lang::Format("Failed to load scene \"{0}\". Invalid face vertex index (face {1}).", streamName, i));
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
