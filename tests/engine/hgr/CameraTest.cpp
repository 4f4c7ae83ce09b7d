#include "FakeScene.h"

#include <hgr/Dummy.h>
#include <hgr/PipeSetup.h>
#include <hgr/Visual.h>
#include <lang/Exception.h>
#include <math/Matrix3x3.h>

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

using hgr::Camera;
using hgr::Mesh;
using hgr::Node;
using lang::Ptr;
using Strings = std::vector<std::string>;

namespace {

// A visual that keeps the default unbounded sphere and records its draws.
class ProbeVisual : public hgr::Visual {
public:
	ProbeVisual(test::FakeLog* log, gr::Shader* shader) : m_log(log), m_shader(shader) {}
	hgr::Visual* clone() const override { return new ProbeVisual(m_log, m_shader); }
	void render(gr::Context*, hgr::Camera*, int priority) override {
		m_log->add(std::string(getName().c_str()) + ".render").vector = math::Vector4(float(priority), 0, 0, 0);
	}
	void getShaders(lang::Array<gr::Shader*>& out) override { out.add(m_shader); }
	void computeBoundBox() override {}

private:
	test::FakeLog* m_log;
	Ptr<gr::Shader> m_shader;
};

TEST(CameraTest, NewCameraAndClone) {
	Ptr<Camera> c = new Camera;
	EXPECT_EQ(c->getClassId(), Node::NODE_CAMERA);
	EXPECT_FLOAT_EQ(c->getFront(), 1.f);
	EXPECT_FLOAT_EQ(c->getBack(), 10000.f);
	EXPECT_FLOAT_EQ(c->getVerticalFov(), 1.2886412f);
	c->setFront(0.5f);
	c->setHorizontalFov(1.2f);
	c->setResetProjection(true);
	Ptr<Node> copy = c->clone();
	ASSERT_EQ(copy->getClassId(), Node::NODE_CAMERA);
	Camera* cc = static_cast<Camera*>(copy.ptr());
	EXPECT_FLOAT_EQ(cc->getFront(), 0.5f);
	EXPECT_NEAR(cc->getHorizontalFov(), 1.2f, 1e-6f);
	EXPECT_EQ(cc->getNodes().size(), 0);
}

TEST(CameraTest, ViewTransformIsInverseOfWorld) {
	Ptr<Node> root = new Node;
	root->setPosition(math::Vector3(0, 0, 5));
	Camera* c = new Camera;
	c->linkTo(root);
	c->setRotation(math::Matrix3x3::rotation(math::Vector3(0, 1, 0), 0.3f));
	const math::Matrix3x4 p = c->getViewTransform() * c->getWorldTransform();
	for (int i = 0; i < 3; ++i)
		for (int j = 0; j < 4; ++j)
			EXPECT_NEAR(p.m[i][j], i == j ? 1.f : 0.f, 1e-5f);
}

TEST(CameraTest, EvenPrioritiesDrawNearestFirstOddFarthestFirst) {
	FakeScene s;
	s.context->setEffect("p1", 1);
	s.mesh("far0", "p0", math::Vector3(0, 0, 9));
	s.mesh("near0", "p0", math::Vector3(0, 0, 5));
	s.mesh("far1", "p1", math::Vector3(0, 0, 9));
	s.mesh("near1", "p1", math::Vector3(0, 0, 5));
	s.render();
	EXPECT_EQ(s.draws(), (Strings{"near0", "far0", "far1", "near1"}));
}

TEST(CameraTest, OnlyPrioritiesFromMinus100To100AreDrawnInAscendingOrder) {
	FakeScene s;
	const int priorities[] = {150, 0, -3, -200};
	for (int p : priorities) {
		const std::string name = "fx" + std::to_string(p);
		s.context->setEffect(name, p);
		s.mesh("a" + std::to_string(p), name, math::Vector3(0, 0, 5));
		s.mesh("b" + std::to_string(p), name, math::Vector3(0, 0, 9));
	}
	s.render();
	EXPECT_EQ(s.draws(), (Strings{"b-3", "a-3", "a0", "b0"}));
	EXPECT_EQ(s.camera->getPriorities().size(), 4);
}

TEST(CameraTest, CullingAndDisabledNodes) {
	FakeScene s;
	s.mesh("front", "fx", math::Vector3(0, 0, 20));
	s.mesh("behind", "fx", math::Vector3(0, 0, -20));
	s.mesh("beyondBack", "fx", math::Vector3(0, 0, 2000));
	s.mesh("left", "fx", math::Vector3(-100, 0, 20));
	// A mesh with a large box but a small radius is kept by its corner lengths.
	Mesh* wide = s.mesh("wide", "fx", math::Vector3(-40, 0, 20));
	wide->setBoundBox(math::Vector3(0, 0, 0), math::Vector3(30, 0, 0));
	wide->setBoundRadius(0.5f);
	// Disabled: not drawn, its enabled child is.
	Mesh* off = s.mesh("off", "fx", math::Vector3(0, 0, 30));
	off->setEnabled(false);
	s.mesh("child", "fx", math::Vector3(0, 0, 1), off);
	// Unbounded visuals are never culled, wherever they are.
	ProbeVisual* probe = new ProbeVisual(&s.context->log, s.context->shader("fx"));
	probe->setName("probe");
	probe->setPosition(math::Vector3(0, 0, -5000));
	probe->linkTo(s.root);
	s.render();
	Strings drawn = s.draws();
	std::sort(drawn.begin(), drawn.end());
	EXPECT_EQ(drawn, (Strings{"child", "front", "probe", "wide"}));
	EXPECT_EQ(s.camera->getVisuals().size(), 4);

	// Culling remembers the plane that rejected the visual.
	Mesh* beyond = static_cast<Mesh*>(s.root->findInSubtree("beyondBack"));
	EXPECT_EQ(beyond->cullPlane(), hgr::ViewFrustum::PLANE_BACK);
}

TEST(CameraTest, WorldBoxVisualsUseTheirRadiusAndWorldCentre) {
	FakeScene s;
	// A world box far to the side with a radius that reaches nowhere: culled
	// by the radius alone (corner lengths are not used for world boxes).
	Mesh* m = s.mesh("worldbox", "fx", math::Vector3(0, 0, 20));
	m->setWorldBoundBox(math::Vector3(-500, 0, 0), math::Vector3(500, 0, 0));
	m->setBoundRadius(1.f);
	m->setPosition(math::Vector3(-300, 0, 20));
	s.render();
	EXPECT_TRUE(s.draws().empty());

	// Depth comes from the world box centre, untransformed.
	m->setPosition(math::Vector3(0, 0, 20));
	m->setWorldBoundBox(math::Vector3(0, 0, 99), math::Vector3(0, 0, 101));
	s.mesh("mid", "fx", math::Vector3(0, 0, 50));
	s.context->log.clear();
	s.render();
	EXPECT_EQ(s.draws(), (Strings{"mid", "worldbox"}));
}

TEST(CameraTest, TransformSlotsAndWorldTransforms) {
	FakeScene s;
	s.root->setPosition(math::Vector3(1, 0, 0));
	Node* a = new Node;
	a->linkTo(s.root);
	a->setPosition(math::Vector3(0, 2, 0));
	Node* b = new Node;
	b->linkTo(a);
	b->setPosition(math::Vector3(0, 0, 3));
	s.render();
	const auto& nodes = s.camera->getNodes();
	ASSERT_EQ(nodes.size(), 4);
	EXPECT_EQ(nodes[0], s.root.ptr());
	for (int i = 0; i < nodes.size(); ++i)
		EXPECT_EQ(nodes[i]->getTransformIndex(), i);
	const math::Vector3 t = s.camera->getWorldTransforms()[b->getTransformIndex()].getTranslation();
	EXPECT_EQ(t.x, 1.f);
	EXPECT_EQ(t.y, 2.f);
	EXPECT_EQ(t.z, 3.f);
	EXPECT_EQ(s.camera->getCameraWorldTransform().getTranslation().x, 1.f);
	EXPECT_EQ(s.camera->getCameraViewTransform().getTranslation().x, -1.f);
}

TEST(CameraTest, ProjectionUsesTheCurrentAspectFromTheFirstFrame) {
	FakeScene s(800, 400);
	s.camera->setResetProjection(true);
	s.render();
	auto calls = s.context->log.find("context.setPerspectiveProjection");
	ASSERT_EQ(calls.size(), 1u);
	EXPECT_FLOAT_EQ(calls[0]->vector.w, 2.f);
	EXPECT_NEAR(calls[0]->vector.x, s.camera->getHorizontalFov(), 1e-6f);
	EXPECT_FLOAT_EQ(calls[0]->vector.y, 1.f);
	EXPECT_FLOAT_EQ(calls[0]->vector.z, 1000.f);
	EXPECT_EQ(s.context->log.texts("context.")[0], "context.resetProjection 1");

	// The first frame after a resize projects with the new aspect too.
	s.context->width = 300;
	s.context->height = 300;
	s.context->log.clear();
	s.render();
	calls = s.context->log.find("context.setPerspectiveProjection");
	ASSERT_EQ(calls.size(), 1u);
	EXPECT_FLOAT_EQ(calls[0]->vector.w, 1.f);

	// A target without area keeps the last aspect.
	s.context->height = 0;
	s.context->log.clear();
	s.render();
	EXPECT_FLOAT_EQ(s.context->log.find("context.setPerspectiveProjection")[0]->vector.w, 1.f);
}

TEST(CameraTest, MirroringPlatformRestoresTheCameraTransform) {
	FakeScene s;
	s.context->platform = gr::Context::PLATFORM_N3D;
	s.camera->setRotation(math::Matrix3x3::rotation(math::Vector3(0, 1, 0), 0.4f));
	s.camera->setPosition(math::Vector3(1, 2, 3));
	const math::Matrix3x4 before = s.camera->getTransform();
	s.mesh("m", "fx", math::Vector3(0, 0, 10));
	s.render();
	// During the pass the first column was negated.
	EXPECT_FLOAT_EQ(s.camera->getCameraWorldTransform().m[0][0], -before.m[0][0]);
	for (int i = 0; i < 3; ++i)
		for (int j = 0; j < 4; ++j)
			EXPECT_EQ(s.camera->getTransform().m[i][j], before.m[i][j]);

	// Also when drawing throws.
	Mesh* m = static_cast<Mesh*>(s.root->findInSubtree("m"));
	static_cast<test::FakePrimitive*>(m->getPrimitive(0))->throwOnRender = true;
	EXPECT_THROW(s.render(), std::runtime_error);
	for (int i = 0; i < 3; ++i)
		for (int j = 0; j < 4; ++j)
			EXPECT_EQ(s.camera->getTransform().m[i][j], before.m[i][j]);
	EXPECT_EQ(s.camera->getCurrentLights(), nullptr);
}

TEST(CameraTest, TreeWithMoreNodesThanTransformSlotsIsRefused) {
	FakeScene s;
	s.mesh("m", "fx", math::Vector3(0, 0, 10));
	s.render();
	ASSERT_EQ(s.draws().size(), 1u);
	Node* m = s.root->findInSubtree("m");
	const int slot = m->getTransformIndex();
	// 3 nodes so far; 65533 more make 65536.
	for (int i = 0; i < 65533; ++i)
		(new Node)->linkTo(s.root);
	s.context->log.clear();
	EXPECT_THROW(s.render(), lang::Exception);
	EXPECT_TRUE(s.context->log.calls.empty());
	EXPECT_EQ(m->getTransformIndex(), slot);

	// One fewer fits: slots run up to 65534.
	s.root->getFirstChild()->unlink();
	s.render();
	EXPECT_EQ(s.draws().size(), 1u);
	EXPECT_EQ(s.camera->getNodes()[65534]->getTransformIndex(), 65534);
}

TEST(PipeSetupTest, PreparesListsAndFollowsTheContextSize) {
	FakeScene s;
	s.context->setEffect("two", 2);
	s.mesh("a", "fx", math::Vector3(0, 0, 10));
	s.mesh("b", "two", math::Vector3(0, 0, 20));
	s.mesh("hidden", "fx", math::Vector3(0, 0, -10));
	Ptr<hgr::PipeSetup> setup = new hgr::PipeSetup(s.context);
	EXPECT_FALSE(setup->isValid());
	setup->setup(s.camera);
	EXPECT_TRUE(setup->isValid());
	EXPECT_EQ(setup->getNodes().size(), 5);
	EXPECT_EQ(setup->getVisuals().size(), 2);
	EXPECT_EQ(setup->getShaders().size(), 2);
	EXPECT_EQ(setup->getPriorities().size(), 2);
	EXPECT_EQ(setup->getContext(), s.context.ptr());
	setup->setTechnique("Shadow");
	EXPECT_EQ(s.context->log.containing(".setTechnique Shadow").size(), 2u);
	EXPECT_TRUE(s.draws().empty());
	s.context->width = 100;
	EXPECT_FALSE(setup->isValid());
}

} // namespace
