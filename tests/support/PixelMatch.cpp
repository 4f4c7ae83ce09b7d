#include "support/PixelMatch.h"

#include <cstdlib>

namespace test {

::testing::AssertionResult colourNear(const std::uint8_t* rgba, int r, int g, int b, int a, int tolerance) {
	const int want[4] = {r, g, b, a};
	for (int i = 0; i < 4; ++i) {
		if (want[i] >= 0 && std::abs(int(rgba[i]) - want[i]) > tolerance)
			return ::testing::AssertionFailure()
				   << "pixel (" << int(rgba[0]) << ", " << int(rgba[1]) << ", " << int(rgba[2]) << ", " << int(rgba[3])
				   << ") wanted (" << r << ", " << g << ", " << b << ", " << a << ") give or take " << tolerance;
	}
	return ::testing::AssertionSuccess();
}

::testing::AssertionResult colourNear(const std::vector<std::uint8_t>& rgba, int r, int g, int b, int a,
									  int tolerance) {
	if (rgba.size() < 4)
		return ::testing::AssertionFailure() << "a pixel of " << rgba.size() << " bytes";
	return colourNear(rgba.data(), r, g, b, a, tolerance);
}

} // namespace test
