#include "GLES2Fixture.h"

#include <cstdlib>

::testing::AssertionResult colourNear(const std::vector<uint8_t>& pixel, int r, int g, int b, int a, int tolerance) {
	const int want[4] = {r, g, b, a};
	for (int i = 0; i < 4; ++i) {
		if (want[i] >= 0 && std::abs(int(pixel[i]) - want[i]) > tolerance)
			return ::testing::AssertionFailure()
				   << "pixel (" << int(pixel[0]) << ", " << int(pixel[1]) << ", " << int(pixel[2]) << ", "
				   << int(pixel[3]) << ") wanted (" << r << ", " << g << ", " << b << ", " << a << ")";
	}
	return ::testing::AssertionSuccess();
}
