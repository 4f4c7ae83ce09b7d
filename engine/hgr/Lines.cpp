#include <hgr/Camera.h>
#include <hgr/Lines.h>
#include <gr/Context.h>
#include <gr/ContextObject.h>
#include <gr/VertexFormat.h>
#include <algorithm>

namespace hgr {

Lines::Lines(gr::Context* context, const lang::String& shaderName) : m_maxLines(0), m_primitiveContext(nullptr) {
	setClassId(NODE_LINES);
	if (!context || context->getPlatform() == gr::Context::PLATFORM_SW) {
		setEnabled(false);
		return;
	}
	m_shader = context->createShader(shaderName, 0);
}

Lines::Lines(const Lines& other)
	: Visual(other), m_shader(other.m_shader), m_lines(other.m_lines), m_paths(other.m_paths),
	  m_maxLines(other.m_maxLines), m_primitiveContext(nullptr) {}

Lines::~Lines() {}

Visual* Lines::clone() const {
	return new Lines(*this);
}

void Lines::reserve(int lineCount, int pathCount) {
	m_lines.resize(std::max(lineCount, 0));
	m_lines.clear();
	m_paths.resize(std::max(pathCount, 0));
	m_paths.clear();
	m_maxLines = std::max(lineCount, 0);
}

Lines::Line& Lines::addLine(const math::Vector3& start, const math::Vector3& end, const math::Vector4& color) {
	return addLine(start, end, color, color);
}

Lines::Line& Lines::addLine(const math::Vector3& start, const math::Vector3& end, const math::Vector4& startColor,
							const math::Vector4& endColor) {
	Line line;
	line.start = start;
	line.end = end;
	line.startColor = startColor;
	line.endColor = endColor;
	m_lines.add(line);
	return m_lines[m_lines.size() - 1];
}

void Lines::addPath(int a, int b) {
	Path path;
	path.a = a;
	path.b = b;
	m_paths.add(path);
}

void Lines::clear() {
	m_lines.clear();
	m_paths.clear();
}

void Lines::addBox(const math::Matrix3x4& transform, const math::Vector3& boxMin, const math::Vector3& boxMax,
				   const math::Vector4& color) {
	math::Vector3 c[8];
	for (int i = 0; i < 8; ++i) {
		c[i] = transform.transform(
			math::Vector3(i & 1 ? boxMax.x : boxMin.x, i & 2 ? boxMax.y : boxMin.y, i & 4 ? boxMax.z : boxMin.z));
	}
	// Corner i has bit 0 for x, bit 1 for y, bit 2 for z: an edge joins corners differing in one bit.
	static const int EDGES[12][2] = {{0, 1}, {2, 3}, {4, 5}, {6, 7}, {0, 2}, {1, 3},
									 {4, 6}, {5, 7}, {0, 4}, {1, 5}, {2, 6}, {3, 7}};
	for (const auto& e : EDGES)
		addLine(c[e[0]], c[e[1]], color);
}

void Lines::getShaders(lang::Array<gr::Shader*>& out) {
	if (m_shader)
		out.add(m_shader.ptr());
}

void Lines::computeBoundBox() {
	math::Vector3 boxMin(1e10f, 1e10f, 1e10f);
	math::Vector3 boxMax(-1e10f, -1e10f, -1e10f);
	for (int i = 0; i < m_lines.size(); ++i) {
		const math::Vector3* points[2] = {&m_lines[i].start, &m_lines[i].end};
		for (const math::Vector3* p : points) {
			boxMin = math::Vector3(std::min(boxMin.x, p->x), std::min(boxMin.y, p->y), std::min(boxMin.z, p->z));
			boxMax = math::Vector3(std::max(boxMax.x, p->x), std::max(boxMax.y, p->y), std::max(boxMax.z, p->z));
		}
	}
	setBoundBox(boxMin, boxMax);
}

math::Vector4 Lines::toVertexColor(const math::Vector4& c) {
	return math::Vector4(c.z * 255.f, c.y * 255.f, c.x * 255.f, c.w * 255.f);
}

void Lines::render(gr::Context* context, Camera* camera, int priority) {
	const int count = m_lines.size();
	if (!m_shader || count == 0 || m_shader->getPriority() != priority)
		return;

	const math::Matrix3x4 W = camera->getFrameWorldTransform(this);
	const math::Matrix4x4 total = camera->getViewProjection().multiply3x4(W);
	const math::Matrix4x4 view(camera->getCameraViewTransform());
	const math::Matrix4x4 world(W);

	m_maxLines = std::max(m_maxLines, count);
	if (!m_primitive || m_primitiveContext != context || m_primitive->getVertexCount() < 2 * m_maxLines) {
		gr::VertexFormat format;
		format.addPosition(gr::VertexFormat::V3_32).addDiffuse(gr::VertexFormat::V4_8);
		m_primitive = context->createPrimitive(gr::PRIMITIVE_LINELIST, format, 2 * m_maxLines, 0);
		m_primitiveContext = context;
	}
	gr::Primitive* primitive = m_primitive.ptr();
	primitive->setVertexRangeBegin(0);
	primitive->setVertexRangeEnd(2 * count);
	primitive->setShader(m_shader.ptr());

	{
		gr::ContextObjectLock lock(primitive, gr::ContextObject::LOCK_WRITE);
		math::Vector4 v[2];
		for (int i = 0; i < count; ++i) {
			const Line& line = m_lines[i];
			v[0] = math::Vector4(line.start, 1.f);
			v[1] = math::Vector4(line.end, 1.f);
			primitive->setPositions(2 * i, v, 2);
			v[0] = toVertexColor(line.startColor);
			v[1] = toVertexColor(line.endColor);
			primitive->setDiffuse(2 * i, v, 2);
		}
	}

	gr::Shader* s = m_shader.ptr();
	const int passes = s->begin();
	if (passes > 0) {
		try {
			s->setMatrix(gr::Shader::PARAM_TOTALTM, total);
			s->setMatrix(gr::Shader::PARAM_WORLDTM, world);
			s->setMatrix(gr::Shader::PARAM_VIEWTM, view);
			renderPasses(s, primitive, passes);
		} catch (...) {
			s->end();
			throw;
		}
	}
	s->end();
}

} // namespace hgr
