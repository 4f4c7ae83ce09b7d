#include <hgr/Visual.h>

#include <gr/Primitive.h>
#include <gr/Shader.h>

namespace hgr {

Visual::Visual()
	: m_cullPlane(0), m_boundMin(-1e10f, -1e10f, -1e10f), m_boundMax(1e10f, 1e10f, 1e10f),
	  m_boundRadius(UNBOUNDED_RADIUS) {
	setClassId(NODE_VISUAL);
}

Visual::Visual(const Visual& other)
	: Node(other), m_cullPlane(other.m_cullPlane), m_boundMin(other.m_boundMin), m_boundMax(other.m_boundMax),
	  m_boundRadius(other.m_boundRadius) {}

Visual* Visual::clone() const {
	return nullptr;
}

void Visual::setBoundBox(const math::Vector3& boxMin, const math::Vector3& boxMax) {
	m_boundMin = boxMin;
	m_boundMax = boxMax;
	setFlags(getFlags() & ~NODE_WORLDBOUNDS);
}

void Visual::setWorldBoundBox(const math::Vector3& boxMin, const math::Vector3& boxMax) {
	m_boundMin = boxMin;
	m_boundMax = boxMax;
	setFlags(getFlags() | NODE_WORLDBOUNDS);
}

void Visual::resetBoundBox() {
	m_boundMin = math::Vector3(-1e10f, -1e10f, -1e10f);
	m_boundMax = math::Vector3(1e10f, 1e10f, 1e10f);
}

void Visual::renderPasses(gr::Shader* shader, gr::Primitive* primitive, int passes) {
	for (int j = 0; j < passes; ++j) {
		shader->beginPass(j);
		try {
			primitive->render();
		} catch (...) {
			shader->endPass();
			throw;
		}
		shader->endPass();
	}
}

} // namespace hgr
