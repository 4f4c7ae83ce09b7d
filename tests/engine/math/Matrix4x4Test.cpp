#include "MathExpect.h"

#include <limits>

using math::Matrix3x3;
using math::Matrix3x4;
using math::Matrix4x4;
using math::Vector3;
using math::Vector4;
using mathtest::kPi;
using mathtest::near;

TEST(Matrix4x4, ConstructionFrom3x4) {
	Matrix3x4 M(Matrix3x3::rotation(Vector3(1, 1, 0), 0.5f), Vector3(7, 8, 9));
	const Matrix4x4 W(M);
	for (int i = 0; i < 3; ++i)
		for (int j = 0; j < 4; ++j)
			EXPECT_EQ(W.m[i][j], M.m[i][j]);
	EXPECT_TRUE(near(Vector4(W.m[3][0], W.m[3][1], W.m[3][2], W.m[3][3]), Vector4(0, 0, 0, 1)));
	EXPECT_TRUE(near(W.getTranslation(), Vector3(7, 8, 9)));
	EXPECT_TRUE(near(Matrix4x4(3.f).transform(Vector4(1, 2, 3, 4)), Vector4(3, 6, 9, 12)));
	EXPECT_TRUE(near(Matrix4x4(), Matrix4x4(1.f)));
}

TEST(Matrix4x4, TransformAndProducts) {
	mathtest::Random rnd(41);
	const Matrix4x4 P = rnd.matrix4();
	const Matrix3x4 M = rnd.transform();
	const Vector4 v(rnd.vector(), 1.f);
	EXPECT_TRUE(near(P.multiply3x4(M), P * Matrix4x4(M), 1e-4f));
	EXPECT_TRUE(near((P * Matrix4x4(M)).transform(v), P * (Matrix4x4(M) * v), 1e-3f));
	EXPECT_TRUE(near(Matrix4x4(M) * v, Vector4(M.transform(v.xyz()), 1.f), 1e-4f));
	Vector4 out;
	P.transform(Vector4(0, 0, 1, 0), out);
	EXPECT_TRUE(near(out, Vector4(P.m[0][2], P.m[1][2], P.m[2][2], P.m[3][2])));
	EXPECT_TRUE(near(P.transpose().transpose(), P));
	EXPECT_EQ(P.transpose().m[1][3], P.m[3][1]);
}

TEST(Matrix4x4, InverseAndDeterminant) {
	Matrix4x4 D(0.f);
	D.m[0][0] = 2;
	D.m[1][1] = 3;
	D.m[2][2] = 4;
	D.m[3][3] = 5;
	EXPECT_FLOAT_EQ(D.determinant(), 120.f);
	EXPECT_FLOAT_EQ(Matrix4x4(D.transpose()).determinant(), 120.f);

	mathtest::Random rnd(43);
	for (int n = 0; n < 100; ++n) {
		Matrix4x4 A = rnd.matrix4();
		for (int i = 0; i < 4; ++i)
			A.m[i][i] += 5.f;
		ASSERT_TRUE(near(A * A.inverse(), Matrix4x4(1.f), 1e-4f)) << n;
		ASSERT_TRUE(near(A.inverse() * A, Matrix4x4(1.f), 1e-4f)) << n;
		ASSERT_NEAR(A.determinant() * A.inverse().determinant(), 1.f, 1e-3f) << n;
	}
	// A rigid transform's inverse agrees with the 3x4 inverse.
	const Matrix3x4 M = rnd.transform();
	EXPECT_TRUE(near(Matrix4x4(M).inverse(), Matrix4x4(M.inverse()), 1e-4f));

	Matrix4x4 singular(1.f);
	singular.m[3][3] = 0.f;
	EXPECT_EQ(singular.determinant(), 0.f);
	EXPECT_FALSE(singular.inverse().isFinite());
}

TEST(Matrix4x4, PerspectiveElements) {
	Matrix4x4 P(7.f);
	P.perspective(kPi / 2, 1.f, 101.f, 2.f);
	Matrix4x4 want(0.f);
	want.m[0][0] = 1.f;
	want.m[1][1] = 2.f;
	want.m[2][2] = 1.01f;
	want.m[2][3] = -1.01f;
	want.m[3][2] = 1.f;
	EXPECT_TRUE(near(P, want));
	// A negative field of view gives the same matrix.
	Matrix4x4 Q;
	Q.perspective(-kPi / 2, 1.f, 101.f, 2.f);
	EXPECT_TRUE(near(Q, want));
}

// Depth runs 0 at the front plane to 1 at the back plane, +z looks forward, and the
// edges of the horizontal field of view land on x = -1 and x = 1.
TEST(Matrix4x4, PerspectiveMapsTheViewVolume) {
	const float hfov = 1.2f, front = 0.5f, back = 300.f, aspect = 1.6f;
	Matrix4x4 P;
	P.perspective(hfov, front, back, aspect);
	const float t = std::tan(hfov / 2);
	struct Case {
		const char* name;
		Vector3 p;
		Vector3 ndc;
	};
	const Case cases[] = {
		{"front centre", Vector3(0, 0, front), Vector3(0, 0, 0)},
		{"back centre", Vector3(0, 0, back), Vector3(0, 0, 1)},
		{"front right edge", Vector3(front * t, 0, front), Vector3(1, 0, 0)},
		{"back left edge", Vector3(-back * t, 0, back), Vector3(-1, 0, 1)},
		{"top edge", Vector3(0, 10 * t / aspect, 10), Vector3(0, 1, (10 - front) * back / (10 * (back - front)))},
	};
	for (const Case& c : cases) {
		const Vector4 clip = P * Vector4(c.p, 1.f);
		EXPECT_NEAR(clip.w, c.p.z, 1e-4f) << c.name;
		EXPECT_TRUE(near(clip.xyz() * (1.f / clip.w), c.ndc, 1e-4f)) << c.name;
	}
}
