#include <gr/gles2/GLES2_Texture.h>
#include <gr/gles2/GLES2_Context.h>
#include <gr/ImageFile.h>

#include <cstdio>
#include <vector>

namespace gr {

namespace {

bool isPowerOfTwo(int v) {
	return v >= 1 && (v & (v - 1)) == 0;
}

void reportGLError(const char* where) {
	const GLenum error = gl.GetError();
	if (error != GL_NO_ERROR)
		fprintf(stderr, "[gles2] error GL 0x%04x en %s\n", unsigned(error), where);
}

} // namespace

GLES2_Texture::GLES2_Texture(GLES2_Context* context)
	: m_context(context), m_glName(0), m_width(1), m_height(1), m_loaded(false) {
	if (m_context)
		m_context->m_liveTextures.insert(this);
}

GLES2_Texture::GLES2_Texture(GLES2_Context* context, int width, int height) : GLES2_Texture(context) {
	m_width = width;
	m_height = height;
	gl.GenTextures(1, &m_glName);
	gl.BindTexture(GL_TEXTURE_2D, m_glName);
	gl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
	gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
	gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
	gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
	gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
	m_loaded = true;
}

GLES2_Texture* GLES2_Texture::load(GLES2_Context* context, const std::string& path) {
	GLES2_Texture* texture = new GLES2_Texture(context);
	texture->loadFile(path);
	return texture;
}

GLES2_Texture::~GLES2_Texture() {
	if (m_context) {
		m_context->eraseFramebuffer(m_glName);
		m_context->m_liveTextures.erase(this);
	}
	if (m_glName != 0)
		gl.DeleteTextures(1, &m_glName);
}

void GLES2_Texture::loadFile(const std::string& path) {
	lumaroll::ImageData image;
	if (!lumaroll::loadImageFile(path, image)) {
		fprintf(stderr, "[gles2] texture '%s': %s\n", path.c_str(), image.error.c_str());
		makePlaceholder();
		if (m_context)
			++m_context->loadCounters[GLES2_Context::TEXTURES_FAILED];
		return;
	}
	// image.flipVertical (rows stored bottom-up) is deliberately not acted
	// on: the game's texture coordinates are made for the rows as stored.

	const lumaroll::ImageData::Level& top = image.levels[0];
	m_width = top.width;
	m_height = top.height;
	gl.GenTextures(1, &m_glName);
	gl.BindTexture(GL_TEXTURE_2D, m_glName);
	gl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);

	if (!isPowerOfTwo(m_width) || !isPowerOfTwo(m_height)) {
		// ES 2.0 allows neither mip-maps nor repeat on these sizes.
		gl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, top.width, top.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
					  top.pixels.data());
		gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
		gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
		gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
	} else {
		// Take the file's levels while each has the size its level number
		// calls for; a file may list more levels (or odd sizes) than the
		// texture can hold, and GL refuses those.
		size_t levels = 0;
		while (levels < image.levels.size()) {
			const lumaroll::ImageData::Level& level = image.levels[levels];
			const int w = m_width >> levels, h = m_height >> levels;
			if ((w == 0 && h == 0) || level.width != (w > 0 ? w : 1) || level.height != (h > 0 ? h : 1))
				break;
			gl.TexImage2D(GL_TEXTURE_2D, GLint(levels), GL_RGBA, level.width, level.height, 0, GL_RGBA,
						  GL_UNSIGNED_BYTE, level.pixels.data());
			++levels;
		}
		const lumaroll::ImageData::Level& last = image.levels[levels - 1];
		// A complete chain from the file stays; anything shorter is regenerated from level 0.
		if (levels < 2 || last.width != 1 || last.height != 1)
			gl.GenerateMipmap(GL_TEXTURE_2D);
		gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
		gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
		gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
	}
	gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
	reportGLError("GLES2_Texture");

	m_loaded = true;
	if (m_context)
		++m_context->loadCounters[GLES2_Context::TEXTURES_LOADED];
}

void GLES2_Texture::placeholderPixel(int x, int y, uint8_t* rgba) {
	const bool magenta = (((x >> 1) ^ (y >> 1)) & 1) != 0;
	rgba[0] = magenta ? 255 : 90;
	rgba[1] = magenta ? 0 : 90;
	rgba[2] = magenta ? 255 : 90;
	rgba[3] = 255;
}

void GLES2_Texture::makePlaceholder() {
	uint8_t pixels[PLACEHOLDER_SIZE * PLACEHOLDER_SIZE * 4];
	for (int y = 0; y < PLACEHOLDER_SIZE; ++y)
		for (int x = 0; x < PLACEHOLDER_SIZE; ++x)
			placeholderPixel(x, y, pixels + (y * PLACEHOLDER_SIZE + x) * 4);
	m_width = m_height = PLACEHOLDER_SIZE;
	gl.GenTextures(1, &m_glName);
	gl.BindTexture(GL_TEXTURE_2D, m_glName);
	gl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
	gl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, PLACEHOLDER_SIZE, PLACEHOLDER_SIZE, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
	gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
	gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
}

SurfaceFormat GLES2_Texture::getFormat() const {
	return SurfaceFormat(SurfaceFormat::A8R8G8B8);
}

void GLES2_Texture::uploadSubImage(int x, int y, const void* pixels, int rowPitch, int width, int height,
								   SurfaceFormat format) {
	if (format != SurfaceFormat(SurfaceFormat::A8R8G8B8) || !pixels || width <= 0 || height <= 0)
		return;
	// Reused between uploads (main thread only): a fresh block of this size
	// costs more in page faults than the reordering itself.
	static std::vector<uint8_t> rgba;
	if (rgba.size() < size_t(width) * size_t(height) * 4)
		rgba.resize(size_t(width) * size_t(height) * 4);
	for (int j = 0; j < height; ++j) {
		const uint8_t* src = static_cast<const uint8_t*>(pixels) + ptrdiff_t(j) * rowPitch;
		uint8_t* dst = rgba.data() + size_t(j) * size_t(width) * 4;
		for (int i = 0; i < width; ++i, src += 4, dst += 4) {
			dst[0] = src[2];
			dst[1] = src[1];
			dst[2] = src[0];
			dst[3] = src[3];
		}
	}
	gl.BindTexture(GL_TEXTURE_2D, m_glName);
	gl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
	gl.TexSubImage2D(GL_TEXTURE_2D, 0, x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
}

void GLES2_Texture::flushPixels() {}

Rect GLES2_Texture::getRect() const {
	return Rect(m_width, m_height);
}

void GLES2_Texture::getPixelData(void** pixels, int* pitch) {
	if (pixels)
		*pixels = nullptr;
	if (pitch)
		*pitch = 0;
}

} // gr
