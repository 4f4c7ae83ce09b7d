#include "FakeScene.h"
#include "support/AllocationCounter.h"

#include <hgr/Light.h>

#include <gtest/gtest.h>

namespace {

using hgr::Light;
using hgr::Mesh;

TEST(RenderAllocationTest, SecondIdenticalFrameAllocatesNothing) {
	FakeScene s;
	s.context->setEffect("odd", 1);
	s.context->setEffect("twice", 0, 2);
	for (int i = 0; i < 12; ++i) {
		Light* l = new Light;
		l->setName(("light" + std::to_string(i)).c_str());
		l->setPosition(math::Vector3(float(i), 0, 0));
		l->linkTo(s.root);
	}
	for (int i = 0; i < 50; ++i) {
		Mesh* m = s.mesh("m" + std::to_string(i), i % 3 ? "fx" : "odd", math::Vector3(float(i % 7), 0, float(5 + i)));
		if (i % 5 == 0)
			s.addPrimitive(m, "extra", "twice");
	}
	for (int i = 0; i < 20; ++i)
		s.mesh("culled" + std::to_string(i), "fx", math::Vector3(0, 0, -50.f - i));
	Mesh* own = s.mesh("own", "fx", math::Vector3(0, 0, 8));
	own->addLight(static_cast<Light*>(s.root->findInSubtree("light3")));
	Mesh* skin = s.mesh("skin", "fx", math::Vector3(0, 0, 9), nullptr, true);
	skin->addBone(s.root->findInSubtree("m1"), math::Matrix3x4());
	skin->addBone(s.root->findInSubtree("m2"), math::Matrix3x4());
	const uint8_t used[] = {1, 0};
	skin->getPrimitive(0)->setUsedBones(used, 2);
	hgr::Lines* lines = new hgr::Lines(s.context, "lines");
	lines->linkTo(s.root);
	for (int i = 0; i < 30; ++i)
		lines->addLine(math::Vector3(0, 0, float(i)), math::Vector3(1, 0, float(i)), math::Vector4(1, 1, 1, 1));

	s.context->log.enabled = false;
	s.render();
	const long before = test::allocationCount();
	s.render();
	EXPECT_EQ(test::allocationCount() - before, 0);

	// Everything was drawn: the counter would see the fake's log if it were on.
	EXPECT_EQ(s.camera->getVisuals().size(), 53);
}

TEST(RenderAllocationTest, CounterSeesAllocations) {
	const long before = test::allocationCount();
	lang::Ptr<hgr::Node> n = new hgr::Node;
	const long after = test::allocationCount();
	EXPECT_EQ(after - before, 1);
}

} // namespace
