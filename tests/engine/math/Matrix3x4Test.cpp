#include "MathExpect.h"

using math::Matrix3x3;
using math::Matrix3x4;
using math::Matrix4x4;
using math::Quaternion;
using math::Vector3;
using mathtest::kPi;
using mathtest::near;

namespace {

Matrix3x4 translation(const Vector3& t) {
	Matrix3x4 M(1.f);
	M.setTranslation(t);
	return M;
}

} // namespace

TEST(Matrix3x4, DiagonalConstruction) {
	const Matrix3x4 I(1.f);
	const Vector3 p(3, -4, 5);
	EXPECT_TRUE(near(I.transform(p), p));
	EXPECT_TRUE(near(I.getTranslation(), Vector3()));
	EXPECT_TRUE(near(Matrix3x4(), I));
	const Matrix3x4 D(2.f);
	EXPECT_TRUE(near(D.transform(p), p * 2.f));
	const Matrix3x4 Z(0.f);
	for (const auto& row : Z.m)
		for (float v : row)
			EXPECT_EQ(v, 0.f);
}

TEST(Matrix3x4, PointsMoveAndDirectionsDoNot) {
	const Matrix3x4 M(Matrix3x3::rotation(Vector3(0, 0, 1), kPi / 2), Vector3(10, 20, 30));
	EXPECT_TRUE(near(M.transform(Vector3(1, 0, 0)), Vector3(10, 21, 30)));
	EXPECT_TRUE(near(M.rotate(Vector3(1, 0, 0)), Vector3(0, 1, 0)));
	Vector3 out;
	M.transformTo(Vector3(0, 1, 0), out);
	EXPECT_TRUE(near(out, Vector3(9, 20, 30)));
	M.rotate(Vector3(0, 1, 0), out);
	EXPECT_TRUE(near(out, Vector3(-1, 0, 0)));
	EXPECT_TRUE(near(M.getColumn(0), Vector3(0, 1, 0)));
	EXPECT_TRUE(near(M.getColumn(3), Vector3(10, 20, 30)));
}

TEST(Matrix3x4, SettersKeepTheOtherPart) {
	const Matrix3x3 R = Matrix3x3::rotation(Vector3(1, 2, 3), 0.7f);
	Matrix3x4 M(R, Vector3(1, 2, 3));
	M.setTranslation(Vector3(-4, 5, 6));
	EXPECT_TRUE(near(Matrix3x3(M), R));
	EXPECT_TRUE(near(M.getTranslation(), Vector3(-4, 5, 6)));

	const Matrix3x3 S = Matrix3x3::rotation(Vector3(0, 1, 0), -1.2f);
	M.setRotation(S);
	EXPECT_TRUE(near(Matrix3x3(M), S));
	EXPECT_TRUE(near(M.getTranslation(), Vector3(-4, 5, 6)));

	const float h = std::sqrt(0.5f);
	M.fromQuaternion(Quaternion(0, 2 * h, 0, 2 * h));
	EXPECT_TRUE(near(Matrix3x3(M), Matrix3x3::rotation(Vector3(0, 1, 0), kPi / 2)));
	EXPECT_TRUE(near(M.getTranslation(), Vector3(-4, 5, 6)));
}

TEST(Matrix3x4, ProductOrder) {
	const Matrix3x4 T = translation(Vector3(5, 0, 0));
	const Matrix3x4 R(Matrix3x3::rotation(Vector3(0, 0, 1), kPi / 2), Vector3());
	const Vector3 p(1, 0, 0);
	// Rotate first, then move by t.
	EXPECT_TRUE(near((T * R).transform(p), Vector3(5, 1, 0)));
	EXPECT_TRUE(near((T * R).getTranslation(), Vector3(5, 0, 0)));
	// Move first, then rotate: the translation turns too.
	EXPECT_TRUE(near((R * T).transform(p), Vector3(0, 6, 0)));
	EXPECT_TRUE(near((R * T).getTranslation(), Vector3(0, 5, 0)));
}

// parent * local applies local first, and equals the 4x4 product of the two.
TEST(Matrix3x4, ProductAgreesWith4x4AndComposition) {
	mathtest::Random rnd(21);
	for (int n = 0; n < 100; ++n) {
		const Matrix3x4 A = rnd.transform(), B = rnd.transform();
		const Vector3 p = rnd.vector();
		const Matrix3x4 AB = A * B;
		ASSERT_TRUE(near(AB.transform(p), A.transform(B.transform(p)), 1e-3f)) << n;
		ASSERT_TRUE(near(Matrix4x4(AB), Matrix4x4(A) * Matrix4x4(B), 1e-4f)) << n;
	}
}

TEST(Matrix3x4, InverseOfScaleAndTranslation) {
	Matrix3x4 M(2.f);
	M.setTranslation(Vector3(1, 0, 0));
	const Matrix3x4 inv = M.inverse();
	EXPECT_TRUE(near(Matrix3x3(inv), Matrix3x3(0.5f)));
	EXPECT_TRUE(near(inv.getTranslation(), Vector3(-0.5f, 0, 0)));
	EXPECT_FLOAT_EQ(M.determinant(), 8.f);
}

TEST(Matrix3x4, InverseOfRandomTransforms) {
	mathtest::Random rnd(33);
	for (int n = 0; n < 200; ++n) {
		const Matrix3x4 M = rnd.transform();
		const Matrix3x4 inv = M.inverse();
		ASSERT_TRUE(near(M * inv, Matrix3x4(1.f), 1e-4f)) << n;
		ASSERT_TRUE(near(inv * M, Matrix3x4(1.f), 1e-4f)) << n;
		const Vector3 p = rnd.vector();
		ASSERT_TRUE(near(inv.transform(M.transform(p)), p, 1e-3f)) << n;
	}
}

TEST(Matrix3x4, InverseOfSingularIsNotFinite) {
	Matrix3x4 flat(1.f);
	flat.m[2][2] = 0.f;
	EXPECT_TRUE(flat.isFinite());
	EXPECT_FALSE(flat.inverse().isFinite());
}

TEST(Matrix3x4, ComposeScalesColumnsThenTranslates) {
	const float h = std::sqrt(0.5f);
	const Quaternion quarterZ(0, 0, h, h);
	Matrix3x4 M;
	M.compose(quarterZ, Vector3(1, 2, 3), Vector3(2, 3, 4));
	EXPECT_TRUE(near(M.getColumn(0), Vector3(0, 2, 0)));
	EXPECT_TRUE(near(M.getColumn(1), Vector3(-3, 0, 0)));
	EXPECT_TRUE(near(M.getColumn(2), Vector3(0, 0, 4)));
	EXPECT_TRUE(near(M.getTranslation(), Vector3(1, 2, 3)));
	EXPECT_TRUE(near(M, Matrix3x4(Matrix3x3::fromQuaternion(quarterZ), Vector3(1, 2, 3), Vector3(2, 3, 4))));
	EXPECT_TRUE(near(Matrix3x4(quarterZ * 3.f, Vector3(1, 2, 3)),
					 Matrix3x4(Matrix3x3::rotation(Vector3(0, 0, 1), kPi / 2), Vector3(1, 2, 3))));
}
