#ifndef SUPPORT_IMAGECOMPARE_H
#define SUPPORT_IMAGECOMPARE_H

// Screenshots against stored reference pictures: two renderings of the same
// moment differ a little between llvmpipe versions and in whatever animates,
// so pictures count as the same when few pixels differ by more than a
// tolerance.

#include <vector>

namespace test {

struct RgbImage {
	int width = 0, height = 0;
	std::vector<unsigned char> rgb; // rows from the top, 3 bytes a pixel
};

struct ImageDifference {
	bool sameSize = false;
	// Share (0..1) of pixels with a channel that differs by more than the tolerance.
	double differingShare = 1.0;
	// The largest difference of one channel over the whole picture.
	int largestDelta = 255;
};

// A rectangle of pixels, y from the top; width 0 stands for the whole picture.
struct PixelRegion {
	int x = 0, y = 0, width = 0, height = 0;
};

// How far b is from a within region (clipped to the pictures);
// differingShare 1 when the sizes differ or the region holds no pixel.
ImageDifference compareImages(const RgbImage& a, const RgbImage& b, int tolerance, PixelRegion region = {});

} // namespace test

#endif
