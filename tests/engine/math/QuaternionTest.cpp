#include "MathExpect.h"

using math::Matrix3x3;
using math::Quaternion;
using math::Vector3;
using mathtest::kPi;
using mathtest::near;

namespace {

// q and -q are the same rotation.
::testing::AssertionResult sameRotation(const Quaternion& a, const Quaternion& b) {
	return a.dot(b) >= 0.f ? near(a, b) : near(a, -b);
}

} // namespace

// Rotations that reach each way of reading a matrix: positive trace, and the largest
// diagonal element at 0, 1 and 2 (including ties).
TEST(Quaternion, FromMatrixBranches) {
	struct Case {
		const char* name;
		Vector3 axis;
		float angle;
	};
	const Case cases[] = {
		{"identity", Vector3(1, 0, 0), 0.f},
		{"small turn", Vector3(1, 2, 3), 0.2f},
		{"half turn about x", Vector3(1, 0, 0), kPi},
		{"half turn about y", Vector3(0, 1, 0), kPi},
		{"half turn about z", Vector3(0, 0, 1), kPi},
		{"half turn about x+y", Vector3(1, 1, 0), kPi},
		{"half turn about y+z", Vector3(0, 1, 1), kPi},
		{"half turn about x+z", Vector3(1, 0, 1), kPi},
		{"near half turn about z", Vector3(0.1f, -0.2f, 1), 3.0f},
		{"two thirds turn", Vector3(1, 1, 1), 2.1f},
	};
	for (const Case& c : cases) {
		const Matrix3x3 R = Matrix3x3::rotation(c.axis, c.angle);
		const Vector3 u = c.axis.normalize() * std::sin(c.angle / 2);
		const Quaternion want(u.x, u.y, u.z, std::cos(c.angle / 2));
		const Quaternion q(R);
		EXPECT_TRUE(sameRotation(q, want)) << c.name;
		EXPECT_NEAR(q.length(), 1.f, 1e-5f) << c.name;
		EXPECT_TRUE(near(Matrix3x3::fromQuaternion(q), R)) << c.name;
	}
}

TEST(Quaternion, RoundTripsOnRandomRotations) {
	mathtest::Random rnd(2024);
	for (int n = 0; n < 500; ++n) {
		const Matrix3x3 R = rnd.rotation();
		const Quaternion q(R);
		ASSERT_TRUE(near(Matrix3x3::fromQuaternion(q), R, 2e-5f)) << n;

		const Vector3 u = rnd.unitVector() * std::sin(rnd.uniform(-1.5f, 1.5f));
		const Quaternion p(u.x, u.y, u.z, std::sqrt(1.f - u.dot(u)));
		ASSERT_TRUE(sameRotation(Quaternion(Matrix3x3::fromQuaternion(p)), p)) << n;
	}
}

TEST(Quaternion, ProductComposesLikeMatrices) {
	mathtest::Random rnd(9);
	for (int n = 0; n < 50; ++n) {
		const Matrix3x3 A = rnd.rotation(), B = rnd.rotation();
		const Quaternion q = Quaternion(A) * Quaternion(B);
		ASSERT_TRUE(near(Matrix3x3::fromQuaternion(q), A * B)) << n;
		ASSERT_TRUE(near(Matrix3x3::fromQuaternion(Quaternion(A).conjugate()), A.transpose())) << n;
	}
}

TEST(Quaternion, Normalize) {
	EXPECT_TRUE(near(Quaternion(0, 3, 0, 4).normalize(), Quaternion(0, 0.6f, 0, 0.8f)));
	EXPECT_TRUE(near(Quaternion(0, 0, 0, -2).normalize(), Quaternion(0, 0, 0, -1)));
}

TEST(Quaternion, SlerpTable) {
	const float h = std::sqrt(0.5f);
	const Quaternion id;
	const Quaternion quarterZ(0, 0, h, h);
	const Quaternion eighthZ(0, 0, std::sin(kPi / 8), std::cos(kPi / 8));
	const Quaternion q = Quaternion(0.1f, -0.5f, 0.3f, 0.8f).normalize();
	struct Case {
		const char* name;
		Quaternion a, b;
		float t;
		Quaternion want;
	};
	const Case cases[] = {
		{"start", id, quarterZ, 0.f, id},
		{"end", id, quarterZ, 1.f, quarterZ},
		{"middle", id, quarterZ, 0.5f, eighthZ},
		{"same, t 0.3", q, q, 0.3f, q},
		{"same, t 0.9", q, q, 0.9f, q},
		{"same, t 2", q, q, 2.f, q},
		// Opposite quaternions: the sine of the angle is no longer above the threshold.
		{"opposite", q, -q, 0.5f, q},
		// No shorter-arc flip: from id towards -quarterZ goes the long way round.
		{"long arc middle", id, -quarterZ, 0.5f, Quaternion(0, 0, -std::sin(3 * kPi / 8), std::cos(3 * kPi / 8))},
	};
	for (const Case& c : cases)
		EXPECT_TRUE(near(Quaternion::slerp(c.a, c.b, c.t), c.want, 1e-4f)) << c.name;
}
