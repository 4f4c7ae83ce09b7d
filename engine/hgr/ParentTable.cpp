#include <hgr/ParentTable.h>
#include <cstdint>

namespace hgr {

ParentTable::ParentTable() {}

ParentTable::~ParentTable() {}

void ParentTable::add(int parent) {
	m_parents.add(parent);
}

int ParentTable::findFirstBadNode() const {
	const int count = m_parents.size();
	auto isNode = [count](int n) { return n >= 0 && n < count; };
	int first = -1;
	for (int i = 0; i < count && first < 0; ++i)
		if (m_parents[i] >= count)
			first = i;

	// Linking in index order refuses a loop only when its last node links:
	// the others find their parent chain ending at a node not linked yet.
	// Each node is walked over once: a walk stops at a node seen before, and
	// has found a loop when that node is on the walk itself.
	enum : uint8_t { UNSEEN, ON_WALK, DONE };
	lang::Array<uint8_t> state;
	state.resize(count, UNSEEN);
	for (int start = 0; start < count; ++start) {
		int n = start;
		while (isNode(n) && state[n] == UNSEEN) {
			state[n] = ON_WALK;
			n = m_parents[n];
		}
		if (isNode(n) && state[n] == ON_WALK) {
			int last = n;
			for (int m = m_parents[n]; m != n; m = m_parents[m])
				if (m > last)
					last = m;
			if (first < 0 || last < first)
				first = last;
		}
		for (n = start; isNode(n) && state[n] == ON_WALK; n = m_parents[n])
			state[n] = DONE;
	}
	return first;
}

void ParentTable::walkDepthFirst() {
	const int count = m_parents.size();

	// The children of every node in one array, grouped by parent.
	lang::Array<int> childStart;
	childStart.resize(count + 1, 0);
	for (int i = 0; i < count; ++i)
		if (m_parents[i] >= 0)
			++childStart[m_parents[i] + 1];
	for (int i = 0; i < count; ++i)
		childStart[i + 1] += childStart[i];
	lang::Array<int> fill(childStart);
	lang::Array<int> children;
	children.resize(childStart[count]);
	for (int i = 0; i < count; ++i)
		if (m_parents[i] >= 0)
			children[fill[m_parents[i]]++] = i;

	// Depth-first from every root with a stack of our own (each node is
	// pushed once).
	m_walk.clear();
	m_walk.resize(count, 0);
	lang::Array<int> stack;
	stack.resize(count);
	int position = 0;
	for (int root = 0; root < count; ++root) {
		if (m_parents[root] >= 0)
			continue;
		int top = 0;
		stack[top++] = root;
		while (top > 0) {
			const int n = stack[--top];
			m_walk[position++] = n;
			for (int k = childStart[n]; k < childStart[n + 1]; ++k)
				stack[top++] = children[k];
		}
	}
}

} // namespace hgr
