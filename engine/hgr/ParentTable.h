#ifndef HGR_PARENTTABLE_H
#define HGR_PARENTTABLE_H

#include <lang/Array.h>

namespace hgr {

/**
 * The parent index of each node of a scene file, checked and numbered in
 * time linear in the node count, so that no question about the hierarchy
 * needs a walk up a chain that may be as long as the file.
 */
class ParentTable {
public:
	ParentTable();
	~ParentTable();

	/** Appends a node with its parent index (negative: a root); its index is size() before the call. */
	void add(int parent);
	int size() const { return m_parents.size(); }
	int getParent(int node) const { return m_parents[node]; }

	/**
	 * The node at which linking every node to its parent one by one in index
	 * order would first stop: one whose parent index is size() or more, or
	 * the last node (by index) of a loop of parents. -1 when there is none.
	 */
	int findFirstBadNode() const;

	/** Orders the nodes for getNodeInWalk(); findFirstBadNode() must have found nothing. */
	void walkDepthFirst();

	/**
	 * The node at a position (0 .. size() - 1) of a depth-first walk of the
	 * forest: every parent comes before its children. Valid after walkDepthFirst().
	 */
	int getNodeInWalk(int position) const { return m_walk[position]; }

private:
	lang::Array<int> m_parents;
	lang::Array<int> m_walk; // the node at each position of a depth-first walk of the forest

	ParentTable(const ParentTable&) = delete;
	ParentTable& operator=(const ParentTable&) = delete;
};

} // namespace hgr

#endif
