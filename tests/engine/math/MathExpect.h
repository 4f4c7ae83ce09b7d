// Tolerant comparisons and seeded random values shared by the math tests.
#ifndef TESTS_ENGINE_MATH_MATHEXPECT_H
#define TESTS_ENGINE_MATH_MATHEXPECT_H

#include <math/Matrix3x3.h>
#include <math/Matrix3x4.h>
#include <math/Matrix4x4.h>
#include <math/Quaternion.h>
#include <math/Vector3.h>
#include <math/Vector4.h>

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace mathtest {

constexpr float kPi = 3.14159265358979f;
constexpr float kTol = 1e-5f;

inline ::testing::AssertionResult near(const float* a, const float* b, int n, float tol) {
	for (int i = 0; i < n; ++i)
		if (!(std::fabs(a[i] - b[i]) <= tol))
			return ::testing::AssertionFailure()
				   << "element " << i << ": " << a[i] << " vs " << b[i] << " (tolerance " << tol << ")";
	return ::testing::AssertionSuccess();
}

inline ::testing::AssertionResult near(const math::Vector3& a, const math::Vector3& b, float tol = kTol) {
	return near(&a.x, &b.x, 3, tol);
}
inline ::testing::AssertionResult near(const math::Vector4& a, const math::Vector4& b, float tol = kTol) {
	return near(&a.x, &b.x, 4, tol);
}
inline ::testing::AssertionResult near(const math::Quaternion& a, const math::Quaternion& b, float tol = kTol) {
	return near(&a.x, &b.x, 4, tol);
}
inline ::testing::AssertionResult near(const math::Matrix3x3& a, const math::Matrix3x3& b, float tol = kTol) {
	return near(&a.m[0][0], &b.m[0][0], 9, tol);
}
inline ::testing::AssertionResult near(const math::Matrix3x4& a, const math::Matrix3x4& b, float tol = kTol) {
	return near(&a.m[0][0], &b.m[0][0], 12, tol);
}
inline ::testing::AssertionResult near(const math::Matrix4x4& a, const math::Matrix4x4& b, float tol = kTol) {
	return near(&a.m[0][0], &b.m[0][0], 16, tol);
}

/** Seeded source of random vectors, rotations and transforms. */
class Random {
public:
	explicit Random(unsigned seed = 12345u) : engine_(seed) {}

	float uniform(float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(engine_); }

	math::Vector3 vector(float lo = -10.f, float hi = 10.f) {
		return math::Vector3(uniform(lo, hi), uniform(lo, hi), uniform(lo, hi));
	}

	math::Vector3 unitVector() {
		for (;;) {
			math::Vector3 v = vector(-1.f, 1.f);
			float len = v.length();
			if (len > 0.1f && len <= 1.f)
				return v * (1.f / len);
		}
	}

	math::Matrix3x3 rotation() { return math::Matrix3x3::rotation(unitVector(), uniform(-kPi, kPi)); }

	/** A rotation with a positive, non-uniform scale and a translation. */
	math::Matrix3x4 transform() {
		return math::Matrix3x4(rotation(), vector(),
							   math::Vector3(uniform(0.5f, 3.f), uniform(0.5f, 3.f), uniform(0.5f, 3.f)));
	}

	math::Matrix4x4 matrix4() {
		math::Matrix4x4 r;
		for (auto& row : r.m)
			for (float& v : row)
				v = uniform(-2.f, 2.f);
		return r;
	}

private:
	std::mt19937 engine_;
};

} // namespace mathtest

#endif
