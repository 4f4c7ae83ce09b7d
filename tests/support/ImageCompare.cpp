#include "support/ImageCompare.h"

#include <algorithm>
#include <cstdlib>

namespace test {

ImageDifference compareImages(const RgbImage& a, const RgbImage& b, int tolerance, PixelRegion region) {
	ImageDifference d;
	d.sameSize = a.width == b.width && a.height == b.height && a.width > 0 && a.height > 0;
	if (!d.sameSize)
		return d;
	if (region.width <= 0)
		region = {0, 0, a.width, a.height};
	const int x0 = std::max(region.x, 0), x1 = std::min(region.x + region.width, a.width);
	const int y0 = std::max(region.y, 0), y1 = std::min(region.y + region.height, a.height);
	if (x0 >= x1 || y0 >= y1)
		return d;
	size_t differing = 0;
	int largest = 0;
	for (int y = y0; y < y1; ++y)
		for (int x = x0; x < x1; ++x) {
			const size_t i = (size_t(y) * size_t(a.width) + size_t(x)) * 3;
			int pixel = 0;
			for (size_t c = 0; c < 3; ++c)
				pixel = std::max(pixel, std::abs(int(a.rgb[i + c]) - int(b.rgb[i + c])));
			largest = std::max(largest, pixel);
			if (pixel > tolerance)
				++differing;
		}
	d.differingShare = double(differing) / double(size_t(x1 - x0) * size_t(y1 - y0));
	d.largestDelta = largest;
	return d;
}

} // namespace test
