#ifndef GR_GLES2_CONTEXT_H
#define GR_GLES2_CONTEXT_H

#include <gr/Context.h>
#include <gr/Texture.h>
#include <gr/gles2/GLES2_Dispatch.h>
#include <gr/gles2/GLES2_Effect.h>
#include <lang/Ptr.h>
#include <math/Matrix4x4.h>
#include <math/Vector4.h>
#include <map>
#include <set>
#include <string>

namespace gr {

class GLES2_Shader;
class GLES2_Texture;

/**
 * Rendering device on an OpenGL ES 2.0 context that the caller has created
 * and made current. Creates the device objects and keeps the frame state and
 * the state that shader passes read. Never creates, swaps or destroys the GL
 * context, and neither saves nor restores GL state.
 *
 * The public data members below are the state the game sets directly.
 */
class GLES2_Context : public Context {
public:
	typedef void (*PresentCallback)(void* userData);

	/** Indices into loadCounters. */
	enum LoadCounter { TEXTURES_LOADED, TEXTURES_FAILED, EFFECTS_LOADED, EFFECTS_FALLEN_BACK, LOAD_COUNTER_COUNT };

	/** A framebuffer drawn into when no texture is the target; id 0 is the window. */
	struct DefaultFramebuffer {
		int id;
		int width;
		int height;
	};

	/** Platform id reported before the game stores the level's. */
	enum { PLATFORM_UNSET = 5 };

	/** Elapsed seconds; the TIME uniform. */
	float time;
	/** FOG_RANGE uniform: (start, end, 1 / (end - start), 0). */
	math::Vector4 fogRange;
	/** FOG_COLOR uniform (r, g, b, a). */
	math::Vector4 fogColor;
	/** Textures loaded, textures failed, effects loaded, effects fallen back. */
	int loadCounters[LOAD_COUNTER_COUNT];
	/** When not empty, every shader's begin uses the technique of this name. */
	std::string techniqueOverride;
	/** Front faces are counter-clockwise while set. */
	bool mirrored;
	/** setPerspectiveProjection replaces the near plane by clipPlane while set. */
	bool clipPlaneEnabled;
	/** Plane (a, b, c, d) in view space for the oblique near plane. */
	math::Vector4 clipPlane;
	/** Bound to REFLMAP samplers of water effects. */
	lang::Ptr<Texture> reflectionMap;
	/** Bound to NORMALMAP samplers of water effects. */
	lang::Ptr<Texture> waterNormalMap;
	/** Size of the window's drawable. */
	int width;
	int height;
	/** Reported by getPlatform. */
	int platform;
	/** Bound by setRenderTarget(null); a size above 0 replaces width or height for the viewport flip. */
	DefaultFramebuffer defaultFramebuffer;
	/** Directory searched by createShader, ending with '/'. */
	std::string shaderDirectory;
	/** Directory searched by loadTexture, ending with '/'. */
	std::string textureDirectory;

	/** Sets GL front face, depth test and viewport for the given drawable size. */
	GLES2_Context(int width, int height, PresentCallback present, void* userData);

	/** Unlinks the live textures and deletes the GL objects the context owns. */
	~GLES2_Context() override;

	/** A shader instance of the effect; the fallback effect when the file is missing or broken. Never null. */
	Shader* createShader(const lang::String& name, int variant) override;
	Palette* createPalette(int entries) override;
	Primitive* createPrimitive(PrimitiveType type, const VertexFormat& format, int vertexCount, int indexCount,
							   int indexSize) override;
	Primitive* createPrimitive(PrimitiveType type, const VertexFormat& format, int vertexCount,
							   int indexCount) override;
	/** Always 8-bit RGBA; the format and the two ints are ignored. */
	Texture* createTexture(int width, int height, SurfaceFormat format, int usage, int pool) override;
	/** The file's texture, or the placeholder when it cannot be loaded. Never null. */
	Texture* loadTexture(const lang::String& name) override;
	/** A placeholder; the name is ignored. */
	CubeTexture* createCubeTexture(const lang::String& name) override;
	/** Stores rect and sets the GL viewport y-flipped against the current target's height. */
	void setViewport(const Rect& rect) override;
	void setPerspectiveProjection(float horizontalFov, float front, float back, float aspect) override;
	void resetProjection(bool reset) override;
	void setRenderTarget(Texture* target) override;
	void beginScene() override;
	void endScene() override;
	void clear(uint32_t colour) override;
	void present() override;
	bool isReady() const override;
	void saveScreenshot(const lang::String& path) override;
	int getWidth() const override;
	int getHeight() const override;
	SurfaceFormat getSurfaceFormat() const override;
	const Rect& getViewport() const override;
	const math::Matrix4x4& getProjectionMatrix() const override;
	int getPlatform() const override;
	void* getDeviceHandle() const override;

	/**
	 * Writes the window's framebuffer (width x height, whatever target is
	 * bound) to a PNG file at path, top row first, alpha 255, through a
	 * temporary file beside it: path holds an earlier file or the whole new
	 * picture, also when the process dies while writing. Returns false (an
	 * earlier file untouched) when encoding fails or the file cannot be
	 * written, flushed or renamed into place.
	 */
	bool saveScreenshot(const std::string& path);

	/**
	 * The name itself ('\' turned to '/') when it is a regular file, else
	 * directory + its base name when that is one; empty when neither is.
	 */
	static std::string resolvePath(const std::string& directory, const std::string& name);

	/** Size of the current target: render texture, sized default framebuffer or the drawable. */
	int getTargetWidth() const;
	int getTargetHeight() const;

	/** Shared 1 x 1 white texture, created on first use. */
	GLuint getWhiteTexture();

	/** 1 x 1 default texture of a sampler name (black reflections, flat normals, grey SIMAP, else white). */
	GLuint getSamplerDefault(const std::string& name);

	/** Deletes the framebuffer built for a texture's GL name; rebinds the default framebuffer when it was bound. */
	void eraseFramebuffer(GLuint texture);

	/** Pass made current by a shader's beginPass; null outside a pass. */
	const GLES2_Effect::Pass* currentPass() const { return m_currentPass; }

	/** Shader instance of the current pass; null outside a pass. */
	GLES2_Shader* currentShader() const { return m_currentShader; }

	/** The texture bound as render target; null for the default framebuffer. */
	GLES2_Texture* renderTarget() const { return m_renderTarget; }

	/** Number of framebuffers built for render-target textures. */
	int framebufferCount() const { return int(m_framebuffers.size()); }

private:
	friend class GLES2_Effect;
	friend class GLES2_Shader;
	friend class GLES2_Texture;

	struct RenderTarget {
		GLuint framebuffer;
		GLuint depthBuffer;
		int width;
		int height;
		const GLES2_Texture* texture;
	};

	const GLES2_Effect::Pass* m_currentPass;
	GLES2_Shader* m_currentShader;
	std::set<std::string> m_warnedSamplers;
	Rect m_viewport;
	math::Matrix4x4 m_projection;
	PresentCallback m_present;
	void* m_presentUserData;
	GLuint m_whiteTexture;
	std::map<GLuint, RenderTarget> m_framebuffers;
	GLES2_Texture* m_renderTarget;
	std::set<GLES2_Texture*> m_liveTextures;
	std::map<std::string, GLuint> m_samplerDefaults;
	std::map<std::string, lang::Ptr<GLES2_Effect>> m_effectCache;
	lang::Ptr<GLES2_Effect> m_fallbackEffect;
	std::set<std::string> m_missingEffects;

	GLES2_Context(const GLES2_Context&) = delete;
	GLES2_Context& operator=(const GLES2_Context&) = delete;
};

} // gr

#endif
