#include <hgr/Light.h>
#include <hgr/LightSorter.h>

#include <gtest/gtest.h>

#include <cmath>

using hgr::Light;
using hgr::LightSorter;
using hgr::Node;
using lang::Ptr;

namespace {

Light* lightAt(Node* parent, float x, float y, float z) {
	Light* l = new Light;
	l->setPosition(math::Vector3(x, y, z));
	if (parent)
		l->linkTo(parent);
	return l;
}

TEST(LightTest, Defaults) {
	Ptr<Light> l = new Light;
	EXPECT_EQ(l->getClassId(), Node::NODE_LIGHT);
	EXPECT_EQ(l->getType(), 2);
	EXPECT_EQ(l->getFlags(), 0x40 | 0x8 | 1);
	EXPECT_EQ(l->getColor().x, 1.f);
	EXPECT_EQ(l->getNearRange(), 1e9f);
	EXPECT_EQ(l->getFarRange(), 1e9f);
	EXPECT_FLOAT_EQ(l->getOuterCone(), 3.1384511f);
	l->setType(3);
	EXPECT_EQ(l->getType(), 3);
	EXPECT_EQ(l->getClassId(), Node::NODE_LIGHT);
}

TEST(LightTest, DistanceFalloff) {
	Ptr<Light> l = new Light;
	l->setFarRange(5e9f);
	EXPECT_EQ(l->getFarRange(), 1e9f);
	EXPECT_EQ(l->getDistanceFalloff(1e12f), 1.f);

	l->setNearRange(10.f);
	l->setFarRange(20.f);
	const struct {
		float d;
		float expected;
	} cases[] = {{0.f, 1.f}, {10.f, 1.f}, {15.f, 0.5f}, {20.f, 0.f}, {25.f, 0.f}, {12.5f, 0.84375f}};
	for (const auto& c : cases)
		EXPECT_NEAR(l->getDistanceFalloff(c.d), c.expected, 1e-6f) << c.d;
}

TEST(LightTest, ConeFalloff) {
	Ptr<Light> l = new Light;
	EXPECT_EQ(l->getConeFalloff(-1.f), 1.f); // type 2 ignores the cone
	l->setType(3);
	l->setInnerCone(0.5f);
	l->setOuterCone(1.0f);
	const float t = (0.7f - std::cos(1.0f)) / (std::cos(0.5f) - std::cos(1.0f));
	EXPECT_NEAR(l->getConeFalloff(0.7f), t * t * (3 - 2 * t), 1e-6f);
	EXPECT_EQ(l->getConeFalloff(0.1f), 0.f);
	EXPECT_EQ(l->getConeFalloff(0.99f), 1.f);
}

TEST(LightTest, Illuminate) {
	Ptr<Node> root = new Node;
	Light* l = lightAt(root, 0, 10, 0);
	l->setColor(math::Vector3(1, 0.5f, 0.25f));
	math::Vector3 c;
	l->illuminate(math::Vector3(0, 0, 0), math::Vector3(0, 1, 0), c);
	EXPECT_NEAR(c.x, 1.f, 1e-6f);
	EXPECT_NEAR(c.y, 0.5f, 1e-6f);

	// Surface facing away from the light.
	l->illuminate(math::Vector3(0, 11, 0), math::Vector3(0, 1, 0), c);
	EXPECT_EQ(c.x, 0.f);

	// At an angle, with the distance falloff halfway.
	l->setNearRange(10.f);
	l->setFarRange(20.f);
	root->setPosition(math::Vector3(0, 5, 0)); // light now at y = 15
	l->illuminate(math::Vector3(0, 0, 0), math::Vector3(0, 1, 0), c);
	EXPECT_NEAR(c.x, 0.5f, 1e-6f);

	l->setEnabled(false);
	l->illuminate(math::Vector3(0, 0, 0), math::Vector3(0, 1, 0), c);
	EXPECT_EQ(c.x, 0.f);
}

TEST(LightTest, CloneCopiesFields) {
	Ptr<Light> l = new Light;
	l->setColor(math::Vector3(0.1f, 0.2f, 0.3f));
	l->setNearRange(3.f);
	l->setType(1);
	Ptr<Node> c = l->clone();
	ASSERT_EQ(c->getClassId(), Node::NODE_LIGHT);
	Light* copy = static_cast<Light*>(c.ptr());
	EXPECT_EQ(copy->getColor().z, 0.3f);
	EXPECT_EQ(copy->getNearRange(), 3.f);
	EXPECT_EQ(copy->getType(), 1);
}

TEST(LightSorterTest, NearestFirstAndAtMostMaxCount) {
	Ptr<Node> root = new Node;
	for (int i = 11; i >= 0; --i)
		lightAt(root, float(i), 0, 0)->setName(lang::String(std::to_string(i).c_str()));
	Light* off = lightAt(root, 0.5f, 0, 0);
	off->setEnabled(false);
	Ptr<Node> plain = new Node;
	plain->linkTo(root);

	LightSorter sorter;
	sorter.collectLights(root);
	EXPECT_EQ(sorter.getLightCount(), 12);

	sorter.sortByDistance(math::Vector3(3.2f, 0, 0), 8);
	ASSERT_EQ(sorter.getResultCount(), 8);
	const char* expected[] = {"3", "4", "2", "5", "1", "6", "0", "7"};
	for (int i = 0; i < 8; ++i)
		EXPECT_EQ(sorter.getResult(i)->getName().compareTo(expected[i]), 0) << i;

	LightSorter few;
	few.addLight(root->findInSubtree("9"));
	few.addLight(root->findInSubtree("2"));
	few.addLight(root->findInSubtree("5"));
	EXPECT_EQ(&few.sortByDistance(math::Vector3(), 8), &few);
	ASSERT_EQ(few.getResultCount(), 3);
	EXPECT_EQ(few.getResult(0)->getName().compareTo("2"), 0);
	EXPECT_EQ(few.getResult(2)->getName().compareTo("9"), 0);
}

TEST(LightSorterTest, EntriesHoldTheirLights) {
	LightSorter sorter;
	{
		Ptr<Node> root = new Node;
		lightAt(root, 1, 2, 3);
		sorter.collectLights(root);
	}
	// The tree is gone, the light is still there through the sorter.
	ASSERT_EQ(sorter.getLightCount(), 1);
	EXPECT_EQ(sorter.getLight(0)->referenceCount(), 1);
	sorter.sortByDistance(math::Vector3(), 8);
	EXPECT_EQ(sorter.getResult(0)->getPosition().z, 3.f);
	sorter.clear();
	EXPECT_EQ(sorter.getResultCount(), 0);
}

} // namespace
