#ifndef MATH_VECTOR3_H
#define MATH_VECTOR3_H

#include <cmath>

namespace math {

/** Smallest normal float: lengths and sines below it count as zero. */
constexpr float MIN_NORMAL_FLOAT = 1.1754944e-38f;
/** Largest finite float, the bound of the finiteness tests. */
constexpr float MAX_FINITE_FLOAT = 3.4028235e38f;

/** True when v lies within the finite float range (false for NaN and infinities). */
inline bool isFiniteFloat(float v) {
	return v >= -MAX_FINITE_FLOAT && v <= MAX_FINITE_FLOAT;
}

/** Three floats: a point, a direction or a per-axis scale. Zero when default-constructed. */
class Vector3 {
public:
	float x, y, z;

	constexpr Vector3() : x(0.f), y(0.f), z(0.f) {}
	constexpr Vector3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}

	Vector3 operator+(const Vector3& o) const { return Vector3(x + o.x, y + o.y, z + o.z); }
	Vector3 operator-(const Vector3& o) const { return Vector3(x - o.x, y - o.y, z - o.z); }
	Vector3 operator-() const { return Vector3(-x, -y, -z); }
	Vector3 operator*(float s) const { return Vector3(x * s, y * s, z * s); }
	Vector3& operator+=(const Vector3& o) {
		x += o.x;
		y += o.y;
		z += o.z;
		return *this;
	}
	Vector3& operator-=(const Vector3& o) {
		x -= o.x;
		y -= o.y;
		z -= o.z;
		return *this;
	}
	Vector3& operator*=(float s) {
		x *= s;
		y *= s;
		z *= s;
		return *this;
	}

	float dot(const Vector3& o) const { return x * o.x + y * o.y + z * o.z; }

	Vector3 cross(const Vector3& o) const { return Vector3(y * o.z - z * o.y, z * o.x - x * o.z, x * o.y - y * o.x); }

	float length() const { return std::sqrt(x * x + y * y + z * z); }

	/** Returns the unit vector in this direction; (0, 0, 0) when the length is below MIN_NORMAL_FLOAT. */
	Vector3 normalize() const {
		float len = length();
		if (len < MIN_NORMAL_FLOAT)
			return Vector3();
		float inv = 1.f / len;
		return Vector3(x * inv, y * inv, z * inv);
	}

	/** Returns this vector turned right-handedly about axis (normalised here, must not be zero) by angle radians. */
	Vector3 rotate(const Vector3& axis, float angle) const;

	bool isFinite() const { return isFiniteFloat(x) && isFiniteFloat(y) && isFiniteFloat(z); }
};

inline Vector3 operator*(float s, const Vector3& v) {
	return v * s;
}

} // namespace math

#endif
