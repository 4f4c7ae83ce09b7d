#include <math/Matrix3x4.h>

#include <math/Quaternion.h>

namespace math {

Matrix3x4::Matrix3x4(const Quaternion& q, const Vector3& t) : Matrix3x4(Matrix3x3::fromQuaternion(q), t) {}

void Matrix3x4::fromQuaternion(const Quaternion& q) {
	setRotation(Matrix3x3::fromQuaternion(q));
}

void Matrix3x4::compose(const Quaternion& q, const Vector3& t, const Vector3& s) {
	*this = Matrix3x4(Matrix3x3::fromQuaternion(q), t, s);
}

float Matrix3x4::determinant() const {
	return m[0][0] * m[1][1] * m[2][2] + m[0][1] * m[1][2] * m[2][0] + m[0][2] * m[1][0] * m[2][1] -
		   m[0][2] * m[1][1] * m[2][0] - m[0][1] * m[1][0] * m[2][2] - m[0][0] * m[1][2] * m[2][1];
}

Matrix3x4 Matrix3x4::inverse() const {
	const Matrix3x3 inv = Matrix3x3(*this).inverse();
	return Matrix3x4(inv, -inv.transform(getTranslation()));
}

bool Matrix3x4::isFinite() const {
	for (const auto& row : m)
		for (float v : row)
			if (!isFiniteFloat(v))
				return false;
	return true;
}

} // namespace math
