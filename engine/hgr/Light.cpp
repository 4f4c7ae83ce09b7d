#include <hgr/Light.h>
#include <cmath>

namespace hgr {

namespace {

inline float smoothStep(float t) {
	return t * t * (3.f - 2.f * t);
}

} // namespace

Light::Light()
	: m_color(1.f, 1.f, 1.f), m_nearRange(UNLIMITED_RANGE), m_farRange(UNLIMITED_RANGE), m_innerCone(0.f),
	  m_outerCone(3.1384511f), m_cosInner(1.f), m_cosOuter(0.0015707764f) {
	setClassId(NODE_LIGHT);
	setType(2);
}

Light::Light(const Light& other)
	: Node(other), m_color(other.m_color), m_nearRange(other.m_nearRange), m_farRange(other.m_farRange),
	  m_innerCone(other.m_innerCone), m_outerCone(other.m_outerCone), m_cosInner(other.m_cosInner),
	  m_cosOuter(other.m_cosOuter) {}

Node* Light::clone() const {
	return new Light(*this);
}

void Light::setNearRange(float range) {
	m_nearRange = range > UNLIMITED_RANGE ? UNLIMITED_RANGE : range;
}

void Light::setFarRange(float range) {
	m_farRange = range > UNLIMITED_RANGE ? UNLIMITED_RANGE : range;
}

void Light::setInnerCone(float angle) {
	m_innerCone = angle;
	m_cosInner = std::cos(angle);
}

void Light::setOuterCone(float angle) {
	m_outerCone = angle;
	m_cosOuter = std::cos(angle);
}

void Light::setType(int type) {
	setFlags((getFlags() & ~NODE_LIGHTTYPE_MASK) | ((type & 3) << 2));
}

float Light::getDistanceFalloff(float d) const {
	if (m_farRange < UNLIMITED_RANGE) {
		if (d >= m_farRange)
			return 0.f;
		if (d > m_nearRange)
			return smoothStep((m_farRange - d) / (m_farRange - m_nearRange));
	}
	return 1.f;
}

float Light::getConeFalloff(float c) const {
	if (getType() != TYPE_SPOT)
		return 1.f;
	if (c < m_cosOuter)
		return 0.f;
	if (c >= m_cosInner)
		return 1.f;
	return smoothStep((c - m_cosOuter) / (m_cosInner - m_cosOuter));
}

void Light::illuminate(const math::Vector3& point, const math::Vector3& normal, math::Vector3& color) const {
	color = math::Vector3();
	if (!isEnabled())
		return;
	const math::Vector3 L = getWorldTransform().getTranslation() - point;
	const float d = L.length();
	if (d >= m_farRange || d < 1e-9f)
		return;
	float k = (L * (1.f / d)).dot(normal);
	if (k <= 0.f)
		return;
	if (m_farRange < UNLIMITED_RANGE && d > m_nearRange)
		k *= getDistanceFalloff(d);
	color = m_color * k;
}

} // namespace hgr
