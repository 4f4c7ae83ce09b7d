#ifndef HGR_LIGHTSORTER_H
#define HGR_LIGHTSORTER_H

#include <hgr/Light.h>
#include <lang/Array.h>
#include <lang/Ptr.h>

namespace hgr {

/**
 * Picks the nearest lights of a point from a list of candidate lights. The
 * candidates are counted references with the world position each had when
 * it was added.
 */
class LightSorter {
public:
	struct Entry {
		float distanceSquared = 0.f;
		lang::Ptr<Light> light;
		math::Vector3 position;
	};

	LightSorter();
	~LightSorter();

	/** Empties candidates and results (storage is kept). */
	void clear();

	/** Adds a candidate at its world position now; a node that is not a light is ignored. */
	void addLight(Node* light);

	/** Adds light (not null) as a candidate at position, a world position the caller has already worked out. */
	void addLight(Light* light, const math::Vector3& position);

	/** Replaces the candidates with every enabled light of root's subtree, root first. */
	void collectLights(Node* root);

	/** Fills the results with the maxCount nearest candidates of point, nearest first; returns this sorter. */
	LightSorter& sortByDistance(const math::Vector3& point, int maxCount);

	int getLightCount() const { return m_entries.size(); }
	Light* getLight(int index) const { return m_entries[index].light.ptr(); }

	int getResultCount() const { return m_results.size(); }
	Light* getResult(int index) const { return m_results[index]; }

private:
	lang::Array<Light*> m_results;
	lang::Array<Entry> m_entries;
	lang::Array<Entry*> m_order;

	LightSorter(const LightSorter&) = delete;
	LightSorter& operator=(const LightSorter&) = delete;
};

} // namespace hgr

#endif
