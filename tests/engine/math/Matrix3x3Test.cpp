#include "MathExpect.h"

using math::Matrix3x3;
using math::Matrix3x4;
using math::Quaternion;
using math::Vector3;
using mathtest::kPi;
using mathtest::near;

namespace {

bool isRotation(const Matrix3x3& R) {
	return near(R * R.transpose(), Matrix3x3(1.f), 1e-5f) && std::fabs(R.determinant() - 1.f) < 1e-5f;
}

} // namespace

TEST(Matrix3x3, ConstructionAndColumns) {
	EXPECT_TRUE(near(Matrix3x3(2.f), Matrix3x3(2, 0, 0, 0, 2, 0, 0, 0, 2)));
	EXPECT_TRUE(near(Matrix3x3(), Matrix3x3(1.f)));

	Matrix3x4 M(0.f);
	for (int i = 0; i < 3; ++i)
		for (int j = 0; j < 4; ++j)
			M.m[i][j] = float(i * 4 + j);
	EXPECT_TRUE(near(Matrix3x3(M), Matrix3x3(0, 1, 2, 4, 5, 6, 8, 9, 10)));
	EXPECT_TRUE(near(Matrix3x3(M).getColumn(1), Vector3(1, 5, 9)));
}

TEST(Matrix3x3, RotationAboutScaledAxis) {
	const Matrix3x3 R = Matrix3x3::rotation(Vector3(0, 0, 2), kPi / 2);
	EXPECT_TRUE(near(R.transform(Vector3(1, 0, 0)), Vector3(0, 1, 0)));
	EXPECT_TRUE(near(R * Vector3(0, 1, 0), Vector3(-1, 0, 0)));
}

// For random axes and angles: orthonormal, determinant 1, the axis is fixed, and a
// perpendicular vector turns by the angle counter-clockwise seen from the axis tip.
TEST(Matrix3x3, RandomRotationsAreRightHanded) {
	mathtest::Random rnd(7);
	for (int n = 0; n < 200; ++n) {
		const Vector3 axis = rnd.unitVector();
		const float angle = rnd.uniform(-3.f, 3.f);
		const Matrix3x3 R = Matrix3x3::rotation(axis * rnd.uniform(0.1f, 10.f), angle);
		ASSERT_TRUE(isRotation(R)) << n;
		ASSERT_TRUE(near(R.transform(axis), axis)) << n;
		const Vector3 perp = axis.cross(rnd.unitVector()).normalize();
		const Vector3 turned = R.transform(perp);
		ASSERT_NEAR(perp.dot(turned), std::cos(angle), 1e-5f) << n;
		ASSERT_NEAR(perp.cross(turned).dot(axis), std::sin(angle), 1e-5f) << n;
	}
}

TEST(Matrix3x3, ProductAppliesRightOperandFirst) {
	const Matrix3x3 Rz = Matrix3x3::rotation(Vector3(0, 0, 1), kPi / 2);
	const Matrix3x3 Rx = Matrix3x3::rotation(Vector3(1, 0, 0), kPi / 2);
	const Vector3 v(0, 1, 0);
	// Rx takes y to z, and Rz keeps z.
	EXPECT_TRUE(near((Rz * Rx).transform(v), Vector3(0, 0, 1)));
	// Rz takes y to -x, and Rx keeps x.
	EXPECT_TRUE(near((Rx * Rz).transform(v), Vector3(-1, 0, 0)));
}

TEST(Matrix3x3, FromQuaternionTable) {
	const float h = std::sqrt(0.5f);
	struct Case {
		const char* name;
		Quaternion q;
		Matrix3x3 want;
	};
	const Case cases[] = {
		{"identity", Quaternion(0, 0, 0, 1), Matrix3x3(1.f)},
		{"identity times 2", Quaternion(0, 0, 0, 2), Matrix3x3(1.f)},
		{"identity negated", Quaternion(0, 0, 0, -1), Matrix3x3(1.f)},
		{"quarter turn about z", Quaternion(0, 0, h, h), Matrix3x3(0, -1, 0, 1, 0, 0, 0, 0, 1)},
		{"quarter turn about z, length 3", Quaternion(0, 0, 3 * h, 3 * h), Matrix3x3(0, -1, 0, 1, 0, 0, 0, 0, 1)},
		{"half turn about x, length 0.5", Quaternion(0.5f, 0, 0, 0), Matrix3x3(1, 0, 0, 0, -1, 0, 0, 0, -1)},
	};
	for (const Case& c : cases)
		EXPECT_TRUE(near(Matrix3x3::fromQuaternion(c.q), c.want)) << c.name;
}

// Scaling a quaternion must not change its rotation (and must not add scale or shear).
TEST(Matrix3x3, FromQuaternionOfNonUnitQuaternionIsARotation) {
	mathtest::Random rnd(11);
	for (int n = 0; n < 100; ++n) {
		const Quaternion q(rnd.rotation());
		const float k = rnd.uniform(0.05f, 20.f);
		const Matrix3x3 R = Matrix3x3::fromQuaternion(q * k);
		ASSERT_TRUE(isRotation(R)) << "scale " << k;
		ASSERT_TRUE(near(R, Matrix3x3::fromQuaternion(q))) << "scale " << k;
	}
}

TEST(Matrix3x3, InverseTransposeDeterminant) {
	const Matrix3x3 A(2, 1, 0, 0, 3, 1, 1, 0, 4);
	EXPECT_FLOAT_EQ(A.determinant(), 2 * 12 - 1 * (0 - 1) + 0);
	EXPECT_TRUE(near(A * A.inverse(), Matrix3x3(1.f)));
	EXPECT_TRUE(near(A.inverse() * A, Matrix3x3(1.f)));
	EXPECT_TRUE(near(A.transpose(), Matrix3x3(2, 0, 1, 1, 3, 0, 0, 1, 4)));
	EXPECT_FALSE(Matrix3x3(1, 2, 3, 2, 4, 6, 0, 0, 1).inverse().isFinite());
	Vector3 out;
	A.transform(Vector3(1, 1, 1), out);
	EXPECT_TRUE(near(out, Vector3(3, 4, 5)));
}

TEST(Matrix3x3, OrthonormalizeKeepsFirstColumnAndTheOriginal) {
	Matrix3x3 skew;
	skew.setColumn(0, Vector3(2, 0, 0));
	skew.setColumn(1, Vector3(1, 3, 0));
	skew.setColumn(2, Vector3(1, 1, 5));
	const Matrix3x3 before = skew;
	const Matrix3x3 R = skew.orthonormalize();
	EXPECT_TRUE(near(R, Matrix3x3(1.f)));
	EXPECT_TRUE(near(skew, before));

	mathtest::Random rnd(3);
	const Matrix3x3 noisy = rnd.rotation() * Matrix3x3(1.1f, 0.05f, 0, 0.02f, 0.9f, 0.03f, 0, 0.01f, 1.2f);
	const Matrix3x3 fixed = noisy.orthonormalize();
	EXPECT_TRUE(isRotation(fixed));
	EXPECT_TRUE(near(fixed.getColumn(0), noisy.getColumn(0).normalize()));
}

TEST(Matrix3x3, BasisFromDirectionTable) {
	struct Case {
		const char* name;
		Vector3 dir, up, c0, c1;
	};
	const Case cases[] = {
		// Up parallel to the direction: (1, 0, 0) is taken instead.
		{"up along direction", Vector3(0, 1, 0), Vector3(0, 1, 0), Vector3(0, 0, 1), Vector3(1, 0, 0)},
		{"forward", Vector3(0, 0, 1), Vector3(0, 1, 0), Vector3(1, 0, 0), Vector3(0, 1, 0)},
		{"zero up", Vector3(0, 0, 1), Vector3(0, 0, 0), Vector3(0, -1, 0), Vector3(1, 0, 0)},
		// Up and (1, 0, 0) both parallel: (0, 0, 1) is next.
		{"along x", Vector3(-1, 0, 0), Vector3(2, 0, 0), Vector3(0, -1, 0), Vector3(0, 0, 1)},
	};
	for (const Case& c : cases) {
		const Matrix3x3 B = Matrix3x3::basisFromDirection(c.dir, c.up);
		EXPECT_TRUE(near(B.getColumn(0), c.c0)) << c.name;
		EXPECT_TRUE(near(B.getColumn(1), c.c1)) << c.name;
		EXPECT_TRUE(near(B.getColumn(2), c.dir)) << c.name;
	}
	EXPECT_TRUE(near(Matrix3x3::basisFromDirectionUpY(Vector3(0, 1, 0)),
					 Matrix3x3::basisFromDirection(Vector3(0, 1, 0), Vector3(0, 1, 0))));

	mathtest::Random rnd(5);
	for (int n = 0; n < 50; ++n)
		ASSERT_TRUE(isRotation(Matrix3x3::basisFromDirectionUpY(rnd.unitVector()))) << n;
}
