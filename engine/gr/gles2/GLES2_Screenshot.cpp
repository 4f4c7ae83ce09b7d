#include <gr/gles2/GLES2_Context.h>

#include <stb_image_write.h>
#include <cstdio>
#include <cstring>
#include <vector>

namespace gr {

namespace {

struct PngSink {
	FILE* file;
	bool failed;
};

void writeToFile(void* context, void* data, int size) {
	PngSink* sink = static_cast<PngSink*>(context);
	if (!sink->failed && std::fwrite(data, 1, size_t(size), sink->file) != size_t(size))
		sink->failed = true;
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

	PngSink sink{std::fopen(path.c_str(), "wb"), false};
	if (!sink.file)
		return false;
	const int encoded = stbi_write_png_to_func(&writeToFile, &sink, width, height, 4, image.data(), int(rowBytes));
	const bool closed = std::fclose(sink.file) == 0;
	return encoded && !sink.failed && closed;
}

} // gr
