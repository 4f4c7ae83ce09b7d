#ifndef GR_CONTEXT_H
#define GR_CONTEXT_H

#include <gr/PrimitiveType.h>
#include <gr/Rect.h>
#include <gr/SurfaceFormat.h>
#include <gr/VertexFormat.h>
#include <lang/Object.h>
#include <lang/Ptr.h>
#include <lang/String.h>
#include <math/Matrix4x4.h>
#include <cstdint>

namespace gr {

class CubeTexture;
class Palette;
class Primitive;
class Shader;
class Texture;

/**
 * The rendering device. Create and load operations return a new object the
 * caller takes into a lang::Ptr; the context must outlive the shaders,
 * primitives and palettes it made.
 */
class Context : public lang::Object {
public:
	/** Platform ids as scene files store them. */
	enum Platform {
		PLATFORM_DX,
		PLATFORM_EGL,
		PLATFORM_PSP,
		PLATFORM_SW,
		PLATFORM_N3D,
	};

	/** Instance of the effect `name`; effects are cached per name and variant. */
	virtual Shader* createShader(const lang::String& name, int variant) = 0;

	virtual Palette* createPalette(int entries) = 0;

	/** The same primitive as the four-argument form (every caller passes 2 as the last int). */
	virtual Primitive* createPrimitive(PrimitiveType type, const VertexFormat& format, int vertexCount, int indexCount,
									   int indexSize) = 0;

	/** A primitive with 16-bit indices. */
	virtual Primitive* createPrimitive(PrimitiveType type, const VertexFormat& format, int vertexCount,
									   int indexCount) = 0;

	/** Empty texture (the two ints are passed 0). */
	virtual Texture* createTexture(int width, int height, SurfaceFormat format, int usage, int pool) = 0;

	/** Texture from a file name. */
	virtual Texture* loadTexture(const lang::String& name) = 0;

	virtual CubeTexture* createCubeTexture(const lang::String& name) = 0;

	virtual void setViewport(const Rect& rect) = 0;

	/** Field of view in radians. */
	virtual void setPerspectiveProjection(float horizontalFov, float front, float back, float aspect) = 0;

	/** True makes the stored projection the identity; false does nothing. */
	virtual void resetProjection(bool reset) = 0;

	/** Renders into the texture, or into the default framebuffer for null. */
	virtual void setRenderTarget(Texture* target) = 0;

	/** The base does nothing. */
	virtual void flush();

	virtual void beginScene() = 0;
	virtual void endScene() = 0;

	/** Clears colour (0xAARRGGBB) and depth. */
	virtual void clear(uint32_t colour) = 0;

	virtual void present() = 0;
	virtual bool isReady() const = 0;

	/** Writes the current frame to a PNG file at path. */
	virtual void saveScreenshot(const lang::String& path) = 0;

	virtual int getWidth() const = 0;
	virtual int getHeight() const = 0;
	virtual SurfaceFormat getSurfaceFormat() const = 0;
	virtual const Rect& getViewport() const = 0;
	virtual const math::Matrix4x4& getProjectionMatrix() const = 0;

	/** Platform id; may lie outside the table. */
	virtual int getPlatform() const = 0;

	virtual void* getDeviceHandle() const = 0;

	/** Width / height, both as floats. */
	float getAspectRatio() const;

	/** "OpenGL ES" and the like; "Unknown platform" outside 0..4. */
	static const char* platformName(int id);

	/** "egl" and the like; "unknown" outside 0..4. */
	static const char* platformShortName(int id);

	const char* getPlatformShortName() const;
};

/** Brackets a frame: beginScene on construction, endScene on destruction; holds a counted reference. */
class SceneGuard {
public:
	explicit SceneGuard(Context* context);
	~SceneGuard();

private:
	lang::Ptr<Context> m_context;

	SceneGuard(const SceneGuard&) = delete;
	SceneGuard& operator=(const SceneGuard&) = delete;
};

} // gr

#endif
