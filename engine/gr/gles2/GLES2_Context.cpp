#include <gr/gles2/GLES2_Context.h>
#include <gr/gles2/GLES2_CubeTexture.h>
#include <gr/gles2/GLES2_Palette.h>
#include <gr/gles2/GLES2_Primitive.h>
#include <gr/gles2/GLES2_Shader.h>
#include <gr/gles2/GLES2_Texture.h>

#include <cmath>
#include <cstdio>
#include <sys/stat.h>

namespace gr {

namespace {

bool isRegularFile(const std::string& path) {
	struct stat st;
	return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

float sign(float v) {
	return v > 0.f ? 1.f : (v < 0.f ? -1.f : 0.f);
}

GLuint makeSolidTexture(const uint8_t* rgba) {
	GLuint name = 0;
	gl.GenTextures(1, &name);
	gl.BindTexture(GL_TEXTURE_2D, name);
	gl.PixelStorei(GL_UNPACK_ALIGNMENT, 1);
	gl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 1, 1, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
	gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
	gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
	return name;
}

} // namespace

GLES2_Context::GLES2_Context(int width_, int height_, PresentCallback present, void* userData)
	: time(0.f), fogRange(1000000.f, 2000000.f, 0.000001f, 0.f),
	  fogColor(0.5f, 0.6f, 0.7f, 1.f), loadCounters{0, 0, 0, 0}, mirrored(false), clipPlaneEnabled(false),
	  width(width_), height(height_), platform(PLATFORM_UNSET), defaultFramebuffer{0, 0, 0}, m_currentPass(nullptr),
	  m_currentShader(nullptr), m_viewport(width_, height_), m_present(present), m_presentUserData(userData),
	  m_whiteTexture(0), m_renderTarget(nullptr) {
	gl.FrontFace(GL_CW);
	gl.Enable(GL_DEPTH_TEST);
	gl.DepthFunc(GL_LESS);
	gl.Viewport(0, 0, width, height);
}

GLES2_Context::~GLES2_Context() {
	// Textures may outlive the context: from now on they only delete their GL name.
	for (GLES2_Texture* texture : m_liveTextures)
		texture->m_context = nullptr;
	m_liveTextures.clear();
	m_renderTarget = nullptr;

	if (m_whiteTexture != 0)
		gl.DeleteTextures(1, &m_whiteTexture);
	for (auto& entry : m_framebuffers) {
		if (entry.second.framebuffer != 0)
			gl.DeleteFramebuffers(1, &entry.second.framebuffer);
		if (entry.second.depthBuffer != 0)
			gl.DeleteRenderbuffers(1, &entry.second.depthBuffer);
	}
	for (auto& entry : m_samplerDefaults)
		gl.DeleteTextures(1, &entry.second);
}

Palette* GLES2_Context::createPalette(int entries) {
	return new GLES2_Palette(entries);
}

Primitive* GLES2_Context::createPrimitive(PrimitiveType type, const VertexFormat& format, int vertexCount,
										  int indexCount, int) {
	return createPrimitive(type, format, vertexCount, indexCount);
}

Primitive* GLES2_Context::createPrimitive(PrimitiveType type, const VertexFormat& format, int vertexCount,
										  int indexCount) {
	return new GLES2_Primitive(this, type, format, vertexCount, indexCount);
}

Texture* GLES2_Context::createTexture(int w, int h, SurfaceFormat, int, int) {
	return new GLES2_Texture(this, w, h);
}

Texture* GLES2_Context::loadTexture(const lang::String& nameString) {
	const std::string name = nameString.c_str();
	std::string path = resolvePath(textureDirectory, name);
	if (path.empty()) {
		// The game data ships its textures as .pvr whatever the scene names.
		const std::string base = GLES2_Effect::baseName(name);
		const size_t dot = base.rfind('.');
		if (dot != std::string::npos)
			path = resolvePath(textureDirectory, base.substr(0, dot) + ".pvr");
	}
	if (path.empty())
		path = name;
	return GLES2_Texture::load(this, path);
}

CubeTexture* GLES2_Context::createCubeTexture(const lang::String&) {
	return new GLES2_CubeTexture;
}

void GLES2_Context::setViewport(const Rect& rect) {
	m_viewport = rect;
	gl.Viewport(rect.x0, getTargetHeight() - rect.y1, rect.x1 - rect.x0, rect.y1 - rect.y0);
}

void GLES2_Context::setPerspectiveProjection(float fov, float front, float back, float aspect) {
	math::Matrix4x4& p = m_projection;
	p.perspective(fov, front, back, aspect);
	// Depth 0..1 of the perspective matrix becomes GL's -1..1.
	for (int c = 0; c < 4; ++c)
		p.m[2][c] = 2.f * p.m[2][c] - p.m[3][c];

	if (!clipPlaneEnabled)
		return;
	// Oblique near plane: the clip plane replaces the near plane, so that
	// nothing behind it (below the water) reaches the reflection.
	if (std::fabs(p.determinant()) < 1e-12f)
		return;
	const math::Vector4 q = p.inverse() * math::Vector4(sign(clipPlane.x), sign(clipPlane.y), 1.f, 1.f);
	const float s = clipPlane.dot(q);
	if (!(std::fabs(s) > 1e-12f))
		return;
	const float k = 2.f / s;
	p.m[2][0] = clipPlane.x * k - p.m[3][0];
	p.m[2][1] = clipPlane.y * k - p.m[3][1];
	p.m[2][2] = clipPlane.z * k - p.m[3][2];
	p.m[2][3] = clipPlane.w * k - p.m[3][3];
}

void GLES2_Context::resetProjection(bool reset) {
	if (reset)
		m_projection = math::Matrix4x4();
}

void GLES2_Context::setRenderTarget(Texture* target) {
	GLES2_Texture* texture = dynamic_cast<GLES2_Texture*>(target);
	if (!texture) {
		gl.BindFramebuffer(GL_FRAMEBUFFER, GLuint(defaultFramebuffer.id));
		m_renderTarget = nullptr;
		return;
	}

	auto inserted = m_framebuffers.insert(std::make_pair(texture->glName(), RenderTarget{0, 0, 0, 0, nullptr}));
	RenderTarget& rt = inserted.first->second;
	if (rt.framebuffer != 0 && rt.texture == texture && rt.width == texture->getWidth() &&
		rt.height == texture->getHeight()) {
		gl.BindFramebuffer(GL_FRAMEBUFFER, rt.framebuffer);
		m_renderTarget = texture;
		return;
	}
	if (rt.framebuffer != 0) {
		gl.DeleteFramebuffers(1, &rt.framebuffer);
		gl.DeleteRenderbuffers(1, &rt.depthBuffer);
		rt.framebuffer = rt.depthBuffer = 0;
	}

	rt.texture = texture;
	gl.GenFramebuffers(1, &rt.framebuffer);
	gl.GenRenderbuffers(1, &rt.depthBuffer);
	gl.BindRenderbuffer(GL_RENDERBUFFER, rt.depthBuffer);
	gl.RenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, texture->getWidth(), texture->getHeight());
	gl.BindFramebuffer(GL_FRAMEBUFFER, rt.framebuffer);
	gl.FramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture->glName(), 0);
	gl.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, rt.depthBuffer);
	const GLenum status = gl.CheckFramebufferStatus(GL_FRAMEBUFFER);
	if (status != GL_FRAMEBUFFER_COMPLETE)
		fprintf(stderr, "[gles2] framebuffer incomplete (0x%04x)\n", unsigned(status));
	rt.width = texture->getWidth();
	rt.height = texture->getHeight();
	gl.BindFramebuffer(GL_FRAMEBUFFER, rt.framebuffer);
	m_renderTarget = texture;
}

void GLES2_Context::eraseFramebuffer(GLuint texture) {
	auto it = m_framebuffers.find(texture);
	if (it == m_framebuffers.end())
		return;
	const bool bound = m_renderTarget && m_renderTarget->glName() == texture;
	if (it->second.framebuffer != 0)
		gl.DeleteFramebuffers(1, &it->second.framebuffer);
	if (it->second.depthBuffer != 0)
		gl.DeleteRenderbuffers(1, &it->second.depthBuffer);
	m_framebuffers.erase(it);
	if (bound) {
		// GL falls back to framebuffer 0 when the bound one is deleted; the
		// game may be drawing into a framebuffer of its own instead.
		m_renderTarget = nullptr;
		gl.BindFramebuffer(GL_FRAMEBUFFER, GLuint(defaultFramebuffer.id));
	}
}

void GLES2_Context::beginScene() {}

void GLES2_Context::endScene() {}

void GLES2_Context::clear(uint32_t colour) {
	gl.ClearColor(float((colour >> 16) & 0xFF) / 255.f, float((colour >> 8) & 0xFF) / 255.f,
				  float(colour & 0xFF) / 255.f, float(colour >> 24) / 255.f);
	gl.DepthMask(GL_TRUE);
	gl.ClearDepthf(1.f);
	gl.Clear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void GLES2_Context::present() {
	if (m_present)
		m_present(m_presentUserData);
}

bool GLES2_Context::isReady() const {
	return true;
}

void GLES2_Context::saveScreenshot(const lang::String& path) {
	saveScreenshot(std::string(path.c_str()));
}

int GLES2_Context::getWidth() const {
	return width;
}
int GLES2_Context::getHeight() const {
	return height;
}
SurfaceFormat GLES2_Context::getSurfaceFormat() const {
	return SurfaceFormat(SurfaceFormat::A8R8G8B8);
}
const Rect& GLES2_Context::getViewport() const {
	return m_viewport;
}
const math::Matrix4x4& GLES2_Context::getProjectionMatrix() const {
	return m_projection;
}
int GLES2_Context::getPlatform() const {
	return platform;
}
void* GLES2_Context::getDeviceHandle() const {
	return nullptr;
}

std::string GLES2_Context::resolvePath(const std::string& directory, const std::string& name) {
	std::string path = name;
	for (char& c : path)
		if (c == '\\')
			c = '/';
	if (isRegularFile(path))
		return path;
	if (directory.empty())
		return std::string();
	// The game's directories end with '/': no separator is added.
	const std::string joined = directory + GLES2_Effect::baseName(path);
	return isRegularFile(joined) ? joined : std::string();
}

int GLES2_Context::getTargetWidth() const {
	if (m_renderTarget)
		return m_renderTarget->getWidth();
	if (defaultFramebuffer.id != 0 && defaultFramebuffer.width > 0)
		return defaultFramebuffer.width;
	return width;
}

int GLES2_Context::getTargetHeight() const {
	if (m_renderTarget)
		return m_renderTarget->getHeight();
	if (defaultFramebuffer.id != 0 && defaultFramebuffer.height > 0)
		return defaultFramebuffer.height;
	return height;
}

GLuint GLES2_Context::getWhiteTexture() {
	if (m_whiteTexture == 0) {
		static const uint8_t white[4] = {255, 255, 255, 255};
		m_whiteTexture = makeSolidTexture(white);
	}
	return m_whiteTexture;
}

GLuint GLES2_Context::getSamplerDefault(const std::string& name) {
	static const uint8_t black[4] = {0, 0, 0, 255};
	static const uint8_t flatNormal[4] = {128, 128, 255, 255};
	static const uint8_t grey[4] = {128, 128, 128, 255};
	const uint8_t* colour = nullptr;
	if (name == "REFLMAP" || name == "REFRACMAP")
		colour = black;
	else if (name == "NORMALMAP")
		colour = flatNormal;
	else if (name == "SIMAP")
		colour = grey;
	else
		return getWhiteTexture();

	auto it = m_samplerDefaults.find(name);
	if (it != m_samplerDefaults.end())
		return it->second;
	const GLuint texture = makeSolidTexture(colour);
	m_samplerDefaults[name] = texture;
	return texture;
}

Shader* GLES2_Context::createShader(const lang::String& nameString, int variant) {
	const std::string name = nameString.c_str();
	std::string path = resolvePath(shaderDirectory, name);
	if (path.empty())
		path = resolvePath(shaderDirectory, name + ".fx");

	GLES2_Effect* effect;
	if (!path.empty()) {
		effect = GLES2_Effect::load(this, path, variant);
	} else {
		if (m_missingEffects.insert(name).second)
			fprintf(stderr, "[gles2] effect '%s' not found (using fallback shader)\n", name.c_str());
		++loadCounters[EFFECTS_FALLEN_BACK];
		effect = GLES2_Effect::createFallback(this);
	}
	return new GLES2_Shader(this, effect);
}

} // gr
