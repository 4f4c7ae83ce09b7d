#include <hgr/Node.h>
#include <lang/Exception.h>
#include <lang/Format.h>

namespace hgr {

namespace {

// Nodes whose last reference was let go inside another node's destructor wait
// here and are deleted by the outermost destructor, so tearing down a tree of
// any depth uses a fixed amount of stack.
Node* s_pendingHead = nullptr;
bool s_draining = false;

// Set while the outermost copy constructor walks the source subtree: the copy
// constructors of the nodes it clones then copy the node alone.
bool s_shallowCopy = false;

class ShallowCopyScope {
public:
	ShallowCopyScope() : m_previous(s_shallowCopy) { s_shallowCopy = true; }
	~ShallowCopyScope() { s_shallowCopy = m_previous; }

private:
	bool m_previous;
};

} // namespace

Node::Node()
	: m_flags(NODE_ENABLED), m_transformIndex(NO_TRANSFORM_INDEX), m_parent(nullptr), m_prevSibling(nullptr),
	  m_userData(nullptr), m_id(0), m_pendingNext(nullptr) {}

Node::Node(const Node& other)
	: lang::Object(), m_transform(other.m_transform), m_flags(other.m_flags), m_transformIndex(other.m_transformIndex),
	  m_parent(nullptr), m_prevSibling(nullptr), m_userData(nullptr), m_name(other.m_name), m_id(0),
	  m_pendingNext(nullptr) {
	if (s_shallowCopy || !other.m_firstChild)
		return;

	// Invariant: dstParent is the copy of src's parent. Children are cloned
	// first to last and linked at the head, as a recursive copy would.
	ShallowCopyScope scope;
	const Node* src = other.m_firstChild.ptr();
	Node* dstParent = this;
	try {
		while (src) {
			Node* copy = src->clone();
			if (copy) {
				copy->attachTo(dstParent); // a fresh root: it cannot be an ancestor
				if (src->m_firstChild) {
					dstParent = copy;
					src = src->m_firstChild.ptr();
					continue;
				}
			}
			// The subtree of src is done (or could not be copied): next sibling, or climb.
			while (src != &other && !src->m_nextSibling) {
				src = src->m_parent;
				dstParent = dstParent->m_parent;
			}
			if (src == &other)
				break;
			src = src->m_nextSibling.ptr();
		}
	} catch (...) {
		// The destructor does not run for a copy that failed half-way.
		releaseChildren();
		throw;
	}
}

Node::~Node() {
	if (m_parent)
		detachFromParent();
	releaseChildren();
}

void Node::releaseChildren() {
	while (m_firstChild) {
		Node* child = m_firstChild.ptr();
		child->addReference();
		m_firstChild = child->m_nextSibling;
		child->m_nextSibling.reset();
		if (m_firstChild)
			m_firstChild->m_prevSibling = nullptr;
		child->m_parent = nullptr;
		child->m_prevSibling = nullptr;
		deferRelease(child);
	}

	if (!s_draining) {
		s_draining = true;
		while (s_pendingHead) {
			Node* n = s_pendingHead;
			s_pendingHead = n->m_pendingNext;
			n->m_pendingNext = nullptr;
			n->release();
		}
		s_draining = false;
	}
}

void Node::deferRelease(Node* node) {
	if (node->referenceCount() > 1) {
		node->release();
		return;
	}
	node->m_pendingNext = s_pendingHead;
	s_pendingHead = node;
}

void Node::detachFromParent() {
	// Called from the destructor of a node that is still linked (deleted
	// directly or left its scope): the parent's reference to it goes away
	// without deleting it a second time.
	addReference();
	if (m_parent->m_firstChild.ptr() == this)
		m_parent->m_firstChild = m_nextSibling;
	else
		m_prevSibling->m_nextSibling = m_nextSibling;
	if (m_nextSibling)
		m_nextSibling->m_prevSibling = m_prevSibling;
	m_nextSibling.reset();
	m_parent = nullptr;
	m_prevSibling = nullptr;
}

Node* Node::clone() const {
	return new Node(*this);
}

math::Matrix3x4 Node::getWorldTransform() const {
	math::Matrix3x4 world = m_transform;
	for (const Node* p = m_parent; p; p = p->m_parent)
		world = p->m_transform * world;
	return world;
}

void Node::lookAt(const math::Vector3& target, const math::Vector3& up) {
	math::Matrix3x4 parentWorld;
	if (m_parent)
		parentWorld = m_parent->getWorldTransform();
	const math::Vector3 position = (parentWorld * m_transform).getTranslation();
	math::Vector3 d = target - position;
	if (d.dot(d) < 1e-10f)
		return;
	d = d.normalize();
	const math::Matrix3x3 rotation = math::Matrix3x3::basisFromDirection(d, up);
	m_transform = parentWorld.inverse() * math::Matrix3x4(rotation, position);
}

void Node::lookAt(const Node& target, const math::Vector3& up) {
	lookAt(target.getWorldTransform().getTranslation(), up);
}

void Node::linkTo(Node* parent) {
	if (!parent)
		throw lang::Exception(lang::Format("Node \"{0}\" cannot be linked to a null parent.", m_name));
	for (const Node* p = parent; p; p = p->m_parent) {
		if (p == this)
			throw lang::Exception(lang::Format(
				"Node \"{0}\" cannot be linked below itself or its own descendant \"{1}\".", m_name, parent->m_name));
	}

	attachTo(parent);
}

void Node::attachTo(Node* parent) {
	lang::Ptr<Node> hold(this);
	unlink();
	m_nextSibling = parent->m_firstChild;
	if (m_nextSibling)
		m_nextSibling->m_prevSibling = this;
	m_parent = parent;
	parent->m_firstChild = this;
}

void Node::unlink() {
	if (!m_parent)
		return;
	lang::Ptr<Node> hold(this);
	if (m_parent->m_firstChild.ptr() == this) {
		m_parent->m_firstChild = m_nextSibling;
		if (m_nextSibling)
			m_nextSibling->m_prevSibling = nullptr;
	} else {
		m_prevSibling->m_nextSibling = m_nextSibling;
		if (m_nextSibling)
			m_nextSibling->m_prevSibling = m_prevSibling;
	}
	m_parent = nullptr;
	m_nextSibling.reset();
	m_prevSibling = nullptr;
}

Node* Node::root() {
	Node* n = this;
	while (n->m_parent)
		n = n->m_parent;
	return n;
}

const Node* Node::root() const {
	const Node* n = this;
	while (n->m_parent)
		n = n->m_parent;
	return n;
}

Node* Node::next(const Node* top) const {
	if (m_firstChild)
		return m_firstChild.ptr();
	if (this == top)
		return nullptr;
	if (m_nextSibling)
		return m_nextSibling.ptr();
	for (const Node* p = m_parent; p && p != top; p = p->m_parent) {
		if (p->m_nextSibling)
			return p->m_nextSibling.ptr();
	}
	return nullptr;
}

int Node::getChildCount() const {
	int count = 0;
	for (const Node* c = m_firstChild.ptr(); c; c = c->m_nextSibling.ptr())
		++count;
	return count;
}

void Node::setEnabled(bool enabled) {
	if (enabled)
		m_flags = uint16_t(m_flags | NODE_ENABLED);
	else
		m_flags = uint16_t(m_flags & ~NODE_ENABLED);
}

Node* Node::findInSubtree(const lang::String& name) const {
	for (const Node* n = this; n; n = n->next(this)) {
		if (n->m_name.compareTo(name) == 0)
			return const_cast<Node*>(n);
	}
	return nullptr;
}

Node* Node::findNode(const lang::String& name) const {
	return root()->findInSubtree(name);
}

Node* Node::getNodeByName(const lang::String& name) const {
	const Node* top = root();
	Node* n = top->findInSubtree(name);
	if (!n)
		throw lang::Exception(lang::Format("Node named \"{0}\" not found in scene \"{1}\".", name, top->m_name));
	return n;
}

Node* Node::getNodeInSubtree(const lang::String& name) const {
	Node* n = findInSubtree(name);
	if (!n)
		throw lang::Exception(lang::Format("Node named \"{0}\" not found in scene \"{1}\".", name, m_name));
	return n;
}

Node* Node::getNodeById(int id) const {
	const Node* top = root();
	for (const Node* n = top; n; n = n->next(top)) {
		if (n->m_id == id)
			return const_cast<Node*>(n);
	}
	throw lang::Exception(lang::Format("Node with id \"{0}\" not found in scene \"{1}\".", id, top->m_name));
}

} // namespace hgr
