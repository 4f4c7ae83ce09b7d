#include <math/Quaternion.h>

#include <math/Matrix3x3.h>

#include <algorithm>

namespace math {

Quaternion::Quaternion(const Matrix3x3& R) {
	const float trace = R.m[0][0] + R.m[1][1] + R.m[2][2];
	if (trace > 0.f) {
		const float r = std::sqrt(trace + 1.f);
		const float f = 0.5f / r;
		x = (R.m[2][1] - R.m[1][2]) * f;
		y = (R.m[0][2] - R.m[2][0]) * f;
		z = (R.m[1][0] - R.m[0][1]) * f;
		w = 0.5f * r;
		return;
	}
	// Work from the largest diagonal element so that r stays well away from zero.
	int i = 0;
	if (R.m[0][0] < R.m[1][1])
		i = R.m[1][1] < R.m[2][2] ? 2 : 1;
	else if (R.m[0][0] < R.m[2][2])
		i = 2;
	const int j = (i + 1) % 3;
	const int k = (i + 2) % 3;
	const float r = std::sqrt(R.m[i][i] - R.m[j][j] - R.m[k][k] + 1.f);
	const float f = 0.5f / r;
	float v[3];
	v[i] = 0.5f * r;
	v[j] = (R.m[j][i] + R.m[i][j]) * f;
	v[k] = (R.m[k][i] + R.m[i][k]) * f;
	x = v[0];
	y = v[1];
	z = v[2];
	w = (R.m[k][j] - R.m[j][k]) * f;
}

Quaternion Quaternion::slerp(const Quaternion& q1, const Quaternion& q2, float t) {
	const float d = q1.dot(q2);
	if (d < -1.f)
		return q1;
	const float angle = std::acos(std::min(d, 1.f));
	const float s = std::sin(angle);
	if (s < MIN_NORMAL_FLOAT)
		return q1;
	return q1 * (std::sin((1.f - t) * angle) / s) + q2 * (std::sin(t * angle) / s);
}

} // namespace math
