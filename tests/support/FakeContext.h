#ifndef SUPPORT_FAKECONTEXT_H
#define SUPPORT_FAKECONTEXT_H

#include <gr/Context.h>
#include <gr/DIPrimitive.h>
#include <gr/Shader.h>
#include <lang/Ptr.h>
#include <math/Matrix4x4.h>
#include <math/Vector4.h>

#include <map>
#include <string>
#include <vector>

namespace test {

// One recorded device call: "shader.begin", "shader.setMatrix TOTALTM",
// "primitive.render", "context.setPerspectiveProjection" and so on, with the
// value it carried.
struct FakeCall {
	std::string what;
	math::Matrix4x4 matrix;
	math::Vector4 vector;
	std::vector<math::Matrix4x4> matrices;
};

// Ordered log shared by a fake context and everything it made. Recording can
// be switched off (the allocation tests need a log that allocates nothing).
class FakeLog {
public:
	bool enabled = true;
	std::vector<FakeCall> calls;

	FakeCall& add(const std::string& what);
	void clear() { calls.clear(); }

	// The what texts in order, optionally only those starting with prefix.
	std::vector<std::string> texts(const std::string& prefix = std::string()) const;
	// The what texts containing part.
	std::vector<std::string> containing(const std::string& part) const;
	// The calls whose what equals text.
	std::vector<const FakeCall*> find(const std::string& text) const;
};

class FakeContext;

// Shader recording every call; its priority and pass count are settable.
class FakeShader : public gr::Shader {
public:
	FakeShader(FakeLog* log, const std::string& name, int priority = 0, int passes = 1);

	int priority;
	int passes;
	// Throws from beginPass of this pass number (-1: never).
	int throwInPass = -1;
	std::string technique;
	// Last values set by id.
	math::Matrix4x4 matrices[PARAM_COUNT];
	math::Vector4 vectors[PARAM_COUNT];
	bool isSet[PARAM_COUNT] = {};

	Shader* clone() const override;
	void setTechnique(const lang::String& name) override;
	void setTexture(ParamType param, gr::BaseTexture* value) override;
	void setTexture(const lang::String& name, gr::BaseTexture* value) override;
	void setMatrix(ParamType param, const math::Matrix4x4& value) override;
	void setMatrix(const lang::String& name, const math::Matrix4x4& value) override;
	void setMatrixArray(ParamType param, const math::Matrix4x4* const* matrices, int count) override;
	void setVector(ParamType param, const math::Vector4& value) override;
	void setVector(const lang::String& name, const math::Vector4& value) override;
	void setFloat(ParamType param, float value) override;
	void setFloat(const lang::String& name, float value) override;
	gr::BaseTexture* getTexture(const lang::String& name) const override;
	math::Matrix4x4 getMatrix(const lang::String& name) const override;
	math::Vector4 getVector(const lang::String& name) const override;
	float getFloat(const lang::String& name) const override;
	int begin() override;
	void beginPass(int pass) override;
	void endPass() override;
	void end() override;
	void setName(const lang::String& name) override;
	void setFlags(int flags) override;
	int getPriority() const override { return priority; }
	int getFlags() const override { return 0; }
	bool isValid() const override { return true; }
	const lang::String& name() const override { return m_name; }

	const std::string& label() const { return m_label; }

private:
	FakeLog* m_log;
	std::string m_label;
	lang::String m_name;
};

// In-memory primitive that records its draws as "<label>.render".
class FakePrimitive : public gr::DIPrimitive {
public:
	FakePrimitive(FakeLog* log, gr::PrimitiveType type, const gr::VertexFormat& format, int vertexCount,
				  int indexCount);

	std::string label = "primitive";
	// Throws from render when set.
	bool throwOnRender = false;

	void setShader(gr::Shader* shader) override { m_shader = shader; }
	void render() override;
	gr::PrimitiveType getType() const override { return m_type; }
	gr::Shader* getShader() const override { return m_shader.ptr(); }

private:
	FakeLog* m_log;
	gr::PrimitiveType m_type;
	lang::Ptr<gr::Shader> m_shader;
};

// Rendering context that draws nothing: it records projection calls, hands
// out fake shaders (priority and passes per effect name) and primitives, and
// reports a settable size and platform.
class FakeContext : public gr::Context {
public:
	explicit FakeContext(int width = 640, int height = 480, int platform = PLATFORM_EGL);
	~FakeContext() override;

	FakeLog log;
	int width;
	int height;
	int platform;
	int shadersCreated = 0;
	int primitivesCreated = 0;
	// The last primitive made by createPrimitive (kept alive by this context).
	lang::Ptr<FakePrimitive> lastPrimitive;

	// Priority and pass count of the shaders made for an effect name from now on.
	void setEffect(const std::string& name, int priority, int passes = 1);
	// A shader of the effect name, as createShader gives.
	lang::Ptr<FakeShader> shader(const std::string& name);
	// A triangle-list primitive with a position box (min, max) and radius, drawn with shader.
	lang::Ptr<FakePrimitive> primitive(const std::string& label, gr::Shader* shader,
									   const math::Vector3& boxMin = math::Vector3(-1, -1, -1),
									   const math::Vector3& boxMax = math::Vector3(1, 1, 1), float radius = 1.7320508f,
									   bool skinned = false);

	gr::Shader* createShader(const lang::String& name, int variant) override;
	gr::Palette* createPalette(int entries) override;
	gr::Primitive* createPrimitive(gr::PrimitiveType type, const gr::VertexFormat& format, int vertexCount,
								   int indexCount, int indexSize) override;
	gr::Primitive* createPrimitive(gr::PrimitiveType type, const gr::VertexFormat& format, int vertexCount,
								   int indexCount) override;
	gr::Texture* createTexture(int width, int height, gr::SurfaceFormat format, int usage, int pool) override;
	gr::Texture* loadTexture(const lang::String& name) override;
	gr::CubeTexture* createCubeTexture(const lang::String& name) override;
	void setViewport(const gr::Rect& rect) override;
	// Logged with the four values in the vector (hfov, front, back, aspect); builds the projection.
	void setPerspectiveProjection(float horizontalFov, float front, float back, float aspect) override;
	void resetProjection(bool reset) override;
	void setRenderTarget(gr::Texture* target) override;
	void beginScene() override {}
	void endScene() override {}
	void clear(uint32_t) override {}
	void present() override {}
	bool isReady() const override { return true; }
	void saveScreenshot(const lang::String&) override {}
	int getWidth() const override { return width; }
	int getHeight() const override { return height; }
	gr::SurfaceFormat getSurfaceFormat() const override;
	const gr::Rect& getViewport() const override { return m_viewport; }
	const math::Matrix4x4& getProjectionMatrix() const override { return m_projection; }
	int getPlatform() const override { return platform; }
	void* getDeviceHandle() const override { return nullptr; }

private:
	struct Effect {
		int priority;
		int passes;
	};
	std::map<std::string, Effect> m_effects;
	gr::Rect m_viewport;
	math::Matrix4x4 m_projection;
};

} // namespace test

#endif
