#ifndef MATH_MATRIX4X4_H
#define MATH_MATRIX4X4_H

#include <math/Matrix3x4.h>
#include <math/Vector4.h>

#include <type_traits>

namespace math {

/**
 * 4x4 matrix stored row by row (m[row][column]): projections and view-projections.
 * Vectors are columns. Identity when default-constructed.
 */
class Matrix4x4 {
public:
	float m[4][4];

	Matrix4x4() : Matrix4x4(1.f) {}

	/** d on the diagonal, 0 elsewhere. */
	explicit Matrix4x4(float d) : m{{d, 0.f, 0.f, 0.f}, {0.f, d, 0.f, 0.f}, {0.f, 0.f, d, 0.f}, {0.f, 0.f, 0.f, d}} {}

	/** The three rows of M with the fourth row 0 0 0 1. */
	explicit Matrix4x4(const Matrix3x4& M)
		: m{{M.m[0][0], M.m[0][1], M.m[0][2], M.m[0][3]},
			{M.m[1][0], M.m[1][1], M.m[1][2], M.m[1][3]},
			{M.m[2][0], M.m[2][1], M.m[2][2], M.m[2][3]},
			{0.f, 0.f, 0.f, 1.f}} {}

	/**
	 * Sets a perspective projection: hfov the horizontal field of view, front and back
	 * the plane distances, aspect width / height. View-space +z is forward (w' = z) and
	 * depth maps front to 0 and back to 1.
	 */
	void perspective(float hfov, float front, float back, float aspect);

	/** Returns this . v. */
	Vector4 transform(const Vector4& v) const {
		return Vector4(m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z + m[0][3] * v.w,
					   m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z + m[1][3] * v.w,
					   m[2][0] * v.x + m[2][1] * v.y + m[2][2] * v.z + m[2][3] * v.w,
					   m[3][0] * v.x + m[3][1] * v.y + m[3][2] * v.z + m[3][3] * v.w);
	}
	void transform(const Vector4& v, Vector4& out) const { out = transform(v); }
	Vector4 operator*(const Vector4& v) const { return transform(v); }

	Matrix4x4 operator*(const Matrix4x4& o) const {
		Matrix4x4 r(0.f);
		for (int i = 0; i < 4; ++i)
			for (int j = 0; j < 4; ++j)
				r.m[i][j] = m[i][0] * o.m[0][j] + m[i][1] * o.m[1][j] + m[i][2] * o.m[2][j] + m[i][3] * o.m[3][j];
		return r;
	}

	/** Returns this * M, M read as a 4x4 matrix with last row 0 0 0 1. */
	Matrix4x4 multiply3x4(const Matrix3x4& M) const {
		Matrix4x4 r(0.f);
		for (int i = 0; i < 4; ++i) {
			for (int j = 0; j < 4; ++j)
				r.m[i][j] = m[i][0] * M.m[0][j] + m[i][1] * M.m[1][j] + m[i][2] * M.m[2][j];
			r.m[i][3] += m[i][3];
		}
		return r;
	}

	/** Sets elements m03, m13, m23. */
	void setTranslation(const Vector3& t) {
		m[0][3] = t.x;
		m[1][3] = t.y;
		m[2][3] = t.z;
	}
	Vector3 getTranslation() const { return Vector3(m[0][3], m[1][3], m[2][3]); }

	Matrix4x4 transpose() const;
	float determinant() const;

	/** General inverse by cofactors; a singular matrix gives non-finite elements. */
	Matrix4x4 inverse() const;

	bool isFinite() const;
};

static_assert(std::is_trivially_copyable<Matrix4x4>::value && sizeof(Matrix4x4) == 16 * sizeof(float),
			  "Matrix4x4 must stay a plain value of packed floats");

} // namespace math

#endif
