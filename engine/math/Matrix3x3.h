#ifndef MATH_MATRIX3X3_H
#define MATH_MATRIX3X3_H

#include <math/Vector3.h>

#include <type_traits>

namespace math {

class Matrix3x4;
class Quaternion;

/**
 * 3x3 matrix stored row by row (m[row][column]), a rotation possibly with scale.
 * Vectors are columns: transform(v) is M.v, and A * B applies B first.
 * Identity when default-constructed.
 */
class Matrix3x3 {
public:
	float m[3][3];

	Matrix3x3() : Matrix3x3(1.f) {}

	/** d on the diagonal, 0 elsewhere. */
	explicit Matrix3x3(float d) : m{{d, 0.f, 0.f}, {0.f, d, 0.f}, {0.f, 0.f, d}} {}

	Matrix3x3(float m00, float m01, float m02, float m10, float m11, float m12, float m20, float m21, float m22)
		: m{{m00, m01, m02}, {m10, m11, m12}, {m20, m21, m22}} {}

	/** The linear part (first three columns) of M. */
	explicit Matrix3x3(const Matrix3x4& M);

	/** Right-handed rotation about axis (normalised here, must not be zero) by angle radians. */
	static Matrix3x3 rotation(const Vector3& axis, float angle);

	/** Rotation of q; q need not be unit length (a zero q gives non-finite elements). */
	static Matrix3x3 fromQuaternion(const Quaternion& q);

	/**
	 * Orthonormal basis whose column 2 is direction (as passed), column 0 the normalised
	 * side = up x direction and column 1 = direction x side. When up is parallel to the
	 * direction, (1, 0, 0), (0, 0, 1) and (0, 1, 0) are tried in turn. direction must not be zero.
	 */
	static Matrix3x3 basisFromDirection(const Vector3& direction, const Vector3& up);
	static Matrix3x3 basisFromDirectionUpY(const Vector3& direction);

	Matrix3x3 operator*(const Matrix3x3& o) const {
		Matrix3x3 r(0.f);
		for (int i = 0; i < 3; ++i)
			for (int j = 0; j < 3; ++j)
				r.m[i][j] = m[i][0] * o.m[0][j] + m[i][1] * o.m[1][j] + m[i][2] * o.m[2][j];
		return r;
	}

	Vector3 transform(const Vector3& v) const {
		return Vector3(m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z, m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z,
					   m[2][0] * v.x + m[2][1] * v.y + m[2][2] * v.z);
	}
	void transform(const Vector3& v, Vector3& out) const { out = transform(v); }
	Vector3 operator*(const Vector3& v) const { return transform(v); }

	Vector3 getColumn(int c) const { return Vector3(m[0][c], m[1][c], m[2][c]); }
	void setColumn(int c, const Vector3& v) {
		m[0][c] = v.x;
		m[1][c] = v.y;
		m[2][c] = v.z;
	}

	float determinant() const {
		return m[0][0] * m[1][1] * m[2][2] + m[0][1] * m[1][2] * m[2][0] + m[0][2] * m[1][0] * m[2][1] -
			   m[0][2] * m[1][1] * m[2][0] - m[0][1] * m[1][0] * m[2][2] - m[0][0] * m[1][2] * m[2][1];
	}

	Matrix3x3 transpose() const {
		return Matrix3x3(m[0][0], m[1][0], m[2][0], m[0][1], m[1][1], m[2][1], m[0][2], m[1][2], m[2][2]);
	}

	/** General inverse by cofactors; a singular matrix gives non-finite elements. */
	Matrix3x3 inverse() const {
		float inv = 1.f / determinant();
		return Matrix3x3((m[1][1] * m[2][2] - m[1][2] * m[2][1]) * inv, (m[0][2] * m[2][1] - m[0][1] * m[2][2]) * inv,
						 (m[0][1] * m[1][2] - m[0][2] * m[1][1]) * inv, (m[1][2] * m[2][0] - m[1][0] * m[2][2]) * inv,
						 (m[0][0] * m[2][2] - m[0][2] * m[2][0]) * inv, (m[0][2] * m[1][0] - m[0][0] * m[1][2]) * inv,
						 (m[1][0] * m[2][1] - m[1][1] * m[2][0]) * inv, (m[0][1] * m[2][0] - m[0][0] * m[2][1]) * inv,
						 (m[0][0] * m[1][1] - m[0][1] * m[1][0]) * inv);
	}

	/** Gram-Schmidt over the columns (0, then 1, then 2); this matrix is unchanged. */
	Matrix3x3 orthonormalize() const;

	bool isFinite() const;
};

static_assert(std::is_trivially_copyable<Matrix3x3>::value && sizeof(Matrix3x3) == 9 * sizeof(float),
			  "Matrix3x3 must stay a plain value of packed floats");

} // namespace math

#endif
