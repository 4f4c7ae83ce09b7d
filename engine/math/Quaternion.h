#ifndef MATH_QUATERNION_H
#define MATH_QUATERNION_H

#include <math/Vector3.h>

#include <type_traits>

namespace math {

class Matrix3x3;

/** Rotation as x, y, z, w; (0, 0, 0, 1) is the identity and the default. */
class Quaternion {
public:
	float x, y, z, w;

	constexpr Quaternion() : x(0.f), y(0.f), z(0.f), w(1.f) {}
	constexpr Quaternion(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}

	/** The rotation of R, which should be orthonormal. */
	explicit Quaternion(const Matrix3x3& R);

	Quaternion operator+(const Quaternion& o) const { return Quaternion(x + o.x, y + o.y, z + o.z, w + o.w); }
	Quaternion operator-() const { return Quaternion(-x, -y, -z, -w); }
	Quaternion operator*(float s) const { return Quaternion(x * s, y * s, z * s, w * s); }

	/** Hamilton product: the rotation of o followed by the rotation of this. */
	Quaternion operator*(const Quaternion& o) const {
		return Quaternion(w * o.x + x * o.w + y * o.z - z * o.y, w * o.y - x * o.z + y * o.w + z * o.x,
						  w * o.z + x * o.y - y * o.x + z * o.w, w * o.w - x * o.x - y * o.y - z * o.z);
	}

	/** Four-component dot product. */
	float dot(const Quaternion& o) const { return x * o.x + y * o.y + z * o.z + w * o.w; }

	float length() const { return std::sqrt(dot(*this)); }

	Quaternion conjugate() const { return Quaternion(-x, -y, -z, w); }

	/** Returns q / |q|; the quaternion must not be zero. */
	Quaternion normalize() const { return *this * (1.f / length()); }

	/**
	 * Spherical interpolation from q1 (t = 0) to q2 (t = 1). Does not flip q2 for the
	 * shorter arc and does not normalise; returns q1 when the angle's sine is below
	 * MIN_NORMAL_FLOAT or the dot product is below -1.
	 */
	static Quaternion slerp(const Quaternion& q1, const Quaternion& q2, float t);

	bool isFinite() const { return isFiniteFloat(x) && isFiniteFloat(y) && isFiniteFloat(z) && isFiniteFloat(w); }
};

static_assert(std::is_trivially_copyable<Quaternion>::value && sizeof(Quaternion) == 4 * sizeof(float),
			  "Quaternion must stay a plain value of packed floats");

} // namespace math

#endif
