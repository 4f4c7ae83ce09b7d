#include <gr/gles2/GLES2_Primitive.h>
#include <gr/gles2/GLES2_Context.h>
#include <gr/gles2/GLES2_Shader.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace gr {

namespace {

// One flag per data type: the missing-component message is printed once per process.
bool g_warnedMissing[VertexFormat::DT_SIZE] = {};

const float MISSING_VALUES[VertexFormat::DT_SIZE][4] = {
	{0, 0, 0, 1}, // DT_POSITION
	{0, 0, 0, 1}, // DT_POSITIONT
	{1, 0, 0, 0}, // DT_BONEWEIGHTS
	{0, 0, 0, 0}, // DT_BONEINDICES
	{0, 1, 0, 0}, // DT_NORMAL
	{1, 1, 1, 1}, // DT_DIFFUSE
	{0, 0, 0, 0}, // DT_SPECULAR
	{0, 0, 0, 0}, // DT_TEX0
	{0, 0, 0, 0}, // DT_TEX1
	{0, 0, 0, 0}, // DT_TEX2
	{0, 0, 0, 0}, // DT_TEX3
	{1, 0, 0, 0}, // DT_TANGENT
};

const int COMPONENT_COUNTS[VertexFormat::DT_SIZE] = {3, 4, 4, 4, 3, 4, 4, 2, 2, 2, 2, 3};

bool isColour(int dataType) {
	return dataType == VertexFormat::DT_DIFFUSE || dataType == VertexFormat::DT_SPECULAR;
}

// Scratch space shared by every upload (the renderer's thread only): the
// vertices as read, and one data type's components packed for GL.
struct UploadScratch {
	std::vector<math::Vector4> source;
	std::vector<float> packed;
};

// The scratch space, grown to hold vertexCount vertices. Primitives grow it
// when they are made, so that one first drawn during play (a particle effect
// that starts late) re-uploads every frame without allocating.
UploadScratch& uploadScratch(int vertexCount) {
	static UploadScratch scratch;
	const size_t n = size_t(std::max(vertexCount, 0));
	if (scratch.source.size() < n) {
		scratch.source.resize(n);
		scratch.packed.resize(n * 4);
	}
	return scratch;
}

} // namespace

GLES2_Primitive::GLES2_Primitive(GLES2_Context* context, PrimitiveType type, const VertexFormat& format,
								 int vertexCount, int indexCount)
	: m_context(context), m_type(type), m_vertexBuffers{}, m_componentCounts{}, m_indexBuffer(0), m_dirty(true),
	  m_lockDepth(0), m_lockModes(0), m_uploadedVertices(0), m_uploadedIndices(0), m_maxIndex(-1),
	  m_warnedIndices(false) {
	reset(format, vertexCount, indexCount);
	uploadScratch(vertexCount);
}

GLES2_Primitive::~GLES2_Primitive() {
	for (GLuint& buffer : m_vertexBuffers)
		if (buffer != 0)
			gl.DeleteBuffers(1, &buffer);
	if (m_indexBuffer != 0)
		gl.DeleteBuffers(1, &m_indexBuffer);
}

GLenum GLES2_Primitive::drawMode(int type) {
	switch (type) {
	case PRIMITIVE_POINT:
		return GL_POINTS;
	case PRIMITIVE_LINELIST:
		return GL_LINES;
	case PRIMITIVE_LINESTRIP:
		return GL_LINE_STRIP;
	case PRIMITIVE_TRIANGLELIST:
		return GL_TRIANGLES;
	case PRIMITIVE_TRIANGLESTRIP:
		return GL_TRIANGLE_STRIP;
	case PRIMITIVE_TRIANGLEFAN:
		return GL_TRIANGLE_FAN;
	case PRIMITIVE_POINTSPRITE:
		return GL_POINTS;
	default:
		return GL_TRIANGLES;
	}
}

const float* GLES2_Primitive::missingValue(int dataType) {
	return MISSING_VALUES[dataType];
}

int GLES2_Primitive::componentCount(int dataType) {
	return COMPONENT_COUNTS[dataType];
}

void GLES2_Primitive::lock(int mode) {
	++m_lockDepth;
	m_lockModes |= mode;
	DIPrimitive::lock(mode);
}

void GLES2_Primitive::unlock() {
	DIPrimitive::unlock();
	if (m_lockDepth > 0 && --m_lockDepth > 0)
		return;
	// Only a lock taken for writing can have changed the data.
	if (m_lockModes & LOCK_WRITE)
		m_dirty = true;
	m_lockModes = 0;
}

void GLES2_Primitive::setVertexData(int dataType, int first, const void* data, int dataFormat, int count) {
	DIPrimitive::setVertexData(dataType, first, data, dataFormat, count);
	m_dirty = true;
}

void GLES2_Primitive::setIndexData(int first, const void* data, int indexSize, int count) {
	DIPrimitive::setIndexData(first, data, indexSize, count);
	m_dirty = true;
}

void GLES2_Primitive::setIndices(int first, const int* data, int count) {
	DIPrimitive::setIndices(first, data, count);
	m_dirty = true;
}

void GLES2_Primitive::setShader(Shader* shader) {
	m_shader = shader;
}

void GLES2_Primitive::upload() {
	const int vertexCount = getVertexCount();
	if (vertexCount <= 0)
		return;

	DIPrimitive::lock(LOCK_READ);
	const VertexFormat& format = getVertexFormat();
	UploadScratch& scratch = uploadScratch(vertexCount);
	std::vector<math::Vector4>& source = scratch.source;
	std::vector<float>& packed = scratch.packed;
	for (int type = 0; type < VertexFormat::DT_SIZE; ++type) {
		const int dataFormat = format.getDataFormat(type);
		if (dataFormat == VertexFormat::NONE)
			continue;
		const int n = COMPONENT_COUNTS[type];
		const size_t floats = size_t(vertexCount) * size_t(n);

		if (isColour(type) && dataFormat == VertexFormat::V4_8) {
			// 0xAARRGGBB words: bytes blue, green, red, alpha.
			void* data = nullptr;
			int pitch = 0;
			getVertexDataPointer(type, &data, &pitch);
			const uint8_t* bytes = static_cast<const uint8_t*>(data);
			for (int v = 0; v < vertexCount; ++v, bytes += pitch) {
				float* out = packed.data() + size_t(v) * 4;
				out[0] = float(bytes[2]) / 255.f;
				out[1] = float(bytes[1]) / 255.f;
				out[2] = float(bytes[0]) / 255.f;
				out[3] = float(bytes[3]) / 255.f;
			}
		} else {
			getVertexData(type, 0, source.data(), vertexCount);
			float scale = 1.f, bias[3] = {0.f, 0.f, 0.f};
			if (type == VertexFormat::DT_POSITION) {
				const math::Vector4& s = getPositionScale();
				scale = s.x;
				bias[0] = s.y;
				bias[1] = s.z;
				bias[2] = s.w;
			} else if (type >= VertexFormat::DT_TEX0 && type <= VertexFormat::DT_TEX3) {
				const math::Vector4& s = getTexCoordScale();
				scale = s.x;
				bias[0] = s.y;
				bias[1] = s.z;
			}
			const bool scaled = type == VertexFormat::DT_POSITION ||
								(type >= VertexFormat::DT_TEX0 && type <= VertexFormat::DT_TEX3);
			for (int v = 0; v < vertexCount; ++v) {
				const float* in = &source[size_t(v)].x;
				float* out = packed.data() + size_t(v) * size_t(n);
				for (int c = 0; c < n; ++c)
					out[c] = scaled ? in[c] * scale + bias[c] : in[c];
			}
		}

		if (m_vertexBuffers[type] == 0)
			gl.GenBuffers(1, &m_vertexBuffers[type]);
		gl.BindBuffer(GL_ARRAY_BUFFER, m_vertexBuffers[type]);
		gl.BufferData(GL_ARRAY_BUFFER, GLsizeiptr(floats * sizeof(float)), packed.data(), GL_STATIC_DRAW);
		m_componentCounts[type] = n;
	}

	const int indexCount = getIndexCount();
	m_maxIndex = -1;
	if (indexCount > 0) {
		void* data = nullptr;
		int pitch = 0;
		getIndexDataPointer(&data, &pitch);
		const uint16_t* indices = static_cast<const uint16_t*>(data);
		m_maxIndex = *std::max_element(indices, indices + indexCount);
		if (m_indexBuffer == 0)
			gl.GenBuffers(1, &m_indexBuffer);
		gl.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_indexBuffer);
		gl.BufferData(GL_ELEMENT_ARRAY_BUFFER, GLsizeiptr(indexCount) * 2, indices, GL_STATIC_DRAW);
	}
	m_uploadedVertices = vertexCount;
	m_uploadedIndices = m_indexBuffer != 0 ? indexCount : 0;
	DIPrimitive::unlock();
	m_dirty = false;

	const GLenum error = gl.GetError();
	if (error != GL_NO_ERROR)
		fprintf(stderr, "[gles2] error GL 0x%04x en %s\n", unsigned(error), "GLES2_Primitive::upload");
}

void GLES2_Primitive::sortTriangles() {
	GLES2_Shader* shader = m_context->currentShader();
	if (!shader || getIndexCount() <= 2 || m_indexBuffer == 0 || m_type != PRIMITIVE_TRIANGLELIST)
		return;
	const int mode = shader->getFlags();
	if (mode != Shader::SORT_BACKTOFRONT && mode != Shader::SORT_FRONTTOBACK)
		return;

	const math::Vector4 eye = shader->getVector("CAMERAP");
	const math::Matrix4x4 world = shader->getMatrix("WORLDTM");
	DIPrimitive::lock(LOCK_READWRITE);
	if (mode == Shader::SORT_BACKTOFRONT)
		sortPolygonsBackToFront(eye.xyz(), world, nullptr, 0, m_sortScratch);
	else
		sortPolygonsFrontToBack(eye.xyz(), world, nullptr, 0, m_sortScratch);
	void* data = nullptr;
	int pitch = 0;
	getIndexDataPointer(&data, &pitch);
	gl.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_indexBuffer);
	gl.BufferSubData(GL_ELEMENT_ARRAY_BUFFER, 0, GLsizeiptr(m_uploadedIndices) * 2, data);
	DIPrimitive::unlock();
}

void GLES2_Primitive::render() {
	const GLES2_Effect::Pass* pass = m_context->currentPass();
	if (!pass)
		return;
	if (m_dirty)
		upload();
	sortTriangles();

	// Ranges are clipped to what the buffers hold: GL reads past a buffer's end otherwise.
	const int first = std::max(getVertexRangeBegin(), 0);
	const int end = std::min(getVertexRangeEnd(), m_uploadedVertices);
	if (first >= end)
		return;

	bool enabled[VertexFormat::DT_SIZE] = {};
	for (int type = 0; type < VertexFormat::DT_SIZE; ++type) {
		const GLint location = pass->attributes[type];
		if (location < 0)
			continue;
		int source = type;
		if (m_vertexBuffers[type] == 0 && type == VertexFormat::DT_TEX1 && m_vertexBuffers[VertexFormat::DT_TEX0] != 0)
			source = VertexFormat::DT_TEX0;
		if (m_vertexBuffers[source] != 0) {
			gl.BindBuffer(GL_ARRAY_BUFFER, m_vertexBuffers[source]);
			gl.EnableVertexAttribArray(GLuint(location));
			gl.VertexAttribPointer(GLuint(location), m_componentCounts[source], GL_FLOAT, GL_FALSE, 0, nullptr);
			enabled[type] = true;
		} else {
			gl.DisableVertexAttribArray(GLuint(location));
			gl.VertexAttrib4fv(GLuint(location), MISSING_VALUES[type]);
			if (!g_warnedMissing[type]) {
				g_warnedMissing[type] = true;
				fprintf(stderr, "[gles2] the shader uses %s but a primitive lacks it (format: %s)\n",
						VertexFormat::getDataTypeName(type), getVertexFormat().toString().c_str());
			}
		}
	}

	if (getIndexCount() > 0 && m_indexBuffer != 0) {
		const int a = std::max(getIndexRangeBegin(), 0);
		const int b = std::min(getIndexRangeEnd(), m_uploadedIndices);
		gl.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, m_indexBuffer);
		if (m_maxIndex >= m_uploadedVertices) {
			if (!m_warnedIndices) {
				m_warnedIndices = true;
				fprintf(stderr, "[gles2] a primitive's index %d lies past its %d vertices; not drawn\n", m_maxIndex,
						m_uploadedVertices);
			}
		} else if (a < b) {
			gl.DrawElements(drawMode(m_type), b - a, GL_UNSIGNED_SHORT,
							reinterpret_cast<const void*>(uintptr_t(a) * 2));
		}
	} else {
		gl.DrawArrays(drawMode(m_type), first, end - first);
	}

	for (int type = 0; type < VertexFormat::DT_SIZE; ++type)
		if (enabled[type])
			gl.DisableVertexAttribArray(GLuint(pass->attributes[type]));
}

} // gr
