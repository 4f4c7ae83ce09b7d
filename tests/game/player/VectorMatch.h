// Comparing vectors in the player's tests, with readable failure messages.
#pragma once

#include <math/Vector3.h>

#include <gtest/gtest.h>

#include <string>

namespace playertest {

inline std::string text(const math::Vector3& v) {
	return "(" + std::to_string(v.x) + ", " + std::to_string(v.y) + ", " + std::to_string(v.z) + ")";
}

// Whether actual lies within tolerance of expected.
inline ::testing::AssertionResult near(const math::Vector3& expected, const math::Vector3& actual,
									   float tolerance = 1e-3f) {
	if ((expected - actual).length() <= tolerance)
		return ::testing::AssertionSuccess();
	return ::testing::AssertionFailure() << "expected " << text(expected) << ", got " << text(actual);
}

} // namespace playertest
