#include "support/ImageCompare.h"

#include <algorithm>
#include <cstdlib>

namespace test {

ImageDifference compareImages(const RgbImage& a, const RgbImage& b, int tolerance) {
	ImageDifference d;
	d.sameSize = a.width == b.width && a.height == b.height && a.width > 0 && a.height > 0;
	if (!d.sameSize)
		return d;
	size_t differing = 0;
	int largest = 0;
	for (size_t i = 0; i < a.rgb.size(); i += 3) {
		int pixel = 0;
		for (size_t c = 0; c < 3; ++c)
			pixel = std::max(pixel, std::abs(int(a.rgb[i + c]) - int(b.rgb[i + c])));
		largest = std::max(largest, pixel);
		if (pixel > tolerance)
			++differing;
	}
	d.differingShare = double(differing) / double(a.rgb.size() / 3);
	d.largestDelta = largest;
	return d;
}

} // namespace test
