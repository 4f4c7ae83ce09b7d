#include <hgr/LightSorter.h>
#include <algorithm>

namespace hgr {

LightSorter::LightSorter() {}

LightSorter::~LightSorter() {}

void LightSorter::clear() {
	m_entries.clear();
	m_order.clear();
	m_results.clear();
}

void LightSorter::addLight(Node* light) {
	if (!light || light->getClassId() != Node::NODE_LIGHT)
		return;
	addLight(static_cast<Light*>(light), light->getWorldTransform().getTranslation());
}

void LightSorter::addLight(Light* light, const math::Vector3& position) {
	Entry e;
	e.light = light;
	e.position = position;
	m_entries.add(e);
}

void LightSorter::collectLights(Node* root) {
	m_entries.clear();
	for (Node* n = root; n; n = n->next(root)) {
		if (n->getClassId() == Node::NODE_LIGHT && n->isEnabled())
			addLight(n);
	}
}

LightSorter& LightSorter::sortByDistance(const math::Vector3& point, int maxCount) {
	const int count = m_entries.size();
	m_order.resize(count);
	for (int i = 0; i < count; ++i) {
		Entry& e = m_entries[i];
		const math::Vector3 d = e.position - point;
		e.distanceSquared = d.x * d.x + d.y * d.y + d.z * d.z;
		m_order[i] = &e;
	}
	std::sort(m_order.begin(), m_order.end(),
			  [](const Entry* a, const Entry* b) { return a->distanceSquared < b->distanceSquared; });
	const int n = std::min(count, std::max(maxCount, 0));
	m_results.resize(n);
	for (int i = 0; i < n; ++i)
		m_results[i] = m_order[i]->light.ptr();
	return *this;
}

} // namespace hgr
