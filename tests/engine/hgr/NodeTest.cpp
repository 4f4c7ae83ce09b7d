#include <hgr/Dummy.h>
#include <hgr/Node.h>
#include <lang/Exception.h>
#include <math/Matrix3x3.h>

#include <gtest/gtest.h>

#include <functional>

#include <string>
#include <vector>

using hgr::Node;
using lang::Ptr;

namespace {

// A node that reports its destruction.
class CountedNode : public Node {
public:
	explicit CountedNode(int* destroyed) : m_destroyed(destroyed) {}
	~CountedNode() override { ++*m_destroyed; }

private:
	int* m_destroyed;
};

Node* named(const char* name, Node* parent = nullptr) {
	Node* n = new Node;
	n->setName(name);
	if (parent)
		n->linkTo(parent);
	return n;
}

std::vector<std::string> childNames(const Node* n) {
	std::vector<std::string> out;
	for (const Node* c = n->getFirstChild(); c; c = c->getNextSibling())
		out.push_back(c->getName().c_str());
	return out;
}

std::vector<std::string> walk(Node* top) {
	std::vector<std::string> out;
	for (Node* n = top; n; n = n->next(top))
		out.push_back(n->getName().c_str());
	return out;
}

void expectMatrixNear(const math::Matrix3x4& a, const math::Matrix3x4& b, float eps = 1e-5f) {
	for (int i = 0; i < 3; ++i)
		for (int j = 0; j < 4; ++j)
			EXPECT_NEAR(a.m[i][j], b.m[i][j], eps) << "element " << i << "," << j;
}

TEST(NodeTest, NewNodeDefaults) {
	Ptr<Node> n = new Node;
	EXPECT_EQ(n->getFlags(), 1);
	EXPECT_TRUE(n->isEnabled());
	EXPECT_EQ(n->getTransformIndex(), 0xFFFF);
	EXPECT_EQ(n->getParent(), nullptr);
	EXPECT_EQ(n->getFirstChild(), nullptr);
	EXPECT_EQ(n->getUserData(), nullptr);
	EXPECT_EQ(n->getId(), 0);
	EXPECT_EQ(n->getName().length(), 0);
	expectMatrixNear(n->getTransform(), math::Matrix3x4());
}

TEST(NodeTest, LinkedChildrenReadNewestFirst) {
	Ptr<Node> root = named("root");
	named("P", root);
	named("Q", root);
	named("R", root);
	EXPECT_EQ(childNames(root), (std::vector<std::string>{"R", "Q", "P"}));
	EXPECT_EQ(root->getChildCount(), 3);

	// Relinking to the same parent moves the node to the head.
	root->findInSubtree("P")->linkTo(root);
	EXPECT_EQ(childNames(root), (std::vector<std::string>{"P", "R", "Q"}));
	EXPECT_EQ(root->getFirstChild()->getPreviousSibling(), nullptr);
}

TEST(NodeTest, NextWalksDepthFirstWithinTop) {
	Ptr<Node> root = named("root");
	Node* a = named("a", root);
	named("b", root); // head: b, a
	named("a1", a);
	Node* a2 = named("a2", a); // a's children: a2, a1
	named("a2x", a2);
	EXPECT_EQ(walk(root), (std::vector<std::string>{"root", "b", "a", "a2", "a2x", "a1"}));
	// A walk bounded by a subtree never leaves it.
	EXPECT_EQ(walk(a), (std::vector<std::string>{"a", "a2", "a2x", "a1"}));
	Ptr<Node> lone = named("lone");
	EXPECT_EQ(lone->next(lone), nullptr);
}

TEST(NodeTest, UnlinkMiddleFirstAndLast) {
	Ptr<Node> root = named("root");
	named("a", root);
	named("b", root);
	named("c", root); // c b a
	struct Case {
		const char* name;
		std::vector<std::string> left;
	};
	for (const Case& c : {Case{"b", {"c", "a"}}, Case{"c", {"a"}}, Case{"a", {}}}) {
		Ptr<Node> n = root->findInSubtree(c.name);
		n->unlink();
		EXPECT_EQ(n->getParent(), nullptr);
		EXPECT_EQ(n->getNextSibling(), nullptr);
		EXPECT_EQ(childNames(root), c.left) << c.name;
	}
	Ptr<Node> orphan = named("orphan");
	orphan->unlink(); // a root: nothing happens
	EXPECT_EQ(orphan->referenceCount(), 1);
}

TEST(NodeTest, UnlinkingUnheldNodeDestroysItsSubtree) {
	int destroyed = 0;
	Ptr<Node> root = new Node;
	Node* child = new CountedNode(&destroyed);
	child->linkTo(root);
	(new CountedNode(&destroyed))->linkTo(child);
	(new CountedNode(&destroyed))->linkTo(child);
	child->unlink();
	EXPECT_EQ(destroyed, 3);
	EXPECT_EQ(root->getFirstChild(), nullptr);
}

TEST(NodeTest, HeldChildSurvivesItsParent) {
	Ptr<Node> child;
	{
		Ptr<Node> root = named("root");
		child = named("child", root);
	}
	EXPECT_EQ(child->getParent(), nullptr);
	EXPECT_EQ(child->referenceCount(), 1);
}

TEST(NodeTest, WorldTransformMultipliesParentsFromTheLeft) {
	Ptr<Node> root = new Node;
	Node* mid = named("mid", root);
	Node* leaf = named("leaf", mid);
	root->setPosition(math::Vector3(10, 0, 0));
	mid->setRotation(math::Matrix3x3::rotation(math::Vector3(0, 1, 0), 1.5707964f));
	leaf->setPosition(math::Vector3(0, 0, 2));
	const math::Matrix3x4 w = leaf->getWorldTransform();
	expectMatrixNear(w, root->getTransform() * mid->getTransform() * leaf->getTransform());
	// (0, 0, 2) turned a quarter about y is (2, 0, 0), then moved by 10.
	EXPECT_NEAR(w.getTranslation().x, 12.f, 1e-5f);
	EXPECT_NEAR(w.getTranslation().z, 0.f, 1e-5f);
}

TEST(NodeTest, LookAtFacesTargetAndKeepsWorldPosition) {
	Ptr<Node> root = new Node;
	root->setPosition(math::Vector3(0, 5, 0));
	root->setRotation(math::Matrix3x3::rotation(math::Vector3(0, 0, 1), 0.7f));
	Node* n = named("n", root);
	n->setPosition(math::Vector3(1, 2, 3));
	const math::Vector3 before = n->getWorldTransform().getTranslation();
	const math::Vector3 target(20, -4, 7);
	n->lookAt(target);
	const math::Matrix3x4 w = n->getWorldTransform();
	const math::Vector3 dir = (target - before).normalize();
	const math::Vector3 z = w.getColumn(2);
	EXPECT_NEAR(z.x, dir.x, 1e-4f);
	EXPECT_NEAR(z.y, dir.y, 1e-4f);
	EXPECT_NEAR(z.z, dir.z, 1e-4f);
	EXPECT_NEAR(w.getTranslation().x, before.x, 1e-4f);
	EXPECT_NEAR(w.getTranslation().y, before.y, 1e-4f);
	EXPECT_NEAR(w.getTranslation().z, before.z, 1e-4f);

	// Toward its own position (or closer than 1e-5): unchanged.
	const math::Matrix3x4 t = n->getTransform();
	n->lookAt(w.getTranslation() + math::Vector3(5e-6f, 0, 0));
	expectMatrixNear(n->getTransform(), t, 0.f);

	// Toward a node.
	Ptr<Node> other = new Node;
	other->setPosition(math::Vector3(0, 0, -10));
	Ptr<Node> eye = new Node;
	eye->lookAt(*other);
	EXPECT_NEAR(eye->getTransform().getColumn(2).z, -1.f, 1e-5f);
}

TEST(NodeTest, LookupsByNameAndId) {
	Ptr<Node> root = named("level");
	Node* a = named("a", root);
	Node* dup1 = named("dup", a);
	Node* b = named("b", root); // walk: level, b, a, dup
	Node* dup2 = named("dup", b);
	dup1->setId(7);
	b->setId(7);

	EXPECT_EQ(root->findInSubtree("dup"), dup2); // first in depth-first order
	EXPECT_EQ(a->findInSubtree("dup"), dup1);
	EXPECT_EQ(a->findInSubtree("b"), nullptr);
	EXPECT_EQ(dup1->findNode("b"), b);
	EXPECT_EQ(dup1->findNode("level"), root.ptr());
	EXPECT_EQ(dup1->findNode("DUP"), nullptr);			 // case-sensitive
	EXPECT_EQ(dup1->getNodeByName("level"), root.ptr()); // from the root, root included
	EXPECT_EQ(dup1->getNodeById(7), b);
	EXPECT_EQ(a->getNodeInSubtree("dup"), dup1);

	struct Case {
		std::function<void()> call;
		const char* message;
	};
	const Case cases[] = {
		{[&] { a->getNodeByName("zz"); }, "Node named \"zz\" not found in scene \"level\"."},
		{[&] { a->getNodeInSubtree("b"); }, "Node named \"b\" not found in scene \"a\"."},
		{[&] { a->getNodeById(42); }, "Node with id \"42\" not found in scene \"level\"."},
	};
	for (const Case& c : cases) {
		try {
			c.call();
			ADD_FAILURE() << "no exception for " << c.message;
		} catch (const lang::Exception& e) {
			EXPECT_STREQ(lang::String(e.getMessage()).c_str(), c.message);
		}
	}
}

TEST(NodeTest, CopyClonesSubtreeInReverseOrderAtEveryLevel) {
	Ptr<Node> root = named("root");
	root->setUserData(&root);
	root->setId(5);
	root->setPosition(math::Vector3(1, 2, 3));
	Node* a = named("a", root);
	named("b", root); // b a
	named("a1", a);
	named("a2", a); // a2 a1
	Ptr<Node> copy = root->clone();
	EXPECT_EQ(childNames(copy), (std::vector<std::string>{"a", "b"}));
	EXPECT_EQ(childNames(copy->findInSubtree("a")), (std::vector<std::string>{"a1", "a2"}));
	EXPECT_EQ(copy->getName().compareTo("root"), 0);
	EXPECT_EQ(copy->getUserData(), nullptr);
	EXPECT_EQ(copy->getId(), 0);
	EXPECT_EQ(copy->getParent(), nullptr);
	EXPECT_EQ(copy->getTransform().getTranslation().z, 3.f);
	EXPECT_NE(copy->findInSubtree("a2"), root->findInSubtree("a2"));
	EXPECT_EQ(copy->findInSubtree("a2")->getParent()->getParent(), copy.ptr());

	// Copying a linked node copies it as a root.
	Ptr<Node> sub = a->clone();
	EXPECT_EQ(sub->getParent(), nullptr);
	EXPECT_EQ(walk(sub), (std::vector<std::string>{"a", "a1", "a2"}));
}

TEST(NodeTest, ClassIdAndEnabledBits) {
	Ptr<Node> n = new Node;
	n->setFlags(0x1234 | 1);
	n->setClassId(Node::NODE_MESH);
	EXPECT_EQ(n->getFlags(), (0x1234 & 0xFE0F) + 0x70 + 1);
	EXPECT_EQ(n->getClassId(), Node::NODE_MESH);
	n->setEnabled(false);
	EXPECT_FALSE(n->isEnabled());
	EXPECT_EQ(n->getClassId(), Node::NODE_MESH);
	n->setEnabled(true);
	EXPECT_EQ(n->getFlags() & 1, 1);
}

TEST(NodeTest, DummyKeepsCornersAndGivesMinMax) {
	Ptr<hgr::Dummy> d = new hgr::Dummy;
	EXPECT_EQ(d->getClassId(), Node::NODE_DUMMY);
	EXPECT_EQ(d->getBoxMax().x, 0.f);
	d->setBox(math::Vector3(3, -1, 5), math::Vector3(-2, 4, 5));
	EXPECT_EQ(d->getBoxCorner0().x, 3.f);
	EXPECT_EQ(d->getBoxCorner1().x, -2.f);
	EXPECT_EQ(d->getBoxMin().x, -2.f);
	EXPECT_EQ(d->getBoxMin().y, -1.f);
	EXPECT_EQ(d->getBoxMax().x, 3.f);
	EXPECT_EQ(d->getBoxMax().y, 4.f);
	named("child", d);
	Ptr<Node> c = d->clone();
	ASSERT_EQ(c->getClassId(), Node::NODE_DUMMY);
	EXPECT_EQ(static_cast<hgr::Dummy*>(c.ptr())->getBoxCorner0().x, 3.f);
	EXPECT_NE(c->findInSubtree("child"), nullptr);
}

// Faults of the plain tree operations.

TEST(NodeFaultTest, LinkingBelowItselfOrADescendantIsRefused) {
	Ptr<Node> root = named("root");
	Node* a = named("a", root);
	Node* a1 = named("a1", a);
	EXPECT_THROW(a->linkTo(a1), lang::Exception);
	EXPECT_THROW(a->linkTo(a), lang::Exception);
	EXPECT_THROW(root->linkTo(a1), lang::Exception);
	EXPECT_THROW(a->linkTo(nullptr), lang::Exception);
	// Nothing moved, and walks up still end.
	EXPECT_EQ(a->getParent(), root.ptr());
	EXPECT_EQ(a1->getParent(), a);
	EXPECT_EQ(a1->root(), root.ptr());
	EXPECT_EQ(walk(root), (std::vector<std::string>{"root", "a", "a1"}));
	// A sibling subtree is a valid parent.
	Node* b = named("b", root);
	a->linkTo(b);
	EXPECT_EQ(a1->root(), root.ptr());
	EXPECT_EQ(walk(root), (std::vector<std::string>{"root", "b", "a", "a1"}));
}

TEST(NodeFaultTest, NodeDestroyedWhileLinkedIsNotDeletedTwice) {
	Ptr<Node> root = named("root");
	named("x", root);
	{
		Node onStack;
		onStack.setName("stack");
		onStack.linkTo(root); // the tree counts it
		named("under", &onStack);
		EXPECT_EQ(onStack.getParent(), root.ptr());
	} // destroyed here while still linked
	EXPECT_EQ(childNames(root), (std::vector<std::string>{"x"}));

	Node* heap = named("heap", root);
	Node* after = named("after", root); // after heap x
	(void)after;
	delete heap; // directly, while linked
	EXPECT_EQ(childNames(root), (std::vector<std::string>{"after", "x"}));
	EXPECT_EQ(root->findInSubtree("x")->getPreviousSibling(), root->findInSubtree("after"));
}

// Deep enough that one stack frame per level would overflow the stack.
constexpr int DEEP = 300000;

// Built from the leaf up, so that each link checks a short chain of ancestors.
// Returns the leaf.
Node* buildChain(Node* top, int depth, int* destroyed = nullptr) {
	Ptr<Node> leaf = destroyed ? new CountedNode(destroyed) : new Node;
	Ptr<Node> head = leaf;
	for (int i = 1; i < depth; ++i) {
		Ptr<Node> p = destroyed ? new CountedNode(destroyed) : new Node;
		head->linkTo(p);
		head = p;
	}
	head->linkTo(top);
	return leaf;
}

TEST(NodeFaultTest, VeryDeepTreeIsDestroyedWithoutRecursion) {
	int destroyed = 0;
	Ptr<Node> root = new Node;
	buildChain(root, DEEP, &destroyed);
	// A long sibling list too.
	for (int i = 0; i < DEEP; ++i)
		(new CountedNode(&destroyed))->linkTo(root);
	root = nullptr;
	EXPECT_EQ(destroyed, 2 * DEEP);
}

TEST(NodeFaultTest, VeryDeepTreeIsClonedWithoutRecursion) {
	Ptr<Node> root = named("root");
	Node* leaf = buildChain(root, DEEP);
	leaf->setName("leaf");
	named("side", root->getFirstChild());
	Ptr<Node> copy = root->clone();
	int depth = 0;
	const Node* n = copy->findInSubtree("leaf");
	ASSERT_NE(n, nullptr);
	for (; n->getParent(); n = n->getParent())
		++depth;
	EXPECT_EQ(depth, DEEP);
	EXPECT_EQ(n, copy.ptr());
	EXPECT_NE(copy->getFirstChild()->findInSubtree("side"), nullptr);
}

} // namespace
