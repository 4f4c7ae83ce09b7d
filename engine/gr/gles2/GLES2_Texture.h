#ifndef GR_GLES2_TEXTURE_H
#define GR_GLES2_TEXTURE_H

#include <gr/Texture.h>
#include <gr/gles2/GLES2_Dispatch.h>
#include <string>

namespace gr {

class GLES2_Context;

/**
 * A 2D GL texture, always 8-bit RGBA: created empty (render targets) or
 * loaded from an image file, with an 8 x 8 placeholder in place of a file
 * that cannot be loaded. May outlive its context; it then only deletes its
 * GL name.
 */
class GLES2_Texture : public Texture {
public:
	/** Size of the placeholder image. */
	enum { PLACEHOLDER_SIZE = 8 };

	/** An empty width x height texture, linear and clamped. */
	GLES2_Texture(GLES2_Context* context, int width, int height);

	/**
	 * Loads the image file at path. On failure prints a message, makes the
	 * placeholder and counts a failed texture; the result is never null.
	 */
	static GLES2_Texture* load(GLES2_Context* context, const std::string& path);

	~GLES2_Texture() override;

	int getWidth() const override { return m_width; }
	int getHeight() const override { return m_height; }
	SurfaceFormat getFormat() const override;

	/** Only A8R8G8B8 blocks (blue, green, red, alpha bytes) with pixels; anything else is ignored. */
	void uploadSubImage(int x, int y, const void* pixels, int rowPitch, int width, int height,
						SurfaceFormat format) override;

	void flushPixels() override;
	Rect getRect() const override;

	/** Null and 0: pixels are never kept in memory. */
	void getPixelData(void** pixels, int* pitch) override;

	GLuint glName() const { return m_glName; }

	/** True for an empty texture or a file that loaded; false for the placeholder. */
	bool isLoaded() const { return m_loaded; }

	/** The context, or null once it has been destroyed. */
	GLES2_Context* context() const { return m_context; }

	/** The placeholder's RGBA pixel at (x, y). */
	static void placeholderPixel(int x, int y, uint8_t* rgba);

private:
	friend class GLES2_Context;

	GLES2_Context* m_context;
	GLuint m_glName;
	int m_width;
	int m_height;
	bool m_loaded;

	explicit GLES2_Texture(GLES2_Context* context);
	void loadFile(const std::string& path);
	void makePlaceholder();

	GLES2_Texture(const GLES2_Texture&) = delete;
	GLES2_Texture& operator=(const GLES2_Texture&) = delete;
};

} // gr

#endif
