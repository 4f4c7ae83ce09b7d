#include <hgr/ViewFrustum.h>
#include <math/Matrix3x3.h>

#include <gtest/gtest.h>

#include <cmath>

using hgr::ViewFrustum;

namespace {

float valueAt(const math::Vector4& plane, const math::Vector3& p) {
	return plane.x * p.x + plane.y * p.y + plane.z * p.z + plane.w;
}

TEST(ViewFrustumTest, DefaultsAndFieldOfViewConversions) {
	ViewFrustum f;
	EXPECT_FLOAT_EQ(f.getAspect(), 1.33f);
	EXPECT_FLOAT_EQ(f.getFront(), 1.f);
	EXPECT_FLOAT_EQ(f.getBack(), 10000.f);
	EXPECT_FLOAT_EQ(f.getVerticalFov(), 1.2886412f);
	EXPECT_NEAR(f.getHorizontalFov(), 2.f * std::atan(std::tan(1.2886412f / 2.f) * 1.33f), 1e-6f);
	EXPECT_NEAR(f.getHorizontalFov(), 1.5700f, 1e-4f);

	f.setHorizontalFov(1.1f);
	EXPECT_NEAR(f.getHorizontalFov(), 1.1f, 1e-6f);
	const float v = f.getVerticalFov();
	f.setAspect(2.f);
	EXPECT_FLOAT_EQ(f.getVerticalFov(), v);
	EXPECT_GT(f.getHorizontalFov(), 1.2f);

	EXPECT_NEAR(ViewFrustum::horizontalFovFromVertical(ViewFrustum::verticalFovFromHorizontal(0.9f, 1.f, 1.6f), 1.f,
													   1.6f),
				0.9f, 1e-6f);
	f.setAspect(1.f);
	f.setHorizontalFov(1.5707964f);
	EXPECT_NEAR(f.getFrontWidth(), 2.f, 1e-5f);
	EXPECT_NEAR(f.getFrontHeight(), 2.f, 1e-5f);
}

TEST(ViewFrustumTest, PointsAgainstPlanesOfIdentityCamera) {
	ViewFrustum f;
	f.setBack(100.f);
	math::Vector4 planes[6];
	f.updatePlanes(math::Matrix3x4(), planes);
	struct Case {
		math::Vector3 p;
		int outside; // plane with a positive value, -1 for inside all
	};
	const Case cases[] = {
		{{0, 0, 0.5f}, ViewFrustum::PLANE_FRONT},
		{{0, 0, 150}, ViewFrustum::PLANE_BACK},
		{{0, 0, 50}, -1},
		{{-200, 0, 50}, ViewFrustum::PLANE_LEFT},
		{{200, 0, 50}, ViewFrustum::PLANE_RIGHT},
		{{0, 200, 50}, ViewFrustum::PLANE_TOP},
		{{0, -200, 50}, ViewFrustum::PLANE_BOTTOM},
	};
	for (const Case& c : cases) {
		for (int i = 0; i < 6; ++i) {
			if (i == c.outside)
				EXPECT_GT(valueAt(planes[i], c.p), 0.f) << "plane " << i;
			else
				EXPECT_LE(valueAt(planes[i], c.p), 0.f) << "plane " << i << " point z " << c.p.z;
		}
	}
	// Camera-space normals as given: left (-cos a, 0, -sin a), top (0, cos v/2, -sin v/2).
	const float a = std::atan(std::tan(f.getVerticalFov() / 2.f) * f.getAspect());
	EXPECT_NEAR(planes[0].x, -std::cos(a), 1e-5f);
	EXPECT_NEAR(planes[0].z, -std::sin(a), 1e-5f);
	EXPECT_NEAR(planes[4].y, std::cos(f.getVerticalFov() / 2.f), 1e-5f);
}

TEST(ViewFrustumTest, PlanesFollowTheCameraTransform) {
	ViewFrustum f;
	f.setBack(100.f);
	math::Vector4 planes[6];
	// Looking along -x from (10, 0, 0).
	const math::Matrix3x4 M(math::Matrix3x3::rotation(math::Vector3(0, 1, 0), -1.5707964f), math::Vector3(10, 0, 0));
	f.updatePlanes(M, planes);
	int cached = 0;
	const math::Matrix3x4 at(math::Matrix3x3(), math::Vector3(-30, 0, 0));
	EXPECT_TRUE(ViewFrustum::testSphere(at, planes, cached, 1.f));
	const math::Matrix3x4 behind(math::Matrix3x3(), math::Vector3(30, 0, 0));
	EXPECT_FALSE(ViewFrustum::testSphere(behind, planes, cached, 1.f));
}

TEST(ViewFrustumTest, ZeroFrontDistanceGivesFinitePlanes) {
	ViewFrustum f;
	f.setFront(0.f);
	math::Vector4 planes[6];
	f.updatePlanes(math::Matrix3x4(), planes);
	for (int i = 0; i < 6; ++i)
		EXPECT_TRUE(planes[i].isFinite()) << "plane " << i;
	int cached = 0;
	EXPECT_TRUE(
		ViewFrustum::testSphere(math::Matrix3x4(math::Matrix3x3(), math::Vector3(0, 0, 5)), planes, cached, 0.1f));
	EXPECT_FALSE(
		ViewFrustum::testSphere(math::Matrix3x4(math::Matrix3x3(), math::Vector3(50, 0, 5)), planes, cached, 0.1f));
}

TEST(ViewFrustumTest, SphereTestEdgeScaleAndCache) {
	math::Vector4 planes[6];
	for (int i = 0; i < 6; ++i)
		planes[i] = math::Vector4(0, 0, 0, -1000.f); // everything inside
	planes[3] = math::Vector4(1, 0, 0, 0);			 // outside where x > 0

	struct Case {
		float x;
		float scale;
		float radius;
		bool visible;
	};
	const Case cases[] = {
		{1.f, 1.f, 1.f, true}, // value equal to the radius
		{1.001f, 1.f, 1.f, false},
		{1.9f, 2.f, 1.f, true}, // uniform scale 2 doubles the radius
		{2.1f, 2.f, 1.f, false},
		{1.001f, std::sqrt(1.000009f), 1.f, false}, // squared length within 1e-5 of 1: radius unchanged
	};
	for (const Case& c : cases) {
		math::Matrix3x4 T(c.scale);
		T.setTranslation(math::Vector3(c.x, 0, 0));
		int cached = 0;
		EXPECT_EQ(ViewFrustum::testSphere(T, planes, cached, c.radius), c.visible) << c.x << " scale " << c.scale;
		EXPECT_EQ(cached, c.visible ? 0 : 3);
	}

	// The plane that culled last is tested first; out-of-range indices start at 0.
	planes[3] = math::Vector4(0, 0, 0, -1000.f);
	planes[4] = math::Vector4(1, 0, 0, 0);
	planes[1] = math::Vector4(1, 0, 0, 0);
	int cached = 4;
	EXPECT_FALSE(
		ViewFrustum::testSphere(math::Matrix3x4(math::Matrix3x3(), math::Vector3(5, 0, 0)), planes, cached, 1.f));
	EXPECT_EQ(cached, 4);
	cached = 9;
	EXPECT_FALSE(
		ViewFrustum::testSphere(math::Matrix3x4(math::Matrix3x3(), math::Vector3(5, 0, 0)), planes, cached, 1.f));
	EXPECT_EQ(cached, 1);
}

TEST(ViewFrustumTest, BoxTests) {
	ViewFrustum f;
	f.setBack(100.f);
	math::Vector4 planes[6];
	f.updatePlanes(math::Matrix3x4(), planes);
	int cached = 7;
	// A box straddling the front plane is visible; one wholly right of the view is not.
	EXPECT_TRUE(
		ViewFrustum::testBox(math::Matrix3x4(), planes, cached, math::Vector3(-1, -1, 0), math::Vector3(1, 1, 2)));
	EXPECT_EQ(cached, 0);
	EXPECT_FALSE(ViewFrustum::testBox(math::Matrix3x4(math::Matrix3x3(), math::Vector3(200, 0, 50)), planes, cached,
									  math::Vector3(-1, -1, -1), math::Vector3(1, 1, 1)));
	EXPECT_EQ(cached, ViewFrustum::PLANE_RIGHT);
	EXPECT_TRUE(ViewFrustum::testWorldBox(planes, math::Vector3(-1, -1, 40), math::Vector3(1, 1, 60)));
	EXPECT_FALSE(ViewFrustum::testWorldBox(planes, math::Vector3(-1, -1, 140), math::Vector3(1, 1, 160)));
}

} // namespace
