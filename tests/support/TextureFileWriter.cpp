#include "support/TextureFileWriter.h"

#include "support/Files.h"

#include <stb/stb_image_write.h>

namespace test {

TextureImage TextureImage::solid(int width, int height, uint8_t r, uint8_t g, uint8_t b, uint8_t a) {
	TextureImage image;
	image.width = width;
	image.height = height;
	image.rgba.resize(size_t(width) * size_t(height) * 4);
	for (size_t i = 0; i < image.rgba.size(); i += 4) {
		image.rgba[i] = r;
		image.rgba[i + 1] = g;
		image.rgba[i + 2] = b;
		image.rgba[i + 3] = a;
	}
	return image;
}

bool writePng(const std::string& path, const TextureImage& image) {
	const std::string::size_type slash = path.rfind('/');
	if (slash != std::string::npos && slash > 0 && !makeDirs(path.substr(0, slash)))
		return false;
	return stbi_write_png(path.c_str(), image.width, image.height, 4, image.rgba.data(), image.width * 4) != 0;
}

namespace {

void putWord(std::vector<uint8_t>& out, uint32_t v) {
	for (int i = 0; i < 4; ++i)
		out.push_back(uint8_t(v >> (8 * i)));
}

} // namespace

bool writePvr(const std::string& path, const std::vector<TextureImage>& levels, int mipCount, uint32_t flags) {
	if (levels.empty())
		return false;
	std::vector<uint8_t> data;
	const uint32_t rgba8888 = 0x12;
	const uint32_t mipFlag = levels.size() > 1 ? 0x100 : 0;
	uint32_t size = 0;
	for (const TextureImage& level : levels)
		size += uint32_t(level.rgba.size());
	putWord(data, 52);
	putWord(data, uint32_t(levels[0].height));
	putWord(data, uint32_t(levels[0].width));
	putWord(data, uint32_t(mipCount));
	putWord(data, rgba8888 | mipFlag | 0x8000 | flags);
	putWord(data, size);
	putWord(data, 32);
	putWord(data, 0x000000FF);
	putWord(data, 0x0000FF00);
	putWord(data, 0x00FF0000);
	putWord(data, 0xFF000000);
	data.insert(data.end(), {'P', 'V', 'R', '!'});
	putWord(data, 1);
	for (const TextureImage& level : levels)
		data.insert(data.end(), level.rgba.begin(), level.rgba.end());
	return writeFile(path, data.data(), data.size());
}

} // namespace test
