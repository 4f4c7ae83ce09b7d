#ifndef MATH_VECTOR4_H
#define MATH_VECTOR4_H

#include <math/Vector3.h>

#include <type_traits>

namespace math {

/**
 * Four floats. Also a plane: (x, y, z) the normal and w the constant term, so a
 * point p has the signed value n.p + w, positive on the side the normal points to.
 * Zero when default-constructed.
 */
class Vector4 {
public:
	float x, y, z, w;

	constexpr Vector4() : x(0.f), y(0.f), z(0.f), w(0.f) {}
	constexpr Vector4(float x_, float y_, float z_, float w_) : x(x_), y(y_), z(z_), w(w_) {}
	constexpr Vector4(const Vector3& v, float w_) : x(v.x), y(v.y), z(v.z), w(w_) {}

	/** The first three components, sharing this vector's storage. */
	Vector3& xyz() { return *reinterpret_cast<Vector3*>(&x); }
	const Vector3& xyz() const { return *reinterpret_cast<const Vector3*>(&x); }

	Vector4 operator+(const Vector4& o) const { return Vector4(x + o.x, y + o.y, z + o.z, w + o.w); }
	Vector4 operator-(const Vector4& o) const { return Vector4(x - o.x, y - o.y, z - o.z, w - o.w); }
	Vector4 operator*(float s) const { return Vector4(x * s, y * s, z * s, w * s); }

	/** Four-component dot product. */
	float dot(const Vector4& o) const { return x * o.x + y * o.y + z * o.z + w * o.w; }

	bool isFinite() const { return isFiniteFloat(x) && isFiniteFloat(y) && isFiniteFloat(z) && isFiniteFloat(w); }
};

// xyz() relies on Vector3 being exactly the first three floats of a Vector4.
static_assert(std::is_trivially_copyable<Vector3>::value && sizeof(Vector3) == 3 * sizeof(float),
			  "Vector3 must stay a plain value of three packed floats");
static_assert(std::is_trivially_copyable<Vector4>::value && sizeof(Vector4) == 4 * sizeof(float),
			  "Vector4 must stay a plain value of four packed floats");

/** Returns the plane through point with the given normal (used as passed): (n, -(n . point)). */
inline Vector4 makePlane(const Vector3& normal, const Vector3& point) {
	return Vector4(normal, -normal.dot(point));
}

} // namespace math

#endif
