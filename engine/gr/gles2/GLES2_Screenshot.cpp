#include <gr/gles2/GLES2_Context.h>

#include <stb_image_write.h>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace gr {

namespace {

void appendBytes(void* context, void* data, int size) {
	std::vector<uint8_t>& out = *static_cast<std::vector<uint8_t>*>(context);
	const uint8_t* bytes = static_cast<const uint8_t*>(data);
	out.insert(out.end(), bytes, bytes + size);
}

// Writes bytes to a temporary file beside path and renames it over path, so
// that path holds the earlier file or the whole new one even when the
// process is killed while writing. False (the temporary file removed) when
// any step fails.
bool replaceFile(const std::string& path, const std::vector<uint8_t>& bytes) {
	const std::string temp = path + ".tmp." + std::to_string(getpid());
	FILE* file = std::fopen(temp.c_str(), "wb");
	if (!file)
		return false;
	bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
	ok = std::fflush(file) == 0 && ok;
	ok = fsync(fileno(file)) == 0 && ok;
	ok = std::fclose(file) == 0 && ok;
	if (ok && std::rename(temp.c_str(), path.c_str()) == 0)
		return true;
	std::remove(temp.c_str());
	return false;
}

} // namespace

bool GLES2_Context::saveScreenshot(const std::string& path) {
	if (width <= 0 || height <= 0)
		return false;
	const size_t rowBytes = size_t(width) * 4;
	std::vector<uint8_t> pixels(rowBytes * size_t(height));

	// Read the window itself: the size is the window's, and a render target
	// left bound may be smaller or larger than it.
	GLint bound = 0;
	gl.GetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
	if (bound != 0)
		gl.BindFramebuffer(GL_FRAMEBUFFER, 0);
	gl.PixelStorei(GL_PACK_ALIGNMENT, 1);
	gl.ReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
	if (bound != 0)
		gl.BindFramebuffer(GL_FRAMEBUFFER, GLuint(bound));

	// GL reads bottom-up; the PNG's first row is the top of the screen.
	std::vector<uint8_t> image(pixels.size());
	for (int y = 0; y < height; ++y) {
		uint8_t* dst = image.data() + size_t(y) * rowBytes;
		std::memcpy(dst, pixels.data() + size_t(height - 1 - y) * rowBytes, rowBytes);
		for (int x = 0; x < width; ++x)
			dst[x * 4 + 3] = 255;
	}

	std::vector<uint8_t> png;
	if (!stbi_write_png_to_func(&appendBytes, &png, width, height, 4, image.data(), int(rowBytes)))
		return false;
	return replaceFile(path, png);
}

} // gr
