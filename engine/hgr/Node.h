#ifndef HGR_NODE_H
#define HGR_NODE_H

#include <lang/Object.h>
#include <lang/Ptr.h>
#include <lang/String.h>
#include <math/Matrix3x3.h>
#include <math/Matrix3x4.h>
#include <math/Vector3.h>
#include <cstdint>

namespace hgr {

/**
 * Element of the scene graph: a named, counted object with a local transform,
 * a flags word carrying its class and state, and intrusive links to parent,
 * children and siblings. A parent owns its first child and every child owns
 * its next sibling, so a linked node lives as long as its tree.
 */
class Node : public lang::Object {
public:
	/** Class ids as flags values (bits 4-8 of the flags word). */
	enum ClassId {
		NODE_CLASS = 0x00,
		NODE_CAMERA = 0x10,
		NODE_DUMMY = 0x30,
		NODE_LIGHT = 0x40,
		NODE_SCENE = 0x50,
		NODE_LINES = 0x60,
		NODE_MESH = 0x70,
		NODE_VISUAL = 0x80,
		NODE_PARTICLESYSTEM = 0x90,
		NODE_CLASS_MASK = 0x1F0,
	};

	/** Flag bits. */
	enum Flags {
		NODE_ENABLED = 0x1,
		NODE_LIGHTTYPE_MASK = 0xC,
		NODE_WORLDBOUNDS = 0x200,
	};

	/** Value of the transform slot of a node no camera has placed. */
	enum { NO_TRANSFORM_INDEX = 0xFFFF };

	/** Identity transform, flags 1 (enabled), no links, null name. */
	Node();

	/**
	 * Copies transform, flags, transform slot and name, and clones the source's
	 * subtree (each child by its own clone, linked at the head, so the copy's
	 * children stand in reverse order). The subtree is walked without recursion.
	 */
	Node(const Node& other);

	/** Unlinks from a parent it may still have, then lets each child go. */
	~Node() override;

	/** A new node copying this one and its whole subtree. */
	virtual Node* clone() const;

	// Transform

	void setTransform(const math::Matrix3x4& transform) { m_transform = transform; }
	/** Replaces the translation column only. */
	void setPosition(const math::Vector3& position) { m_transform.setTranslation(position); }
	/** Replaces the 3x3 part only. */
	void setRotation(const math::Matrix3x3& rotation) { m_transform.setRotation(rotation); }
	const math::Matrix3x4& getTransform() const { return m_transform; }
	math::Vector3 getPosition() const { return m_transform.getTranslation(); }

	/** root x ... x parent x local, computed now up the parent chain. */
	math::Matrix3x4 getWorldTransform() const;

	/**
	 * Turns the node toward a world point, keeping its world position; nothing
	 * when the point is closer than 1e-5.
	 */
	void lookAt(const math::Vector3& target, const math::Vector3& up = math::Vector3(0.f, 1.f, 0.f));
	/** The same toward another node's world position. */
	void lookAt(const Node& target, const math::Vector3& up = math::Vector3(0.f, 1.f, 0.f));

	// Tree

	/**
	 * Unlinks the node and inserts it at the head of parent's child list.
	 * Throws lang::Exception (leaving every link unchanged) when parent is null,
	 * the node itself or one of its descendants.
	 */
	void linkTo(Node* parent);

	/** Removes the node from its parent's list; nothing for a root. The node dies here unless held elsewhere. */
	void unlink();

	Node* root();
	const Node* root() const;

	/** Depth-first successor within top's subtree (parents before children); null when the walk is over. */
	Node* next(const Node* top) const;

	Node* getParent() const { return m_parent; }
	Node* getFirstChild() const { return m_firstChild.ptr(); }
	Node* getNextSibling() const { return m_nextSibling.ptr(); }
	Node* getPreviousSibling() const { return m_prevSibling; }
	/** Children counted along the sibling list. */
	int getChildCount() const;

	// Flags, class and identity

	/** flags = (flags AND 0xFE0F) + flagsValue. */
	void setClassId(int flagsValue) { m_flags = uint16_t((m_flags & 0xFE0F) + flagsValue); }
	/** The class as its flags value (flags AND 0x1F0). */
	int getClassId() const { return m_flags & NODE_CLASS_MASK; }
	void setEnabled(bool enabled);
	bool isEnabled() const { return (m_flags & NODE_ENABLED) != 0; }
	int getFlags() const { return m_flags; }
	void setFlags(int flags) { m_flags = uint16_t(flags); }

	void setName(const lang::String& name) { m_name = name; }
	const lang::String& getName() const { return m_name; }
	void setId(int id) { m_id = id; }
	int getId() const { return m_id; }
	void setUserData(void* data) { m_userData = data; }
	void* getUserData() const { return m_userData; }

	/** Slot in the rendering camera's table of world transforms; NO_TRANSFORM_INDEX when none. */
	int getTransformIndex() const { return m_transformIndex; }
	void setTransformIndex(int index) { m_transformIndex = uint16_t(index); }

	// Lookups (exact, case-sensitive names; first match in depth-first order)

	/** This node and its subtree; null when absent. */
	Node* findInSubtree(const lang::String& name) const;
	/** The whole tree from root(); null when absent. */
	Node* findNode(const lang::String& name) const;
	/** The whole tree from root(); throws lang::Exception naming the root when absent. */
	Node* getNodeByName(const lang::String& name) const;
	/** This node and its subtree; throws lang::Exception naming this node when absent. */
	Node* getNodeInSubtree(const lang::String& name) const;
	/** First node of the whole tree with that id; throws lang::Exception naming the root when absent. */
	Node* getNodeById(int id) const;

private:
	math::Matrix3x4 m_transform;
	uint16_t m_flags;
	uint16_t m_transformIndex;
	Node* m_parent;
	lang::Ptr<Node> m_firstChild;
	lang::Ptr<Node> m_nextSibling;
	Node* m_prevSibling;
	void* m_userData;
	lang::String m_name;
	int m_id;
	Node* m_pendingNext; // link in the queue of nodes waiting to be deleted

	// The scene reader checks its whole node table for loops at once and
	// then links without the walk up the tree that linkTo makes per node.
	friend class SceneReader;

	/** linkTo without its checks: parent must not be null, this node or below it. */
	void attachTo(Node* parent);
	void detachFromParent();
	void releaseChildren();
	static void deferRelease(Node* node);

	Node& operator=(const Node&) = delete;
};

} // namespace hgr

#endif
