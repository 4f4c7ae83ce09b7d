#include <math/Matrix3x3.h>

#include <math/Matrix3x4.h>
#include <math/Quaternion.h>

namespace math {

Matrix3x3::Matrix3x3(const Matrix3x4& M)
	: m{{M.m[0][0], M.m[0][1], M.m[0][2]}, {M.m[1][0], M.m[1][1], M.m[1][2]}, {M.m[2][0], M.m[2][1], M.m[2][2]}} {}

Matrix3x3 Matrix3x3::rotation(const Vector3& axis, float angle) {
	const float inv = 1.f / std::sqrt(axis.x * axis.x + axis.y * axis.y + axis.z * axis.z);
	const float s = std::sin(angle * 0.5f);
	const float k = inv * s;
	return fromQuaternion(Quaternion(axis.x * k, axis.y * k, axis.z * k, std::cos(angle * 0.5f)));
}

Matrix3x3 Matrix3x3::fromQuaternion(const Quaternion& q) {
	// 2/|q|^2 rather than 2/|q|: any non-zero multiple of a unit quaternion then
	// gives the same pure rotation, so unnormalised inputs still yield orthonormal matrices.
	const float s = 2.f / (q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
	const float x = q.x, y = q.y, z = q.z, w = q.w;
	return Matrix3x3(1.f - s * (y * y + z * z), s * (x * y - w * z), s * (x * z + w * y), s * (x * y + w * z),
					 1.f - s * (x * x + z * z), s * (y * z - w * x), s * (x * z - w * y), s * (y * z + w * x),
					 1.f - s * (x * x + y * y));
}

Matrix3x3 Matrix3x3::basisFromDirection(const Vector3& direction, const Vector3& up) {
	const Vector3 candidates[4] = {up, Vector3(1.f, 0.f, 0.f), Vector3(0.f, 0.f, 1.f), Vector3(0.f, 1.f, 0.f)};
	Vector3 side;
	for (const Vector3& c : candidates) {
		side = c.cross(direction);
		if (side.dot(side) >= 1e-10f)
			break;
	}
	side = side.normalize();
	Matrix3x3 r;
	r.setColumn(0, side);
	r.setColumn(1, direction.cross(side));
	r.setColumn(2, direction);
	return r;
}

Matrix3x3 Matrix3x3::basisFromDirectionUpY(const Vector3& direction) {
	return basisFromDirection(direction, Vector3(0.f, 1.f, 0.f));
}

Matrix3x3 Matrix3x3::orthonormalize() const {
	const Vector3 c0 = getColumn(0).normalize();
	Vector3 c1 = getColumn(1);
	c1 = (c1 - c0 * c0.dot(c1)).normalize();
	Vector3 c2 = getColumn(2);
	c2 = (c2 - c0 * c0.dot(c2) - c1 * c1.dot(c2)).normalize();
	Matrix3x3 r;
	r.setColumn(0, c0);
	r.setColumn(1, c1);
	r.setColumn(2, c2);
	return r;
}

bool Matrix3x3::isFinite() const {
	for (const auto& row : m)
		for (float v : row)
			if (!isFiniteFloat(v))
				return false;
	return true;
}

} // namespace math
