// Any bytes through the image file decoder, named as a .pvr or a .png file
// (the name only matters for files without a PVR header).
#include <gr/ImageFile.h>
#include <gr/StbInputCheck.h>

#include <stb_image.h>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
	// Headers claiming millions of pixels make stb_image fill them all from
	// nothing (seconds each under the sanitizers); the loader's own limit is
	// covered by the tests, so keep the fuzzer on small images.
	int width = 0, height = 0, channels = 0;
	if (size <= 0x7fffffff && !lumaroll::stbInputProblem(data, size) &&
		stbi_info_from_memory(data, int(size), &width, &height, &channels) &&
		static_cast<long long>(width) * height > (1 << 20))
		return 0;
	lumaroll::ImageData image;
	const bool ok = lumaroll::decodeImageFile(data, size, (size & 1) ? "fuzz.pvr" : "fuzz.png", image);
	// A result is either levels of exactly width x height x 4 bytes or an error.
	if (ok == image.error.empty() && ok == !image.levels.empty()) {
		for (const auto& level : image.levels)
			if (level.width < 1 || level.height < 1 ||
				level.pixels.size() != size_t(level.width) * size_t(level.height) * 4)
				__builtin_trap();
	} else {
		__builtin_trap();
	}
	return 0;
}
