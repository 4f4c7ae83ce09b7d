#include "SceneFixtures.h"

#include <hgr/Camera.h>
#include <hgr/Light.h>
#include <hgr/Mesh.h>
#include <hgr/Scene.h>

#include <cstdio>
#include <cstring>
#include <unistd.h>

using namespace scenetest;

namespace {

lang::Ptr<hgr::TransformAnimation> movingAlongX() {
	lang::Ptr<hgr::KeyframeSequence> positions = new hgr::KeyframeSequence(2, gr::VertexFormat::V3_32);
	const float keys[6] = {0, 0, 0, 10, 0, 0};
	std::memcpy(positions->getKeyData(), keys, sizeof(keys));
	lang::Ptr<hgr::KeyframeSequence> rotations = new hgr::KeyframeSequence(1, gr::VertexFormat::V4_32);
	const float identity[4] = {0, 0, 0, 1};
	std::memcpy(rotations->getKeyData(), identity, sizeof(identity));
	return new hgr::TransformAnimation(hgr::KeyframeSequence::STOP, positions, rotations, nullptr, 1, 1, 1);
}

hgr::Node* child(hgr::Node* parent, hgr::Node* node, const char* name) {
	node->setName(name);
	node->linkTo(parent);
	return node;
}

TEST(Scene, EmptySceneDefaults) {
	lang::Ptr<hgr::Scene> scene = new hgr::Scene;
	EXPECT_EQ(hgr::Node::NODE_SCENE, scene->getClassId());
	EXPECT_EQ(nullptr, scene->getAnimations());
	EXPECT_EQ(nullptr, scene->getUserProperties());
	EXPECT_EQ(0, scene->getFogMode());
	EXPECT_FLOAT_EQ(1.f, scene->getFogColor().y);
	EXPECT_FLOAT_EQ(0.f, scene->getFogStart());
	EXPECT_FLOAT_EQ(1000.f, scene->getFogEnd());
	scene->setFog(1, math::Vector3(0.1f, 0.2f, 0.3f), 4.f, 8.f);
	EXPECT_EQ(1, scene->getFogMode());
	EXPECT_FLOAT_EQ(0.2f, scene->getFogColor().y);
	EXPECT_FLOAT_EQ(8.f, scene->getFogEnd());
	// Without animations update only advances particle systems.
	scene->update(1.f, 0.1f);
}

TEST(Scene, UpdateSetsAnimatedNodesAndLeavesTheOthers) {
	lang::Ptr<hgr::Scene> scene = new hgr::Scene;
	hgr::Node* moving = child(scene, new hgr::Node, "moving");
	hgr::Node* still = child(moving, new hgr::Node, "still");
	still->setPosition(math::Vector3(0, 7, 0));
	lang::Ptr<hgr::TransformAnimationSet> set = new hgr::TransformAnimationSet(4);
	set->put("moving", movingAlongX());
	set->put("still", nullptr); // a present name without animation counts as none
	scene->setAnimations(set);
	scene->update(0.5f, 0.f);
	EXPECT_FLOAT_EQ(5.f, moving->getTransform().m[0][3]);
	EXPECT_FLOAT_EQ(7.f, still->getTransform().m[1][3]);
}

TEST(Scene, CloneSharesAnimationsAndUserProperties) {
	lang::Ptr<hgr::Scene> scene = new hgr::Scene;
	scene->setAnimations(new hgr::TransformAnimationSet(1));
	scene->setUserProperties(new hgr::UserPropertySet);
	scene->setFog(1, math::Vector3(0.5f, 0.5f, 0.5f), 1.f, 2.f);
	child(scene, new hgr::Node, "a");
	child(scene, new hgr::Node, "b");
	lang::Ptr<hgr::Scene> copy = static_cast<hgr::Scene*>(scene->clone());
	EXPECT_EQ(hgr::Node::NODE_SCENE, copy->getClassId());
	EXPECT_EQ(scene->getAnimations(), copy->getAnimations());
	EXPECT_EQ(scene->getUserProperties(), copy->getUserProperties());
	scene->getAnimations()->put("a", movingAlongX());
	EXPECT_TRUE(copy->getAnimations()->get("a"));
	EXPECT_FLOAT_EQ(2.f, copy->getFogEnd());
	EXPECT_EQ((std::vector<std::string>{"a", "b"}), childNames(copy));
}

TEST(Scene, GetCameraFindsOrAddsExactlyOne) {
	lang::Ptr<hgr::Scene> scene = new hgr::Scene;
	child(scene, new hgr::Node, "n");
	hgr::Camera* added = scene->getCamera();
	ASSERT_NE(nullptr, added);
	EXPECT_EQ(added, scene->getCamera());
	EXPECT_EQ(2u, children(scene).size());

	lang::Ptr<hgr::Scene> withCamera = new hgr::Scene;
	hgr::Node* holder = child(withCamera, new hgr::Node, "holder");
	hgr::Node* camera = child(holder, new hgr::Camera, "cam");
	EXPECT_EQ(camera, withCamera->getCamera());
}

TEST(Scene, RemoveCamerasAndLightsKeepsThoseWithChildren) {
	lang::Ptr<hgr::Scene> scene = new hgr::Scene;
	child(scene, new hgr::Light, "l1");
	child(scene, new hgr::Light, "l2");
	hgr::Node* cam = child(scene, new hgr::Camera, "cam");
	child(cam, new hgr::Node, "mounted");
	hgr::Node* n = child(scene, new hgr::Node, "n");
	child(n, new hgr::Camera, "inner");
	scene->removeCamerasAndLights();
	EXPECT_EQ((std::vector<std::string>{"n", "cam"}), childNames(scene));
	EXPECT_TRUE(childNames(n).empty());
}

TEST_F(SceneFixture, BoundBoxCoversLocalVisualsInSceneSpace) {
	lang::Ptr<hgr::Scene> empty = new hgr::Scene;
	child(empty, new hgr::Node, "n");
	math::Vector3 lo(9, 9, 9), hi(9, 9, 9);
	empty->getBoundBox(lo, hi);
	EXPECT_FLOAT_EQ(0.f, lo.x);
	EXPECT_FLOAT_EQ(0.f, hi.z);

	test::SceneWriter w = writerWithTriangle(); // positions from (0, 0, 0) to (1, 1, 0)
	w.mesh("a").primitives({0}).position(10, 0, 0);
	w.mesh("b").primitives({0}).transform(test::SceneWriter::rotationZ(3.14159265f, 0, 0, -2));
	lang::Ptr<hgr::Scene> scene = load(w);
	scene->setPosition(math::Vector3(100, 100, 100)); // the scene's own transform does not count
	scene->getBoundBox(lo, hi);
	EXPECT_NEAR(-1.f, lo.x, 1e-5f);
	EXPECT_NEAR(-1.f, lo.y, 1e-5f);
	EXPECT_NEAR(-2.f, lo.z, 1e-5f);
	EXPECT_NEAR(11.f, hi.x, 1e-5f);
	EXPECT_NEAR(1.f, hi.y, 1e-5f);
	EXPECT_NEAR(0.f, hi.z, 1e-5f);

	// Boxes in world coordinates and unbounded visuals stay out.
	static_cast<hgr::Mesh*>(scene->getNodeByName("b"))
		->setWorldBoundBox(math::Vector3(-50, -50, -50), math::Vector3(0, 0, 0));
	static_cast<hgr::Mesh*>(scene->getNodeByName("a"))->setBoundRadius(hgr::Visual::UNBOUNDED_RADIUS);
	scene->getBoundBox(lo, hi);
	EXPECT_FLOAT_EQ(0.f, lo.x);
	EXPECT_FLOAT_EQ(0.f, hi.x);
}

TEST(Scene, MergeMovesChildrenAndTakesAnimations) {
	lang::Ptr<hgr::Scene> a = new hgr::Scene;
	lang::Ptr<hgr::Scene> b = new hgr::Scene;
	child(a, new hgr::Node, "a1");
	child(b, new hgr::Node, "b1");
	child(b, new hgr::Node, "b2");
	b->setAnimations(new hgr::TransformAnimationSet(2));
	b->getAnimations()->put("b1", movingAlongX());
	a->merge(b);
	EXPECT_EQ((std::vector<std::string>{"b1", "b2", "a1"}), childNames(a));
	EXPECT_TRUE(childNames(b).empty());
	EXPECT_EQ(b->getAnimations(), a->getAnimations());

	lang::Ptr<hgr::Scene> c = new hgr::Scene;
	c->setAnimations(new hgr::TransformAnimationSet(2));
	c->getAnimations()->put("c1", movingAlongX());
	c->getAnimations()->put("b1", movingAlongX());
	lang::Ptr<hgr::Scene> d = new hgr::Scene;
	d->setAnimations(new hgr::TransformAnimationSet(2));
	d->getAnimations()->put("d1", movingAlongX());
	lang::Ptr<hgr::TransformAnimation> replacement = movingAlongX();
	d->getAnimations()->put("b1", replacement);
	c->merge(d);
	EXPECT_EQ(3, c->getAnimations()->size());
	EXPECT_EQ(replacement.ptr(), c->getAnimations()->get("b1").ptr());
	EXPECT_EQ(2, d->getAnimations()->size());
}

TEST(Scene, DumpWritesTheTreeIndentedAndThePropertyTexts) {
	lang::Ptr<hgr::Scene> scene = new hgr::Scene;
	scene->setName("root");
	hgr::Node* a = child(scene, new hgr::Node, "a");
	child(a, new hgr::Node, "b");
	scene->setUserProperties(new hgr::UserPropertySet);
	scene->getUserProperties()->put("b", "k=v");
	fflush(stdout);
	testing::internal::CaptureStdout();
	scene->dump();
	const std::string out = testing::internal::GetCapturedStdout();
	const std::string line(57, '-');
	EXPECT_EQ(line + "\nroot\n    a\n        b\n" + line + "\nroot:\n  \na:\n  \nb:\n  k=v\n", out);
}

} // namespace
