#ifndef MATH_MATRIX3X4_H
#define MATH_MATRIX3X4_H

#include <math/Matrix3x3.h>
#include <math/Vector3.h>

#include <type_traits>

namespace math {

class Quaternion;

/**
 * Affine transform stored row by row (m[row][column]): columns 0 to 2 the linear
 * part R (the transformed local axes), column 3 the translation t (the position of
 * the local origin). A product A * B applies B first, so a world transform is
 * parent world * local. Identity when default-constructed.
 */
class Matrix3x4 {
public:
	float m[3][4];

	Matrix3x4() : Matrix3x4(1.f) {}

	/** d on the diagonal of the linear part, everything else 0. */
	explicit Matrix3x4(float d) : m{{d, 0.f, 0.f, 0.f}, {0.f, d, 0.f, 0.f}, {0.f, 0.f, d, 0.f}} {}

	/** Linear part R, translation t. */
	Matrix3x4(const Matrix3x3& R, const Vector3& t)
		: m{{R.m[0][0], R.m[0][1], R.m[0][2], t.x},
			{R.m[1][0], R.m[1][1], R.m[1][2], t.y},
			{R.m[2][0], R.m[2][1], R.m[2][2], t.z}} {}

	/** Linear part R with column k scaled by scale's component k, translation t. */
	Matrix3x4(const Matrix3x3& R, const Vector3& t, const Vector3& scale)
		: m{{R.m[0][0] * scale.x, R.m[0][1] * scale.y, R.m[0][2] * scale.z, t.x},
			{R.m[1][0] * scale.x, R.m[1][1] * scale.y, R.m[1][2] * scale.z, t.y},
			{R.m[2][0] * scale.x, R.m[2][1] * scale.y, R.m[2][2] * scale.z, t.z}} {}

	/** Rotation of q (as Matrix3x3::fromQuaternion), translation t. */
	Matrix3x4(const Quaternion& q, const Vector3& t);

	/** Product with both read as 4x4 matrices with last row 0 0 0 1: [R1.R2 | R1.t2 + t1]. */
	Matrix3x4 operator*(const Matrix3x4& o) const {
		Matrix3x4 r(0.f);
		for (int i = 0; i < 3; ++i) {
			const float a0 = m[i][0], a1 = m[i][1], a2 = m[i][2];
			r.m[i][0] = a0 * o.m[0][0] + a1 * o.m[1][0] + a2 * o.m[2][0];
			r.m[i][1] = a0 * o.m[0][1] + a1 * o.m[1][1] + a2 * o.m[2][1];
			r.m[i][2] = a0 * o.m[0][2] + a1 * o.m[1][2] + a2 * o.m[2][2];
			r.m[i][3] = a0 * o.m[0][3] + a1 * o.m[1][3] + a2 * o.m[2][3] + m[i][3];
		}
		return r;
	}

	/** Returns R.p + t. */
	Vector3 transform(const Vector3& p) const {
		return Vector3(m[0][0] * p.x + m[0][1] * p.y + m[0][2] * p.z + m[0][3],
					   m[1][0] * p.x + m[1][1] * p.y + m[1][2] * p.z + m[1][3],
					   m[2][0] * p.x + m[2][1] * p.y + m[2][2] * p.z + m[2][3]);
	}
	void transformTo(const Vector3& p, Vector3& out) const { out = transform(p); }

	/** Returns R.d: a direction, without the translation. */
	Vector3 rotate(const Vector3& d) const {
		return Vector3(m[0][0] * d.x + m[0][1] * d.y + m[0][2] * d.z, m[1][0] * d.x + m[1][1] * d.y + m[1][2] * d.z,
					   m[2][0] * d.x + m[2][1] * d.y + m[2][2] * d.z);
	}
	void rotate(const Vector3& d, Vector3& out) const { out = rotate(d); }

	/** Sets column 3; the linear part is kept. */
	void setTranslation(const Vector3& t) {
		m[0][3] = t.x;
		m[1][3] = t.y;
		m[2][3] = t.z;
	}
	Vector3 getTranslation() const { return Vector3(m[0][3], m[1][3], m[2][3]); }

	/** Sets the linear part; the translation is kept. */
	void setRotation(const Matrix3x3& R) {
		for (int i = 0; i < 3; ++i)
			for (int j = 0; j < 3; ++j)
				m[i][j] = R.m[i][j];
	}

	/** Column c (0 to 3). */
	Vector3 getColumn(int c) const { return Vector3(m[0][c], m[1][c], m[2][c]); }

	/** Sets the linear part to the rotation of q (need not be unit length); the translation is kept. */
	void fromQuaternion(const Quaternion& q);

	/** Sets [R(q).diag(s) | t]. */
	void compose(const Quaternion& q, const Vector3& t, const Vector3& s);

	/**
	 * General inverse: R^-1 by cofactors, translation -(R^-1.t). A singular linear
	 * part gives non-finite elements.
	 */
	Matrix3x4 inverse() const;

	/** Determinant of the linear part. */
	float determinant() const;

	bool isFinite() const;
};

static_assert(std::is_trivially_copyable<Matrix3x4>::value && sizeof(Matrix3x4) == 12 * sizeof(float),
			  "Matrix3x4 must stay a plain value of packed floats");

} // namespace math

#endif
