#ifndef SUPPORT_PIXELMATCH_H
#define SUPPORT_PIXELMATCH_H

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace test {

// Whether the RGBA pixel holds the colour (r, g, b), and the alpha a unless a
// is negative, each channel within tolerance steps (filtering, rounding,
// blending). The failure names the pixel and the colour wanted.
::testing::AssertionResult colourNear(const std::uint8_t* rgba, int r, int g, int b, int a = -1, int tolerance = 3);
// The same for a pixel read as a vector (GLTestContext::pixel); fails for
// fewer than four bytes.
::testing::AssertionResult colourNear(const std::vector<std::uint8_t>& rgba, int r, int g, int b, int a = -1,
									  int tolerance = 3);

} // namespace test

#endif
