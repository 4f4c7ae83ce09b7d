#include "MathExpect.h"

#include <limits>

using math::Vector3;
using math::Vector4;
using mathtest::kPi;
using mathtest::near;

TEST(Vector3, ArithmeticTable) {
	const Vector3 a(1.f, 2.f, 3.f), b(-4.f, 0.5f, 2.f);
	struct Case {
		const char* name;
		Vector3 got, want;
	};
	const Case cases[] = {
		{"sum", a + b, Vector3(-3.f, 2.5f, 5.f)},
		{"difference", a - b, Vector3(5.f, 1.5f, 1.f)},
		{"negation", -a, Vector3(-1.f, -2.f, -3.f)},
		{"scaling", a * 2.f, Vector3(2.f, 4.f, 6.f)},
		{"scaling on the left", 0.5f * a, Vector3(0.5f, 1.f, 1.5f)},
		{"cross x y", Vector3(1, 0, 0).cross(Vector3(0, 1, 0)), Vector3(0, 0, 1)},
		{"cross y z", Vector3(0, 1, 0).cross(Vector3(0, 0, 1)), Vector3(1, 0, 0)},
		{"cross z x", Vector3(0, 0, 1).cross(Vector3(1, 0, 0)), Vector3(0, 1, 0)},
		{"cross anticommutes", b.cross(a), -(a.cross(b))},
	};
	for (const Case& c : cases)
		EXPECT_TRUE(near(c.got, c.want)) << c.name;

	Vector3 v = a;
	v += b;
	EXPECT_TRUE(near(v, a + b));
	v -= b;
	EXPECT_TRUE(near(v, a));
	v *= 3.f;
	EXPECT_TRUE(near(v, a * 3.f));

	EXPECT_FLOAT_EQ(a.dot(b), -4.f + 1.f + 6.f);
	EXPECT_FLOAT_EQ(Vector3(3.f, 0.f, 4.f).length(), 5.f);
	EXPECT_FLOAT_EQ(a.cross(b).dot(a), 0.f);
}

TEST(Vector3, NormalizeTable) {
	struct Case {
		Vector3 in, want;
	};
	const Case cases[] = {
		{Vector3(0, 0, 0), Vector3(0, 0, 0)},
		{Vector3(3, 0, 4), Vector3(0.6f, 0, 0.8f)},
		{Vector3(0, -2, 0), Vector3(0, -1, 0)},
		// Length below the smallest normal float counts as zero.
		{Vector3(1e-39f, 0, 0), Vector3(0, 0, 0)},
		// The squares underflow first: the length is computed as 0.
		{Vector3(0, 0, 1e-37f), Vector3(0, 0, 0)},
		{Vector3(0, 0, 1e-18f), Vector3(0, 0, 1)},
	};
	for (const Case& c : cases)
		EXPECT_TRUE(near(c.in.normalize(), c.want)) << c.in.x << " " << c.in.y << " " << c.in.z;
}

TEST(Vector3, RotateIsRightHandedAndIgnoresAxisLength) {
	const float a = 0.3f;
	struct Case {
		Vector3 v, axis;
		float angle;
		Vector3 want;
	};
	const Case cases[] = {
		{Vector3(1, 0, 0), Vector3(0, 0, 1), kPi / 2, Vector3(0, 1, 0)},
		{Vector3(1, 0, 0), Vector3(0, 0, 2), kPi / 2, Vector3(0, 1, 0)},
		{Vector3(0, 1, 0), Vector3(1, 0, 0), kPi / 2, Vector3(0, 0, 1)},
		{Vector3(0, 0, 1), Vector3(0, 5, 0), kPi / 2, Vector3(1, 0, 0)},
		{Vector3(2, 3, 4), Vector3(1, 1, 1), 0.f, Vector3(2, 3, 4)},
		// The side planes of a view frustum.
		{Vector3(-1, 0, 0), Vector3(0, 1, 0), -a, Vector3(-std::cos(a), 0, -std::sin(a))},
		{Vector3(1, 0, 0), Vector3(0, 1, 0), a, Vector3(std::cos(a), 0, -std::sin(a))},
		{Vector3(0, 1, 0), Vector3(1, 0, 0), -a, Vector3(0, std::cos(a), -std::sin(a))},
		{Vector3(0, -1, 0), Vector3(1, 0, 0), a, Vector3(0, -std::cos(a), -std::sin(a))},
	};
	for (const Case& c : cases)
		EXPECT_TRUE(near(c.v.rotate(c.axis, c.angle), c.want)) << "angle " << c.angle;
}

TEST(Vector, FinitenessTable) {
	const float inf = std::numeric_limits<float>::infinity();
	const float nan = std::numeric_limits<float>::quiet_NaN();
	const float big = std::numeric_limits<float>::max();
	struct Case {
		Vector4 v;
		bool finite;
	};
	const Case cases[] = {
		{Vector4(0, 0, 0, 0), true},	 {Vector4(big, -big, 1, 2), true}, {Vector4(inf, 0, 0, 0), false},
		{Vector4(0, -inf, 0, 0), false}, {Vector4(0, 0, nan, 0), false},   {Vector4(0, 0, 0, nan), false},
	};
	for (const Case& c : cases)
		EXPECT_EQ(c.v.isFinite(), c.finite) << c.v.x << " " << c.v.y << " " << c.v.z << " " << c.v.w;
	EXPECT_TRUE(Vector3(big, 0, -big).isFinite());
	EXPECT_FALSE(Vector3(0, nan, 0).isFinite());
	EXPECT_FALSE(Vector3(0, 0, -inf).isFinite());
}

TEST(Vector4, XyzSharesStorage) {
	Vector4 v(Vector3(1, 2, 3), 4);
	EXPECT_TRUE(near(v, Vector4(1, 2, 3, 4)));
	v.xyz() = Vector3(5, 6, 7);
	EXPECT_TRUE(near(v, Vector4(5, 6, 7, 4)));
	v.xyz().y = 9;
	EXPECT_EQ(v.y, 9.f);
	const Vector4& c = v;
	EXPECT_EQ(&c.xyz().z, &v.z);
}

TEST(Vector4, ArithmeticAndDot) {
	const Vector4 a(1, 2, 3, 4), b(0.5f, -1, 2, -2);
	EXPECT_TRUE(near(a + b, Vector4(1.5f, 1, 5, 2)));
	EXPECT_TRUE(near(a - b, Vector4(0.5f, 3, 1, 6)));
	EXPECT_TRUE(near(a * 2, Vector4(2, 4, 6, 8)));
	EXPECT_FLOAT_EQ(a.dot(b), 0.5f - 2 + 6 - 8);
}

TEST(Vector4, PlaneSignedValues) {
	// Plane y = 2 with the normal up; the normal is used as passed (not normalised).
	const Vector4 plane = math::makePlane(Vector3(0, 2, 0), Vector3(7, 2, -3));
	EXPECT_TRUE(near(plane, Vector4(0, 2, 0, -4)));
	struct Case {
		Vector3 p;
		float value;
	};
	const Case cases[] = {
		{Vector3(0, 2, 0), 0.f},
		{Vector3(5, 3, 1), 2.f},
		{Vector3(-5, 0, 1), -4.f},
	};
	for (const Case& c : cases)
		EXPECT_FLOAT_EQ(plane.dot(Vector4(c.p, 1)), c.value) << c.p.y;
}
