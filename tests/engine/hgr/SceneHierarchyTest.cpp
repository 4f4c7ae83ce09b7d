// Linking the file's node table into a tree: which node a bad table is
// reported at, the order children end up in, and tables deep enough that a
// walk to the root per node would not finish in reasonable time.
#include "SceneFixtures.h"

#include <hgr/Light.h>
#include <hgr/Mesh.h>

#include <string>
#include <vector>

using namespace scenetest;
using test::SceneWriter;

namespace {

const int DEEP = 100000;
const int SKIN_DEPTH = 20000;

std::string nodeName(int i) {
	return "n" + std::to_string(i);
}

// Plain nodes n0, n1, ... with the parent indices given.
SceneWriter plainNodes(const std::vector<int>& parents) {
	SceneWriter w;
	for (size_t i = 0; i < parents.size(); ++i)
		w.node(nodeName(int(i))).parentIndex(parents[i]);
	return w;
}

// Steps from node up to the root of its tree.
int depthOf(const hgr::Node* node) {
	int depth = 0;
	for (const hgr::Node* p = node->getParent(); p; p = p->getParent())
		++depth;
	return depth;
}

TEST_F(SceneFixture, ABadParentTableIsReportedAtTheNodeLinkingWouldStopAt) {
	// Nodes link in file order; a loop shows when its last node in file
	// order links, an index out of range when its own node does.
	struct Case {
		std::vector<int> parents;
		std::string message;
	};
	const Case cases[] = {
		{{-1, 3, 1, 2}, "Invalid node parent index (2) in \"n3\"."},
		{{1, 0, 3, 2}, "Invalid node parent index (0) in \"n1\"."},
		{{3, 2, 1, 0}, "Invalid node parent index (1) in \"n2\"."},
		{{2, 2, 1}, "Invalid node parent index (1) in \"n2\"."},
		{{3, 0, 1, 4, 2}, "Invalid node parent index (2) in \"n4\"."},
		{{-1, 9, 3, 2}, "Invalid node parent index (9) in \"n1\"."},
		{{-1, 2, 1, 9}, "Invalid node parent index (1) in \"n2\"."},
		{{5, 5, 5, 5, -3, 7, 5, 6, 6}, "Invalid node parent index (6) in \"n7\"."},
		{{-1, 0, 1, 2, 3, 5}, "Invalid node parent index (5) in \"n5\"."},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.message);
		EXPECT_EQ("Failed to load scene \"{file}\". " + c.message, loadError(plainNodes(c.parents)));
	}
}

TEST_F(SceneFixture, ChildrenStandInReverseFileOrderUnderEveryParent) {
	// Parents named before and after their children, and the scene itself.
	lang::Ptr<hgr::Scene> scene = load(plainNodes({-1, 0, -1, 0, 2, 0, 7, -7, 7}));
	EXPECT_EQ((std::vector<std::string>{"n7", "n2", "n0"}), childNames(scene));
	EXPECT_EQ((std::vector<std::string>{"n5", "n3", "n1"}), childNames(scene->getNodeByName("n0")));
	EXPECT_EQ((std::vector<std::string>{"n4"}), childNames(scene->getNodeByName("n2")));
	EXPECT_EQ((std::vector<std::string>{"n8", "n6"}), childNames(scene->getNodeByName("n7")));
	EXPECT_EQ(scene->getNodeByName("n7"), scene->getNodeByName("n6")->getParent());
}

TEST_F(SceneFixture, DeepChainsLinkInEitherFileOrder) {
	struct Case {
		const char* name;
		bool rootFirst; // the root is n0 and n(i) hangs below n(i-1); else the root is the last node
	};
	for (const Case& c : {Case{"root first", true}, Case{"root last", false}}) {
		SCOPED_TRACE(c.name);
		std::vector<int> parents(DEEP);
		for (int i = 0; i < DEEP; ++i)
			parents[i] = c.rootFirst ? i - 1 : (i + 1 < DEEP ? i + 1 : -1);
		lang::Ptr<hgr::Scene> scene = load(plainNodes(parents));
		const std::string top = c.rootFirst ? nodeName(0) : nodeName(DEEP - 1);
		const std::string bottom = c.rootFirst ? nodeName(DEEP - 1) : nodeName(0);
		EXPECT_EQ((std::vector<std::string>{top}), childNames(scene));
		hgr::Node* leaf = scene->getNodeByName(bottom.c_str());
		EXPECT_EQ(nullptr, leaf->getFirstChild());
		EXPECT_EQ(DEEP, depthOf(leaf));
		EXPECT_EQ(scene.ptr(), leaf->root());
		const std::string second = c.rootFirst ? nodeName(1) : nodeName(DEEP - 2);
		EXPECT_EQ(scene->getNodeByName(top.c_str()), scene->getNodeByName(second.c_str())->getParent());
	}
}

TEST_F(SceneFixture, ALoopClosedAtTheEndOfADeepChainIsRefused) {
	std::vector<int> parents(DEEP);
	for (int i = 0; i < DEEP; ++i)
		parents[i] = i - 1;
	parents[0] = DEEP - 1;
	EXPECT_EQ("Failed to load scene \"{file}\". Invalid node parent index (99998) in \"n99999\".",
			  loadError(plainNodes(parents)));
}

// A mesh "skin" at the bottom of a chain of SKIN_DEPTH plain nodes below a light
// "lamp", and a light "aside" beside the chain, further from the mesh.
SceneWriter skinBelowADeepChain(int boneIndex) {
	SceneWriter w = writerWithTriangle();
	// File order: the mesh (0), the lights (1, 2), then the chain (3 ...).
	const int chainStart = 3;
	w.mesh("skin").primitives({0}).parentIndex(chainStart + SKIN_DEPTH - 1).boneIndex(boneIndex);
	w.light("lamp");
	w.light("aside").position(100, 0, 0);
	for (int i = 0; i < SKIN_DEPTH; ++i)
		w.node(nodeName(i)).parentIndex(i == 0 ? 1 : chainStart + i - 1);
	return w;
}

TEST_F(SceneFixture, BonesAndLightsOfAMeshDeepInTheTree) {
	// Any node may be a bone, above the mesh as well as beside it; the mesh
	// takes the nearest light even though it stands at the top of its chain.
	struct Case {
		const char* what;
		int boneIndex;
	};
	const Case cases[] = {
		{"the mesh itself", 0},		 {"the light at the top", 1},		  {"the light beside the chain", 2},
		{"the top of the chain", 3}, {"half-way up", 3 + SKIN_DEPTH / 2}, {"the mesh's parent", 3 + SKIN_DEPTH - 1},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.what);
		SceneWriter w = skinBelowADeepChain(c.boneIndex);
		lang::Ptr<hgr::Scene> scene = load(w);
		hgr::Mesh* skin = static_cast<hgr::Mesh*>(scene->getNodeByName("skin"));
		EXPECT_EQ(SKIN_DEPTH + 2, depthOf(skin));
		ASSERT_EQ(1, skin->getBoneCount());
		const std::string boneName = c.boneIndex == 0	? "skin"
									 : c.boneIndex == 1 ? "lamp"
									 : c.boneIndex == 2 ? "aside"
														: nodeName(c.boneIndex - 3);
		EXPECT_EQ(scene->getNodeByName(boneName.c_str()), skin->getBoneNode(0));
		ASSERT_EQ(1, skin->getLightCount());
		EXPECT_EQ("lamp", str(skin->getLight(0)->getName()));
	}
}

TEST_F(SceneFixture, BonesBelowBesideAndAboveTheMesh) {
	// skin(0) under arm(1) under body(2); hand(3) under skin, elbow(4) under arm.
	for (const char* bone : {"skin", "arm", "body", "hand", "elbow"}) {
		SCOPED_TRACE(bone);
		SceneWriter w = writerWithTriangle();
		w.mesh("skin").primitives({0}).parent("arm").bone(bone);
		w.node("arm").parent("body");
		w.node("body");
		w.node("hand").parent("skin");
		w.node("elbow").parent("arm");
		lang::Ptr<hgr::Scene> scene = load(w);
		hgr::Mesh* skin = static_cast<hgr::Mesh*>(scene->getNodeByName("skin"));
		ASSERT_EQ(1, skin->getBoneCount());
		EXPECT_EQ(scene->getNodeByName(bone), skin->getBoneNode(0));
	}
}

} // namespace
