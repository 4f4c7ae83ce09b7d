#include <hgr/Dummy.h>
#include <algorithm>

namespace hgr {

Dummy::Dummy() {
	setClassId(NODE_DUMMY);
}

Dummy::Dummy(const Dummy& other) : Node(other), m_corner0(other.m_corner0), m_corner1(other.m_corner1) {}

Node* Dummy::clone() const {
	return new Dummy(*this);
}

void Dummy::setBox(const math::Vector3& a, const math::Vector3& b) {
	m_corner0 = a;
	m_corner1 = b;
}

math::Vector3 Dummy::getBoxMin() const {
	return math::Vector3(std::min(m_corner0.x, m_corner1.x), std::min(m_corner0.y, m_corner1.y),
						 std::min(m_corner0.z, m_corner1.z));
}

math::Vector3 Dummy::getBoxMax() const {
	return math::Vector3(std::max(m_corner0.x, m_corner1.x), std::max(m_corner0.y, m_corner1.y),
						 std::max(m_corner0.z, m_corner1.z));
}

} // namespace hgr
