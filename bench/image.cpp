// Texture image decoding: PVRTC at 4 and 2 bits per pixel, and a 1024 x 1024
// PNG through loadImageFile (file read included) and decodeImageFile against
// stb_image called directly on the same bytes.
#include <gr/ImageFile.h>
#include <gr/Pvrtc.h>

#include "support/Files.h"
#include "support/TempDir.h"

#include <benchmark/benchmark.h>
#include <stb_image.h>
#include <stb_image_write.h>


#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

const int kSize = 1024;

std::vector<std::uint8_t> randomBytes(std::size_t n) {
	std::mt19937 random(12345);
	std::vector<std::uint8_t> out(n);
	for (auto& b : out)
		b = std::uint8_t(random());
	return out;
}

void decompress(benchmark::State& state, bool twoBit) {
	const auto data = randomBytes(std::size_t(kSize) * kSize / (twoBit ? 4 : 2));
	std::vector<std::uint8_t> out(std::size_t(kSize) * kSize * 4);
	for (auto _ : state) {
		lumaroll::decompressPvrtc(data.data(), twoBit, kSize, kSize, out.data());
		benchmark::DoNotOptimize(out.data());
	}
	state.SetItemsProcessed(state.iterations() * kSize * kSize);
}

void BM_DecompressPvrtc4(benchmark::State& state) {
	decompress(state, false);
}
void BM_DecompressPvrtc2(benchmark::State& state) {
	decompress(state, true);
}
BENCHMARK(BM_DecompressPvrtc4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecompressPvrtc2)->Unit(benchmark::kMillisecond);

// A photo-like RGBA picture: smooth gradients with a little noise, so the
// PNG compresses about as well as real textures do.
const std::vector<std::uint8_t>& pngBytes() {
	static std::vector<std::uint8_t> png;
	if (png.empty()) {
		std::mt19937 random(7);
		std::vector<std::uint8_t> pixels(std::size_t(kSize) * kSize * 4);
		for (int y = 0; y < kSize; ++y)
			for (int x = 0; x < kSize; ++x) {
				std::uint8_t* p = &pixels[(std::size_t(y) * kSize + x) * 4];
				const int noise = int(random() % 8);
				p[0] = std::uint8_t(x / 4 + noise);
				p[1] = std::uint8_t(y / 4 + noise);
				p[2] = std::uint8_t((x + y) / 8 + noise);
				p[3] = std::uint8_t(255 - noise);
			}
		stbi_write_png_to_func(
			[](void* context, void* data, int size) {
				auto* out = static_cast<std::vector<std::uint8_t>*>(context);
				out->insert(out->end(), static_cast<std::uint8_t*>(data), static_cast<std::uint8_t*>(data) + size);
			},
			&png, kSize, kSize, 4, pixels.data(), kSize * 4);
	}
	return png;
}

const std::string& pngFile() {
	static std::string path;
	if (path.empty()) {
		path = test::tempPath("image.png");
		const auto& png = pngBytes();
		if (!test::writeFile(path, png.data(), png.size()))
			std::abort();
	}
	return path;
}

void BM_StbDirect(benchmark::State& state) {
	const auto& png = pngBytes();
	for (auto _ : state) {
		int w, h, n;
		stbi_uc* pixels = stbi_load_from_memory(png.data(), int(png.size()), &w, &h, &n, 4);
		benchmark::DoNotOptimize(pixels);
		stbi_image_free(pixels);
	}
	state.SetBytesProcessed(state.iterations() * std::int64_t(png.size()));
}

void BM_DecodeImageFilePng(benchmark::State& state) {
	const auto& png = pngBytes();
	lumaroll::ImageData image;
	for (auto _ : state) {
		if (!lumaroll::decodeImageFile(png.data(), png.size(), "bench.png", image))
			state.SkipWithError(image.error.c_str());
		benchmark::DoNotOptimize(image.levels.data());
	}
	state.SetBytesProcessed(state.iterations() * std::int64_t(png.size()));
}

void BM_LoadImageFilePng(benchmark::State& state) {
	const std::string& path = pngFile();
	lumaroll::ImageData image;
	for (auto _ : state) {
		if (!lumaroll::loadImageFile(path, image))
			state.SkipWithError(image.error.c_str());
		benchmark::DoNotOptimize(image.levels.data());
	}
	state.SetBytesProcessed(state.iterations() * std::int64_t(pngBytes().size()));
}

BENCHMARK(BM_StbDirect)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeImageFilePng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadImageFilePng)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
