#include <math/Matrix4x4.h>

#include <cmath>

namespace math {

void Matrix4x4::perspective(float hfov, float front, float back, float aspect) {
	const float c = std::fabs(1.f / std::tan(hfov * 0.5f));
	const float depth = back / (back - front);
	*this = Matrix4x4(0.f);
	m[0][0] = c;
	m[1][1] = c * aspect;
	m[2][2] = depth;
	m[2][3] = -front * depth;
	m[3][2] = 1.f;
}

Matrix4x4 Matrix4x4::transpose() const {
	Matrix4x4 r(0.f);
	for (int i = 0; i < 4; ++i)
		for (int j = 0; j < 4; ++j)
			r.m[i][j] = m[j][i];
	return r;
}

namespace {

// The twelve 2x2 minors of rows 0-1 (s) and rows 2-3 (c) that both the
// determinant and the cofactor inverse are built from.
struct Minors {
	float s[6], c[6];

	explicit Minors(const float (&a)[4][4]) {
		s[0] = a[0][0] * a[1][1] - a[1][0] * a[0][1];
		s[1] = a[0][0] * a[1][2] - a[1][0] * a[0][2];
		s[2] = a[0][0] * a[1][3] - a[1][0] * a[0][3];
		s[3] = a[0][1] * a[1][2] - a[1][1] * a[0][2];
		s[4] = a[0][1] * a[1][3] - a[1][1] * a[0][3];
		s[5] = a[0][2] * a[1][3] - a[1][2] * a[0][3];
		c[5] = a[2][2] * a[3][3] - a[3][2] * a[2][3];
		c[4] = a[2][1] * a[3][3] - a[3][1] * a[2][3];
		c[3] = a[2][1] * a[3][2] - a[3][1] * a[2][2];
		c[2] = a[2][0] * a[3][3] - a[3][0] * a[2][3];
		c[1] = a[2][0] * a[3][2] - a[3][0] * a[2][2];
		c[0] = a[2][0] * a[3][1] - a[3][0] * a[2][1];
	}

	float determinant() const {
		return s[0] * c[5] - s[1] * c[4] + s[2] * c[3] + s[3] * c[2] - s[4] * c[1] + s[5] * c[0];
	}
};

} // namespace

float Matrix4x4::determinant() const {
	return Minors(m).determinant();
}

Matrix4x4 Matrix4x4::inverse() const {
	const Minors n(m);
	const float* s = n.s;
	const float* c = n.c;
	const float inv = 1.f / n.determinant();
	const auto& a = m;
	Matrix4x4 r(0.f);
	r.m[0][0] = (a[1][1] * c[5] - a[1][2] * c[4] + a[1][3] * c[3]) * inv;
	r.m[0][1] = (-a[0][1] * c[5] + a[0][2] * c[4] - a[0][3] * c[3]) * inv;
	r.m[0][2] = (a[3][1] * s[5] - a[3][2] * s[4] + a[3][3] * s[3]) * inv;
	r.m[0][3] = (-a[2][1] * s[5] + a[2][2] * s[4] - a[2][3] * s[3]) * inv;
	r.m[1][0] = (-a[1][0] * c[5] + a[1][2] * c[2] - a[1][3] * c[1]) * inv;
	r.m[1][1] = (a[0][0] * c[5] - a[0][2] * c[2] + a[0][3] * c[1]) * inv;
	r.m[1][2] = (-a[3][0] * s[5] + a[3][2] * s[2] - a[3][3] * s[1]) * inv;
	r.m[1][3] = (a[2][0] * s[5] - a[2][2] * s[2] + a[2][3] * s[1]) * inv;
	r.m[2][0] = (a[1][0] * c[4] - a[1][1] * c[2] + a[1][3] * c[0]) * inv;
	r.m[2][1] = (-a[0][0] * c[4] + a[0][1] * c[2] - a[0][3] * c[0]) * inv;
	r.m[2][2] = (a[3][0] * s[4] - a[3][1] * s[2] + a[3][3] * s[0]) * inv;
	r.m[2][3] = (-a[2][0] * s[4] + a[2][1] * s[2] - a[2][3] * s[0]) * inv;
	r.m[3][0] = (-a[1][0] * c[3] + a[1][1] * c[1] - a[1][2] * c[0]) * inv;
	r.m[3][1] = (a[0][0] * c[3] - a[0][1] * c[1] + a[0][2] * c[0]) * inv;
	r.m[3][2] = (-a[3][0] * s[3] + a[3][1] * s[1] - a[3][2] * s[0]) * inv;
	r.m[3][3] = (a[2][0] * s[3] - a[2][1] * s[1] + a[2][2] * s[0]) * inv;
	return r;
}

bool Matrix4x4::isFinite() const {
	for (const auto& row : m)
		for (float v : row)
			if (!isFiniteFloat(v))
				return false;
	return true;
}

} // namespace math
