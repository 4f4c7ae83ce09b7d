// Meshes refer to their bones and their fixed light without owning them: a
// skinned mesh below its skeleton's root with the root, its parent and itself
// among its bones, lit by the light it hangs below, loads, draws and
// animates; and whatever goes first (an ancestor, the scene, the mesh, a
// clone), nothing is read after it was freed and nothing keeps a tree alive.
// The tests run on the fake context; MeshReferences.LeakCheckedInAChild runs
// them again in a child of this program with the leak checker on (it is off
// here because of the GL tests).
#include "SceneFixtures.h"
#include "support/ProcessRunner.h"

#include <hgr/Camera.h>
#include <hgr/Light.h>
#include <hgr/Mesh.h>
#include <hgr/TransformAnimation.h>
#include <lang/WeakPtr.h>

#include <climits>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

using namespace scenetest;
using test::SceneWriter;

namespace {

const char* const kLeakChildVariable = "LUMAROLL_MESH_REFERENCES_CHILD";

// "sun" light at (0, 2, 0) above "root" above "hip" (one unit up) above the
// mesh "skin", whose bones are root, hip and the mesh itself, with the
// inverse bind transforms of that pose; a light "far" beside it all at
// (100, 0, 0). The root has an animation along x.
SceneWriter skeletonBelowItsLight() {
	SceneWriter w;
	w.material("mat", "plain.fx");
	w.primitive(0)
		.component(SceneWriter::DT_POSITION, SceneWriter::V3_32, {0, 0, 0, 1, 0, 0, 0, 1, 0})
		.indices({0, 1, 2})
		.usedBones({0, 1, 2});
	w.mesh("skin")
		.primitives({0})
		.parent("hip")
		.bone("root", SceneWriter::translation(0, 1, 0))
		.bone("hip")
		.bone("skin");
	w.light("sun").position(0, 2, 0).color(1, 0.5f, 0.25f);
	w.node("root").parent("sun");
	w.node("hip").parent("root").position(0, 1, 0);
	w.light("far").position(100, 0, 0);
	w.animation("root").positionKeys({{0, 0, 0}, {4, 0, 0}});
	w.animationsForAllNodes();
	return w;
}

bool endsWith(const std::string& text, const std::string& end) {
	return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

/** Weak pointers to every node of a tree, to see that each one has gone. */
struct Watch {
	std::vector<lang::WeakPtr<hgr::Node>> nodes;
	std::vector<std::string> names;

	explicit Watch(hgr::Node* top) {
		for (hgr::Node* n = top; n; n = n->next(top)) {
			nodes.emplace_back(n);
			names.push_back(str(n->getName()));
		}
	}
	/** Names of the watched nodes still alive. */
	std::vector<std::string> alive() const {
		std::vector<std::string> out;
		for (size_t i = 0; i < nodes.size(); ++i)
			if (nodes[i].get())
				out.push_back(names[i]);
		return out;
	}
	bool isAlive(const std::string& name) const {
		for (const std::string& n : alive())
			if (n == name)
				return true;
		return false;
	}
};

class MeshReferences : public SceneFixture {
protected:
	/** A camera at (0, 3, -20) looking along +z, linked below top. */
	static lang::Ptr<hgr::Camera> cameraIn(hgr::Node* top) {
		lang::Ptr<hgr::Camera> camera = new hgr::Camera;
		camera->setPosition(math::Vector3(0, 3, -20));
		camera->setBack(1000.f);
		camera->linkTo(top);
		return camera;
	}

	/** Draws camera's tree; the mesh's bone matrices (translations) and first light position. */
	struct Drawn {
		int draws = 0;
		std::vector<math::Vector3> bones;
		math::Vector4 light;
		bool lit = false;
		int lightsSet = 0; // LIGHTPn values set
	};
	Drawn draw(hgr::Camera* camera) {
		context->log.clear();
		camera->render(context);
		Drawn d;
		for (const test::FakeCall& call : context->log.calls) {
			const std::string& what = call.what;
			if (what == "primitive.render")
				++d.draws;
			if (endsWith(what, ".setMatrixArray BONEWORLDTM")) {
				d.bones.clear();
				for (const math::Matrix4x4& m : call.matrices)
					d.bones.push_back(math::Vector3(m.m[3][0], m.m[3][1], m.m[3][2]));
			}
			if (endsWith(what, ".setVector LIGHTP0")) {
				d.light = call.vector;
				d.lit = true;
			}
			if (what.find("setVector LIGHTP") != std::string::npos)
				++d.lightsSet;
		}
		return d;
	}

	static hgr::Mesh* skinOf(hgr::Node* tree) { return static_cast<hgr::Mesh*>(tree->findInSubtree("skin")); }
};

void expectNear(const math::Vector3& expected, const math::Vector3& actual, const char* what) {
	EXPECT_NEAR(expected.x, actual.x, 1e-5f) << what;
	EXPECT_NEAR(expected.y, actual.y, 1e-5f) << what;
	EXPECT_NEAR(expected.z, actual.z, 1e-5f) << what;
}

TEST_F(MeshReferences, ABoneAboveTheMeshAndALightAboveItLoadDrawAndAnimate) {
	lang::Ptr<hgr::Scene> scene = load(skeletonBelowItsLight());
	hgr::Mesh* skin = skinOf(scene);
	ASSERT_EQ(3, skin->getBoneCount());
	EXPECT_EQ(scene->getNodeByName("root"), skin->getBoneNode(0));
	EXPECT_EQ(scene->getNodeByName("hip"), skin->getBoneNode(1));
	EXPECT_EQ(skin, skin->getBoneNode(2));
	ASSERT_EQ(1, skin->getLightCount());
	EXPECT_EQ(scene->getNodeByName("sun"), skin->getLight(0));

	lang::Ptr<hgr::Camera> camera = cameraIn(scene);
	Drawn d = draw(camera);
	EXPECT_EQ(1, d.draws);
	ASSERT_TRUE(d.lit);
	// The one fixed light, although "far" is in the scene too.
	expectNear(math::Vector3(0, 2, 0), math::Vector3(d.light.x, d.light.y, d.light.z), "sun");
	EXPECT_EQ(1, d.lightsSet);
	// Bone world x offset: in the bind pose each bone brings the mesh to where it stands.
	ASSERT_EQ(3u, d.bones.size());
	expectNear(math::Vector3(0, 3, 0), d.bones[0], "root");
	expectNear(math::Vector3(0, 3, 0), d.bones[1], "hip");
	expectNear(math::Vector3(0, 3, 0), d.bones[2], "skin");

	// The file's animation of the root moves the whole skeleton, the mesh with it.
	hgr::TransformAnimation* animation = scene->getAnimations()->get("root");
	ASSERT_NE(nullptr, animation);
	hgr::Node* root = scene->getNodeByName("root");
	for (float t : {0.5f, 1.f}) {
		SCOPED_TRACE(t);
		root->setTransform(animation->getTransform(t));
		const float x = root->getTransform().getTranslation().x;
		EXPECT_GT(x, 0.f);
		d = draw(camera);
		EXPECT_EQ(1, d.draws);
		ASSERT_EQ(3u, d.bones.size());
		expectNear(math::Vector3(x, 3, 0), d.bones[0], "root");
		expectNear(math::Vector3(x, 3, 0), d.bones[1], "hip");
		expectNear(math::Vector3(x, 3, 0), d.bones[2], "skin");
	}

	// Nothing counts the light or the bones but the tree.
	EXPECT_EQ(1, scene->getNodeByName("sun")->referenceCount());
	EXPECT_EQ(1, root->referenceCount());
	EXPECT_EQ(1, skin->referenceCount());
}

TEST_F(MeshReferences, TheSceneAndTheMeshReleasedInEitherOrderFreeEverything) {
	for (bool sceneFirst : {true, false}) {
		SCOPED_TRACE(sceneFirst ? "scene first" : "mesh first");
		lang::Ptr<hgr::Scene> scene = load(skeletonBelowItsLight());
		lang::Ptr<hgr::Camera> camera = cameraIn(scene);
		draw(camera);
		camera = nullptr;
		const Watch watch(scene);
		lang::Ptr<hgr::Mesh> skin = skinOf(scene);
		if (sceneFirst) {
			scene = nullptr;
			// Only the mesh held from outside is left: it kept none of the
			// nodes above it alive.
			EXPECT_EQ(std::vector<std::string>{"skin"}, watch.alive());
			EXPECT_EQ(nullptr, skin->getParent());
			EXPECT_EQ(nullptr, skin->getBoneNode(0));
			EXPECT_EQ(nullptr, skin->getBoneNode(1));
			EXPECT_EQ(skin.ptr(), skin->getBoneNode(2));
			EXPECT_EQ(nullptr, skin->getLight(0));
			skin = nullptr;
		} else {
			skin = nullptr;
			EXPECT_EQ(watch.names, watch.alive());
			scene = nullptr;
		}
		EXPECT_TRUE(watch.alive().empty());
	}
}

TEST_F(MeshReferences, AnAncestorDestroyedLeavesTheBindPoseAndTheSceneLights) {
	lang::Ptr<hgr::Scene> scene = load(skeletonBelowItsLight());
	const Watch watch(scene);
	lang::Ptr<hgr::Mesh> skin = skinOf(scene);
	lang::Ptr<hgr::Node> root = scene->getNodeByName("root");
	lang::Ptr<hgr::Camera> camera = cameraIn(scene);

	// The hip goes (nobody holds it): the mesh is left without a parent.
	scene->getNodeByName("hip")->unlink();
	EXPECT_FALSE(watch.isAlive("hip"));
	EXPECT_EQ(nullptr, skin->getBoneNode(1));
	skin->linkTo(root);
	Drawn d = draw(camera);
	EXPECT_EQ(1, d.draws);
	ASSERT_EQ(3u, d.bones.size());
	expectNear(math::Vector3(0, 3, 0), d.bones[0], "root");
	expectNear(math::Vector3(0, 2, 0), d.bones[1], "hip: the mesh's own world transform");
	expectNear(math::Vector3(0, 2, 0), d.bones[2], "skin");

	// The sun goes, the root held from outside: the mesh's fixed light is
	// gone and it takes the nearest light of the tree it is drawn in.
	scene->getNodeByName("sun")->unlink();
	EXPECT_FALSE(watch.isAlive("sun"));
	EXPECT_EQ(1, skin->getLightCount());
	EXPECT_EQ(nullptr, skin->getLight(0));
	root->linkTo(scene);
	d = draw(camera);
	EXPECT_EQ(1, d.draws);
	ASSERT_TRUE(d.lit);
	expectNear(math::Vector3(100, 0, 0), math::Vector3(d.light.x, d.light.y, d.light.z), "far");

	skin = nullptr;
	root = nullptr;
	camera = nullptr;
	scene = nullptr;
	EXPECT_TRUE(watch.alive().empty());
}

TEST_F(MeshReferences, AMeshMovedToAnotherTreeFollowsTheOldOneUntilItGoes) {
	lang::Ptr<hgr::Scene> scene = load(skeletonBelowItsLight());
	const Watch watch(scene);
	lang::Ptr<hgr::Node> level = new hgr::Node;
	lang::Ptr<hgr::Camera> camera = cameraIn(level);
	lang::Ptr<hgr::Light> lamp = new hgr::Light;
	lamp->setName("lamp");
	lamp->setPosition(math::Vector3(0, 0, -5));
	lamp->linkTo(level);
	hgr::Mesh* skin = skinOf(scene);
	skin->setPosition(math::Vector3(5, 3, 0));
	skin->linkTo(level);

	// The light and the bones of the old tree are placed by their own parent chain.
	Drawn d = draw(camera);
	EXPECT_EQ(1, d.draws);
	ASSERT_TRUE(d.lit);
	expectNear(math::Vector3(0, 2, 0), math::Vector3(d.light.x, d.light.y, d.light.z), "sun");
	EXPECT_EQ(1, d.lightsSet);
	ASSERT_EQ(3u, d.bones.size());
	expectNear(math::Vector3(0, 3, 0), d.bones[0], "root");
	expectNear(math::Vector3(0, 3, 0), d.bones[1], "hip");
	expectNear(math::Vector3(5, 3, 0), d.bones[2], "skin");

	// The old tree goes: the mesh lives on in the new one, in the bind pose,
	// lit by the new tree's light.
	scene = nullptr;
	EXPECT_EQ(std::vector<std::string>{"skin"}, watch.alive());
	d = draw(camera);
	EXPECT_EQ(1, d.draws);
	ASSERT_TRUE(d.lit);
	expectNear(math::Vector3(0, 0, -5), math::Vector3(d.light.x, d.light.y, d.light.z), "lamp");
	ASSERT_EQ(3u, d.bones.size());
	expectNear(math::Vector3(5, 3, 0), d.bones[0], "root: the mesh's own world transform");
	expectNear(math::Vector3(5, 3, 0), d.bones[1], "hip: the mesh's own world transform");
	expectNear(math::Vector3(5, 3, 0), d.bones[2], "skin");

	camera = nullptr;
	lamp = nullptr;
	level = nullptr;
	EXPECT_TRUE(watch.alive().empty());
}

TEST_F(MeshReferences, ClonesReferToTheSameNodesAndOutliveThemSafely) {
	for (bool originalFirst : {true, false}) {
		SCOPED_TRACE(originalFirst ? "original first" : "copy first");
		lang::Ptr<hgr::Scene> scene = load(skeletonBelowItsLight());
		const Watch watch(scene);
		hgr::Mesh* skin = skinOf(scene);

		// A clone of the mesh alone, and of the whole scene.
		lang::Ptr<hgr::Visual> meshCopy = skin->clone();
		lang::Ptr<hgr::Node> sceneCopy = scene->clone();
		const Watch copyWatch(sceneCopy);
		hgr::Mesh* skinCopy = skinOf(sceneCopy);
		for (hgr::Mesh* copy : {static_cast<hgr::Mesh*>(meshCopy.ptr()), skinCopy}) {
			ASSERT_EQ(3, copy->getBoneCount());
			EXPECT_EQ(skin->getBoneNode(0), copy->getBoneNode(0));
			EXPECT_EQ(skin, copy->getBoneNode(2));
			EXPECT_EQ(skin->getLight(0), copy->getLight(0));
		}
		lang::Ptr<hgr::Camera> camera = cameraIn(sceneCopy);
		Drawn d = draw(camera);
		EXPECT_EQ(1, d.draws);
		expectNear(math::Vector3(0, 2, 0), math::Vector3(d.light.x, d.light.y, d.light.z), "the original's sun");

		if (originalFirst) {
			scene = nullptr;
			EXPECT_TRUE(watch.alive().empty());
			EXPECT_EQ(nullptr, skinCopy->getBoneNode(0));
			EXPECT_EQ(nullptr, skinCopy->getLight(0));
			d = draw(camera); // the copy's own lights and the bind pose
			EXPECT_EQ(1, d.draws);
			ASSERT_TRUE(d.lit);
			ASSERT_EQ(3u, d.bones.size());
			expectNear(math::Vector3(0, 2, 0), math::Vector3(d.light.x, d.light.y, d.light.z), "the copy's sun");
			expectNear(math::Vector3(0, 3, 0), d.bones[0], "the copy's world transform");
		}
		camera = nullptr;
		meshCopy = nullptr;
		sceneCopy = nullptr;
		EXPECT_TRUE(copyWatch.alive().empty());
		if (!originalFirst) {
			EXPECT_EQ(watch.names, watch.alive());
			d = draw(cameraIn(scene));
			EXPECT_EQ(1, d.draws);
			scene = nullptr;
		}
		EXPECT_TRUE(watch.alive().empty());
	}
}

// The tests above again, in a child of this program with the leak checker on.
TEST_F(MeshReferences, LeakCheckedInAChild) {
	if (std::getenv(kLeakChildVariable))
		GTEST_SKIP() << "this is the child";
	char self[PATH_MAX] = {};
	ASSERT_GT(readlink("/proc/self/exe", self, sizeof self - 1), 0);
	test::ProcessOptions o;
	o.args = {"--gtest_filter=MeshReferences.*"};
	o.env = {{kLeakChildVariable, "1"}, {"ASAN_OPTIONS", "detect_leaks=1:halt_on_error=1"}};
	const test::ProcessResult child = test::runProcess(self, o);
	EXPECT_EQ(0, child.exitCode) << child.out << child.err;
	EXPECT_NE(std::string::npos, child.out.find("[  PASSED  ] 5 tests")) << child.out;
	EXPECT_EQ(std::string::npos, child.err.find("LeakSanitizer")) << child.err;
}

} // namespace
