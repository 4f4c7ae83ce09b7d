#include "support/FakeContext.h"

#include <stdexcept>

namespace test {

FakeCall& FakeLog::add(const std::string& what) {
	calls.emplace_back();
	calls.back().what = what;
	return calls.back();
}

std::vector<std::string> FakeLog::texts(const std::string& prefix) const {
	std::vector<std::string> out;
	for (const FakeCall& c : calls) {
		if (c.what.compare(0, prefix.size(), prefix) == 0)
			out.push_back(c.what);
	}
	return out;
}

std::vector<std::string> FakeLog::containing(const std::string& part) const {
	std::vector<std::string> out;
	for (const FakeCall& c : calls) {
		if (c.what.find(part) != std::string::npos)
			out.push_back(c.what);
	}
	return out;
}

std::vector<const FakeCall*> FakeLog::find(const std::string& text) const {
	std::vector<const FakeCall*> out;
	for (const FakeCall& c : calls) {
		if (c.what == text)
			out.push_back(&c);
	}
	return out;
}

// FakeShader

FakeShader::FakeShader(FakeLog* log, const std::string& name, int priority_, int passes_)
	: priority(priority_), passes(passes_), m_log(log), m_label(name), m_name(name.c_str()) {}

gr::Shader* FakeShader::clone() const {
	return new FakeShader(m_log, m_label, priority, passes);
}

void FakeShader::setTechnique(const lang::String& name) {
	technique = name.c_str();
	if (m_log->enabled)
		m_log->add(m_label + ".setTechnique " + technique);
}

void FakeShader::setTexture(ParamType param, gr::BaseTexture*) {
	if (m_log->enabled)
		m_log->add(m_label + ".setTexture " + getParamName(param));
}

void FakeShader::setTexture(const lang::String& name, gr::BaseTexture*) {
	if (m_log->enabled)
		m_log->add(m_label + ".setTexture " + name.c_str());
}

void FakeShader::setMatrix(ParamType param, const math::Matrix4x4& value) {
	matrices[param] = value;
	isSet[param] = true;
	if (m_log->enabled)
		m_log->add(m_label + ".setMatrix " + getParamName(param)).matrix = value;
}

void FakeShader::setMatrix(const lang::String& name, const math::Matrix4x4& value) {
	if (m_log->enabled)
		m_log->add(m_label + ".setMatrix " + name.c_str()).matrix = value;
}

void FakeShader::setMatrixArray(ParamType param, const math::Matrix4x4* const* array, int count) {
	isSet[param] = true;
	if (m_log->enabled) {
		FakeCall& call = m_log->add(m_label + ".setMatrixArray " + getParamName(param));
		for (int i = 0; i < count; ++i)
			call.matrices.push_back(*array[i]);
	}
}

void FakeShader::setVector(ParamType param, const math::Vector4& value) {
	vectors[param] = value;
	isSet[param] = true;
	if (m_log->enabled)
		m_log->add(m_label + ".setVector " + getParamName(param)).vector = value;
}

void FakeShader::setVector(const lang::String& name, const math::Vector4& value) {
	if (m_log->enabled)
		m_log->add(m_label + ".setVector " + name.c_str()).vector = value;
}

void FakeShader::setFloat(ParamType param, float value) {
	if (m_log->enabled)
		m_log->add(m_label + ".setFloat " + getParamName(param)).vector = math::Vector4(value, 0, 0, 0);
}

void FakeShader::setFloat(const lang::String& name, float value) {
	if (m_log->enabled)
		m_log->add(m_label + ".setFloat " + name.c_str()).vector = math::Vector4(value, 0, 0, 0);
}

gr::BaseTexture* FakeShader::getTexture(const lang::String&) const {
	return nullptr;
}

math::Matrix4x4 FakeShader::getMatrix(const lang::String&) const {
	return math::Matrix4x4();
}

math::Vector4 FakeShader::getVector(const lang::String&) const {
	return math::Vector4();
}

float FakeShader::getFloat(const lang::String&) const {
	return 0.f;
}

int FakeShader::begin() {
	if (m_log->enabled)
		m_log->add(m_label + ".begin");
	return passes;
}

void FakeShader::beginPass(int pass) {
	if (m_log->enabled)
		m_log->add(m_label + ".beginPass " + std::to_string(pass));
	if (pass == throwInPass)
		throw std::runtime_error("pass failed");
}

void FakeShader::endPass() {
	if (m_log->enabled)
		m_log->add(m_label + ".endPass");
}

void FakeShader::end() {
	if (m_log->enabled)
		m_log->add(m_label + ".end");
}

void FakeShader::setName(const lang::String& name) {
	m_name = name;
	m_label = name.c_str();
}

void FakeShader::setFlags(int) {}

// FakePrimitive

FakePrimitive::FakePrimitive(FakeLog* log, gr::PrimitiveType type, const gr::VertexFormat& format, int vertexCount,
							 int indexCount)
	: m_log(log), m_type(type) {
	reset(format, vertexCount, indexCount);
}

void FakePrimitive::render() {
	if (m_log->enabled)
		m_log->add(label + ".render");
	if (throwOnRender)
		throw std::runtime_error("render failed");
}

// FakeContext

FakeContext::FakeContext(int width_, int height_, int platform_)
	: width(width_), height(height_), platform(platform_), m_viewport(width_, height_) {}

FakeContext::~FakeContext() {}

void FakeContext::setEffect(const std::string& name, int priority, int passes) {
	m_effects[name] = Effect{priority, passes};
}

lang::Ptr<FakeShader> FakeContext::shader(const std::string& name) {
	return static_cast<FakeShader*>(createShader(lang::String(name.c_str()), 0));
}

lang::Ptr<FakePrimitive> FakeContext::primitive(const std::string& label, gr::Shader* shader,
												const math::Vector3& boxMin, const math::Vector3& boxMax, float radius,
												bool skinned) {
	gr::VertexFormat format;
	format.addPosition(gr::VertexFormat::V3_32);
	if (skinned)
		format.addBones(gr::VertexFormat::V4_32, gr::VertexFormat::V4_8);
	lang::Ptr<FakePrimitive> p = new FakePrimitive(&log, gr::PRIMITIVE_TRIANGLELIST, format, 3, 0);
	p->label = label;
	p->setShader(shader);
	p->setBounds(boxMin, boxMax, radius);
	return p;
}

gr::Shader* FakeContext::createShader(const lang::String& name, int) {
	++shadersCreated;
	const std::string key = name.c_str();
	auto it = m_effects.find(key);
	if (it == m_effects.end())
		return new FakeShader(&log, key);
	return new FakeShader(&log, key, it->second.priority, it->second.passes);
}

gr::Palette* FakeContext::createPalette(int) {
	return nullptr;
}

gr::Primitive* FakeContext::createPrimitive(gr::PrimitiveType type, const gr::VertexFormat& format, int vertexCount,
											int indexCount, int) {
	return createPrimitive(type, format, vertexCount, indexCount);
}

gr::Primitive* FakeContext::createPrimitive(gr::PrimitiveType type, const gr::VertexFormat& format, int vertexCount,
											int indexCount) {
	++primitivesCreated;
	if (log.enabled)
		log.add("context.createPrimitive " + std::to_string(vertexCount));
	lastPrimitive = new FakePrimitive(&log, type, format, vertexCount, indexCount);
	return lastPrimitive.ptr();
}

gr::Texture* FakeContext::createTexture(int, int, gr::SurfaceFormat, int, int) {
	return nullptr;
}

gr::Texture* FakeContext::loadTexture(const lang::String&) {
	return nullptr;
}

gr::CubeTexture* FakeContext::createCubeTexture(const lang::String&) {
	return nullptr;
}

void FakeContext::setViewport(const gr::Rect& rect) {
	m_viewport = rect;
}

void FakeContext::setPerspectiveProjection(float horizontalFov, float front, float back, float aspect) {
	m_projection.perspective(horizontalFov, front, back, aspect);
	if (log.enabled)
		log.add("context.setPerspectiveProjection").vector = math::Vector4(horizontalFov, front, back, aspect);
}

void FakeContext::resetProjection(bool reset) {
	if (reset)
		m_projection = math::Matrix4x4();
	if (log.enabled)
		log.add(reset ? "context.resetProjection 1" : "context.resetProjection 0");
}

void FakeContext::setRenderTarget(gr::Texture*) {}

gr::SurfaceFormat FakeContext::getSurfaceFormat() const {
	return gr::SurfaceFormat(gr::SurfaceFormat::A8R8G8B8);
}

} // namespace test
