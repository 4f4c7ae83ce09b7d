#include "FakeScene.h"

#include <hgr/Light.h>
#include <math/Matrix3x3.h>

#include <gtest/gtest.h>

#include <stdexcept>

using hgr::Light;
using hgr::Mesh;
using hgr::Node;
using lang::Ptr;
using Strings = std::vector<std::string>;

namespace {

Light* addLight(hgr::Node* parent, const char* name, const math::Vector3& position, const math::Vector3& color) {
	Light* l = new Light;
	l->setName(name);
	l->setPosition(position);
	l->setColor(color);
	l->linkTo(parent);
	return l;
}

void expectMatrixNear(const math::Matrix4x4& a, const math::Matrix4x4& b, float eps = 1e-4f) {
	for (int i = 0; i < 4; ++i)
		for (int j = 0; j < 4; ++j)
			EXPECT_NEAR(a.m[i][j], b.m[i][j], eps) << "element " << i << "," << j;
}

TEST(MeshTest, BoundBoxFromPrimitives) {
	Ptr<test::FakeContext> context = new test::FakeContext;
	Ptr<gr::Shader> shader = context->shader("fx");

	Ptr<Mesh> empty = new Mesh;
	EXPECT_EQ(empty->getClassId(), Node::NODE_MESH);
	EXPECT_EQ(empty->getBoundRadius(), 1e10f);
	empty->computeBoundBox();
	EXPECT_EQ(empty->getBoundBoxMin().x, 0.f);
	EXPECT_EQ(empty->getBoundBoxMax().z, 0.f);
	EXPECT_EQ(empty->getBoundRadius(), 0.f);

	Ptr<Mesh> m = new Mesh;
	m->addPrimitive(context->primitive("a", shader, math::Vector3(-1, 0, 0), math::Vector3(1, 2, 3), 4.f));
	m->addPrimitive(context->primitive("b", shader, math::Vector3(-5, 1, 1), math::Vector3(0, 1, 7), 2.f));
	m->setWorldBoundBox(math::Vector3(), math::Vector3());
	m->computeBoundBox();
	EXPECT_FALSE(m->hasWorldBoundBox());
	EXPECT_EQ(m->getBoundBoxMin().x, -5.f);
	EXPECT_EQ(m->getBoundBoxMin().y, 0.f);
	EXPECT_EQ(m->getBoundBoxMax().z, 7.f);
	EXPECT_EQ(m->getBoundRadius(), 4.f);

	// Skinned geometry: the unbounded box, the radius left as it was.
	Ptr<Mesh> skinned = new Mesh;
	skinned->addPrimitive(context->primitive("s", shader, math::Vector3(), math::Vector3(), 1.f, true));
	skinned->computeBoundBox();
	EXPECT_EQ(skinned->getBoundBoxMin().x, -1e10f);
	EXPECT_EQ(skinned->getBoundBoxMax().x, 1e10f);
	EXPECT_EQ(skinned->getBoundRadius(), 1e10f);
}

TEST(MeshTest, PrimitiveLightAndBoneLists) {
	Ptr<test::FakeContext> context = new test::FakeContext;
	Ptr<gr::Shader> shader = context->shader("fx");
	Ptr<Mesh> m = new Mesh;
	Ptr<test::FakePrimitive> p[3] = {context->primitive("0", shader), context->primitive("1", shader),
									 context->primitive("2", shader)};
	for (auto& prim : p)
		m->addPrimitive(prim);
	EXPECT_EQ(p[1]->referenceCount(), 2);
	m->removePrimitive(1);
	EXPECT_EQ(p[1]->referenceCount(), 1);
	ASSERT_EQ(m->getPrimitiveCount(), 2);
	EXPECT_EQ(m->getPrimitive(1), p[2].ptr());
	EXPECT_THROW(m->removePrimitive(2), lang::Exception);

	Ptr<Light> l0 = new Light, l1 = new Light;
	m->addLight(l0);
	m->addLight(l1);
	m->removeLight(0);
	EXPECT_EQ(m->getLight(0), l1.ptr());
	Ptr<Node> bone = new Node;
	m->addBone(bone, math::Matrix3x4(2.f));
	EXPECT_EQ(m->getBoneCount(), 1);
	EXPECT_EQ(m->getBoneNode(0), bone.ptr());
	EXPECT_EQ(m->getBone(0).offset.m[1][1], 2.f);

	// A clone shares the primitives and lists the same lights and bones.
	Ptr<Node> c = m->clone();
	Mesh* copy = static_cast<Mesh*>(c.ptr());
	EXPECT_EQ(copy->getPrimitive(0), p[0].ptr());
	EXPECT_EQ(p[0]->referenceCount(), 3);
	EXPECT_EQ(copy->getLight(0), l1.ptr());
	EXPECT_EQ(copy->getBoneNode(0), bone.ptr());

	m->removeAllPrimitives();
	m->removeAllLights();
	m->removeBone(0);
	EXPECT_EQ(m->getPrimitiveCount(), 0);
	EXPECT_EQ(m->getLightCount(), 0);
	EXPECT_EQ(m->getBoneCount(), 0);
	EXPECT_EQ(p[0]->referenceCount(), 2);
}

TEST(MeshTest, ParameterSequenceAndValues) {
	FakeScene s;
	s.camera->setPosition(math::Vector3(0, 1, -2));
	addLight(s.root, "near", math::Vector3(0, 0, 12), math::Vector3(1, 0, 0));
	addLight(s.root, "far", math::Vector3(0, 0, 40), math::Vector3(0, 0, 1));
	Mesh* m = s.mesh("m", "fx", math::Vector3(0, 0, 10));
	m->setRotation(math::Matrix3x3::rotation(math::Vector3(0, 1, 0), 0.5f));
	s.render();

	const Strings expected = {"fx.begin",
							  "fx.setVector CAMERAP",
							  "fx.setMatrix TOTALTM",
							  "fx.setMatrix VIEWTMINV",
							  "fx.setMatrix VIEWPROJTM",
							  "fx.setVector LIGHTP0",
							  "fx.setVector LIGHTC0",
							  "fx.setVector LIGHTP1",
							  "fx.setVector LIGHTC1",
							  "fx.setMatrix WORLDTM",
							  "fx.setMatrix VIEWTM",
							  "fx.beginPass 0",
							  "m.render",
							  "fx.endPass",
							  "fx.end"};
	Strings all;
	for (const std::string& t : s.context->log.texts())
		if (t.compare(0, 8, "context.") != 0)
			all.push_back(t);
	EXPECT_EQ(all, expected);

	auto* shader = static_cast<test::FakeShader*>(m->getPrimitive(0)->getShader());
	const math::Matrix4x4 world(m->getWorldTransform());
	const math::Matrix4x4 view(s.camera->getViewTransform());
	const math::Matrix4x4 viewProj = s.context->getProjectionMatrix() * view;
	expectMatrixNear(shader->matrices[gr::Shader::PARAM_TOTALTM], viewProj * world);
	expectMatrixNear(shader->matrices[gr::Shader::PARAM_VIEWPROJTM], viewProj);
	expectMatrixNear(shader->matrices[gr::Shader::PARAM_WORLDTM], world);
	expectMatrixNear(shader->matrices[gr::Shader::PARAM_VIEWTM], view);
	expectMatrixNear(shader->matrices[gr::Shader::PARAM_VIEWTMINV], math::Matrix4x4(s.camera->getWorldTransform()));
	EXPECT_EQ(shader->vectors[gr::Shader::PARAM_CAMERAP].y, 1.f);
	EXPECT_EQ(shader->vectors[gr::Shader::PARAM_CAMERAP].w, 1.f);
	EXPECT_EQ(shader->vectors[gr::Shader::PARAM_LIGHTP0].z, 12.f);
	EXPECT_EQ(shader->vectors[gr::Shader::PARAM_LIGHTC0].x, 1.f);
	EXPECT_EQ(shader->vectors[gr::Shader::PARAM_LIGHTC1].z, 1.f);
	EXPECT_EQ(shader->vectors[gr::Shader::PARAM_LIGHTC1].w, 1.f);
}

TEST(MeshTest, NearestSceneLightsOrOwnLightsOnly) {
	FakeScene s;
	const float zs[] = {30, 11, 50, 18};
	for (float z : zs)
		addLight(s.root, "l", math::Vector3(0, 0, z), math::Vector3(1, 1, 1));
	addLight(s.root, "off", math::Vector3(0, 0, 10), math::Vector3(1, 1, 1))->setEnabled(false);
	Mesh* m = s.mesh("m", "fx", math::Vector3(0, 0, 10));
	s.render();
	auto* shader = static_cast<test::FakeShader*>(m->getPrimitive(0)->getShader());
	const float nearest[] = {11, 18, 30, 50};
	for (int i = 0; i < 4; ++i)
		EXPECT_EQ(shader->vectors[gr::Shader::PARAM_LIGHTP0 + i].z, nearest[i]) << i;
	for (int i = 4; i < 8; ++i)
		EXPECT_FALSE(shader->isSet[gr::Shader::PARAM_LIGHTP0 + i]) << i;

	Light* own = addLight(s.root, "own", math::Vector3(5, 0, 0), math::Vector3(0, 1, 0));
	m->addLight(own);
	s.context->log.clear();
	s.render();
	EXPECT_EQ(s.context->log.containing("LIGHTP").size(), 1u);
	EXPECT_EQ(s.context->log.containing("LIGHTC").size(), 1u);
	EXPECT_EQ(s.context->log.find("fx.setVector LIGHTP0")[0]->vector.x, 5.f);
}

TEST(MeshTest, PrioritiesPerPrimitiveAndPerCallPreparation) {
	FakeScene s;
	s.context->setEffect("p5", 5);
	Mesh* m = s.mesh("first", "p0", math::Vector3(0, 0, 10));
	s.addPrimitive(m, "second", "p5");
	s.render();
	EXPECT_EQ(s.draws(), (Strings{"first", "second"}));
	EXPECT_EQ(s.context->log.containing("TOTALTM").size(), 2u);
	EXPECT_EQ(s.context->log.texts("p5.").front(), "p5.begin");
}

TEST(MeshTest, ZeroPassesDrawNothingButEnd) {
	FakeScene s;
	s.context->setEffect("none", 0, 0);
	s.context->setEffect("two", 0, 2);
	Mesh* m = s.mesh("a", "none", math::Vector3(0, 0, 10));
	s.addPrimitive(m, "b", "two");
	s.render();
	EXPECT_EQ(s.context->log.texts("none."), (Strings{"none.begin", "none.end"}));
	EXPECT_EQ(s.context->log.containing("Pass"),
			  (Strings{"two.beginPass 0", "two.endPass", "two.beginPass 1", "two.endPass"}));
	EXPECT_EQ(s.draws(), (Strings{"b", "b"}));
}

TEST(MeshTest, FailingDrawStillEndsPassAndShader) {
	struct Case {
		const char* name;
		bool inRender;
		Strings tail;
	};
	const Case cases[] = {
		{"the primitive throws", true, {"fx.beginPass 0", "m.render", "fx.endPass", "fx.end"}},
		{"the pass throws", false, {"fx.setMatrix VIEWTM", "fx.beginPass 0", "fx.end"}},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.name);
		FakeScene s;
		Mesh* m = s.mesh("m", "fx", math::Vector3(0, 0, 10));
		auto* p = static_cast<test::FakePrimitive*>(m->getPrimitive(0));
		if (c.inRender)
			p->throwOnRender = true;
		else
			static_cast<test::FakeShader*>(p->getShader())->throwInPass = 0;
		EXPECT_THROW(s.render(), std::runtime_error);
		Strings calls = s.context->log.texts();
		ASSERT_GE(calls.size(), c.tail.size());
		EXPECT_EQ(Strings(calls.end() - c.tail.size(), calls.end()), c.tail);
	}
}

TEST(MeshTest, BoneMatricesLayoutAndUsedBones) {
	FakeScene s;
	Node* b0 = new Node;
	b0->linkTo(s.root);
	b0->setPosition(math::Vector3(1, 2, 3));
	Node* b1 = new Node;
	b1->linkTo(b0);
	b1->setRotation(math::Matrix3x3::rotation(math::Vector3(0, 0, 1), 1.5707964f));
	Mesh* m = s.mesh("skin", "fx", math::Vector3(0, 0, 10), nullptr, true);
	EXPECT_EQ(m->getBoundRadius(), 1e10f);
	math::Matrix3x4 offset0;
	offset0.setTranslation(math::Vector3(0, 0, -1));
	m->addBone(b0, offset0);
	m->addBone(b1, math::Matrix3x4(2.f));
	const uint8_t used[] = {1, 0, 1};
	m->getPrimitive(0)->setUsedBones(used, 3);
	s.render();

	auto calls = s.context->log.find("fx.setMatrixArray BONEWORLDTM");
	ASSERT_EQ(calls.size(), 1u);
	const auto& mats = calls[0]->matrices;
	ASSERT_EQ(mats.size(), 3u);
	// Bone 0: identity rotation, translation (1, 2, 3) + (0, 0, -1) in elements 12..14.
	const math::Matrix4x4& bone0 = mats[1];
	const float expected0[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 2, 2, 0};
	for (int k = 0; k < 16; ++k)
		EXPECT_NEAR(bone0.m[k / 4][k % 4], expected0[k], 1e-6f) << k;
	// Bone 1: a quarter turn about z scaled by 2, at b0's position.
	const math::Matrix4x4& bone1 = mats[0];
	const float expected1[16] = {0, -2, 0, 0, 2, 0, 0, 0, 0, 0, 2, 0, 1, 2, 3, 0};
	for (int k = 0; k < 16; ++k)
		EXPECT_NEAR(bone1.m[k / 4][k % 4], expected1[k], 1e-6f) << k;
	EXPECT_EQ(mats[2].m[0][1], bone1.m[0][1]);
	EXPECT_EQ(s.camera->getBoneMatrices().size(), 2);
}

// Mesh lights and bone nodes belong to another tree than the mesh once a
// subtree moves; they are read through their own tree while it lives and
// never after it has gone.
TEST(MeshTest, LightsAndBonesOfAnotherTreeAreReadWhileItLives) {
	FakeScene level;
	Mesh* moved;
	Ptr<Node> library = new Node;
	library->setName("library");
	library->setPosition(math::Vector3(0, 1, 0));
	Light* light = addLight(library, "libLight", math::Vector3(0, 7, 0), math::Vector3(0.5f, 0.5f, 0.5f));
	Node* bone = new Node;
	bone->setPosition(math::Vector3(0, 0, 4));
	bone->linkTo(library);
	Node* object = new Node;
	object->setName("object");
	object->linkTo(library);
	lang::Ptr<gr::Shader> shader = level.context->createShader("fx", 0);
	moved = new Mesh;
	moved->setPosition(math::Vector3(0, 0, 10));
	moved->linkTo(object);
	lang::Ptr<test::FakePrimitive> prim =
		level.context->primitive("moved", shader, math::Vector3(), math::Vector3(), 1.f, true);
	const uint8_t used[] = {0};
	prim->setUsedBones(used, 1);
	moved->addPrimitive(prim);
	moved->computeBoundBox();
	moved->addLight(light);
	moved->addBone(bone, math::Matrix3x4());
	object->linkTo(level.root);

	// Placed by their own parent chain in the library tree.
	level.render();
	EXPECT_EQ(level.draws(), (Strings{"moved"}));
	EXPECT_EQ(level.context->log.find("fx.setVector LIGHTP0")[0]->vector.y, 8.f);
	EXPECT_EQ(level.context->log.find("fx.setMatrixArray BONEWORLDTM")[0]->matrices[0].m[3][2], 4.f);

	// The library tree goes: the mesh draws with the level's own light and
	// holds its bind pose (the bone matrix is the mesh's world transform).
	library = nullptr;
	EXPECT_EQ(moved->getLight(0), nullptr);
	EXPECT_EQ(moved->getBoneNode(0), nullptr);
	Light* sceneLight = addLight(level.root, "sceneLight", math::Vector3(1, 1, 1), math::Vector3(1, 1, 1));
	level.context->log.clear();
	level.render();
	EXPECT_EQ(level.draws(), (Strings{"moved"}));
	EXPECT_EQ(level.context->log.find("fx.setVector LIGHTP0")[0]->vector.x, 1.f);
	EXPECT_EQ(level.context->log.find("fx.setMatrixArray BONEWORLDTM")[0]->matrices[0].m[3][2], 10.f);

	// A light held by the mesh alone is not kept: unlinked, it is gone.
	moved->removeAllLights();
	moved->addLight(sceneLight);
	sceneLight->unlink();
	EXPECT_EQ(moved->getLight(0), nullptr);
	level.context->log.clear();
	level.render();
	EXPECT_TRUE(level.context->log.containing("LIGHTP").empty());
	moved->unlink();
}

TEST(MeshTest, RemovedCameraAndLightsLeaveNothingDangling) {
	FakeScene s;
	Light* l = addLight(s.root, "l", math::Vector3(0, 0, 5), math::Vector3(1, 1, 1));
	s.mesh("m", "fx", math::Vector3(0, 0, 10));
	s.render();
	l->unlink(); // destroyed: the camera holds no light between frames
	s.render();	 // no light left
	EXPECT_EQ(s.context->log.containing("LIGHTP").size(), 1u);

	Ptr<hgr::Camera> cam = s.camera;
	cam->unlink(); // a camera drawn on its own tree
	s.context->log.clear();
	cam->render(s.context);
	EXPECT_TRUE(s.draws().empty());
}

} // namespace
