// Particle systems of 10,000 particles: the simulation step per particle (with
// births and deaths, and advancing only), and the sprite vertex build of both
// builders per particle. Every run counts heap allocations inside the timed loop;
// after the first frame there should be none.
#include <gr/Context.h>
#include <gr/DIPrimitive.h>
#include <gr/Shader.h>
#include <hgr/Camera.h>
#include <hgr/DefaultResourceManager.h>
#include <hgr/ParticleSystem.h>
#include <lang/Ptr.h>

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <unistd.h>

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif

namespace {

std::atomic<long> g_allocations{0};

} // namespace

void* operator new(std::size_t size) {
	g_allocations.fetch_add(1, std::memory_order_relaxed);
	if (void* p = std::malloc(size ? size : 1))
		return p;
	throw std::bad_alloc();
}

void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

// Device objects that do nothing but hold data, so that only the engine's own work is timed.

class NullShader : public gr::Shader {
public:
	Shader* clone() const override { return new NullShader; }
	void setTechnique(const lang::String&) override {}
	void setTexture(ParamType, gr::BaseTexture*) override {}
	void setTexture(const lang::String&, gr::BaseTexture*) override {}
	void setMatrix(ParamType, const math::Matrix4x4&) override {}
	void setMatrix(const lang::String&, const math::Matrix4x4&) override {}
	void setMatrixArray(ParamType, const math::Matrix4x4* const*, int) override {}
	void setVector(ParamType, const math::Vector4&) override {}
	void setVector(const lang::String&, const math::Vector4&) override {}
	void setFloat(ParamType, float) override {}
	void setFloat(const lang::String&, float) override {}
	gr::BaseTexture* getTexture(const lang::String&) const override { return nullptr; }
	math::Matrix4x4 getMatrix(const lang::String&) const override { return math::Matrix4x4(); }
	math::Vector4 getVector(const lang::String&) const override { return math::Vector4(); }
	float getFloat(const lang::String&) const override { return 0.f; }
	int begin() override { return 1; }
	void beginPass(int) override {}
	void endPass() override {}
	void end() override {}
	void setName(const lang::String&) override {}
	void setFlags(int) override {}
	int getPriority() const override { return 0; }
	int getFlags() const override { return 0; }
	bool isValid() const override { return true; }
	const lang::String& name() const override { return m_name; }

private:
	lang::String m_name;
};

class NullPrimitive : public gr::DIPrimitive {
public:
	NullPrimitive(gr::PrimitiveType type, const gr::VertexFormat& format, int vertices, int indices) : m_type(type) {
		reset(format, vertices, indices);
	}
	void setShader(gr::Shader* shader) override { m_shader = shader; }
	void render() override { benchmark::DoNotOptimize(getVertexRangeEnd()); }
	gr::PrimitiveType getType() const override { return m_type; }
	gr::Shader* getShader() const override { return m_shader; }

private:
	gr::PrimitiveType m_type;
	lang::Ptr<gr::Shader> m_shader;
};

class NullContext : public gr::Context {
public:
	explicit NullContext(int platform) : m_platform(platform), m_viewport(1280, 720) {}
	gr::Shader* createShader(const lang::String&, int) override { return new NullShader; }
	gr::Palette* createPalette(int) override { return nullptr; }
	gr::Primitive* createPrimitive(gr::PrimitiveType type, const gr::VertexFormat& format, int vertices, int indices,
								   int) override {
		return new NullPrimitive(type, format, vertices, indices);
	}
	gr::Primitive* createPrimitive(gr::PrimitiveType type, const gr::VertexFormat& format, int vertices,
								   int indices) override {
		return new NullPrimitive(type, format, vertices, indices);
	}
	gr::Texture* createTexture(int, int, gr::SurfaceFormat, int, int) override { return nullptr; }
	gr::Texture* loadTexture(const lang::String&) override { return nullptr; }
	gr::CubeTexture* createCubeTexture(const lang::String&) override { return nullptr; }
	void setViewport(const gr::Rect& rect) override { m_viewport = rect; }
	void setPerspectiveProjection(float hfov, float front, float back, float aspect) override {
		m_projection.perspective(hfov, front, back, aspect);
	}
	void resetProjection(bool) override {}
	void setRenderTarget(gr::Texture*) override {}
	void beginScene() override {}
	void endScene() override {}
	void clear(uint32_t) override {}
	void present() override {}
	bool isReady() const override { return true; }
	void saveScreenshot(const lang::String&) override {}
	int getWidth() const override { return m_viewport.x1; }
	int getHeight() const override { return m_viewport.y1; }
	gr::SurfaceFormat getSurfaceFormat() const override { return gr::SurfaceFormat::A8R8G8B8; }
	const gr::Rect& getViewport() const override { return m_viewport; }
	const math::Matrix4x4& getProjectionMatrix() const override { return m_projection; }
	int getPlatform() const override { return m_platform; }
	void* getDeviceHandle() const override { return nullptr; }

private:
	int m_platform;
	gr::Rect m_viewport;
	math::Matrix4x4 m_projection;
};

/** Ten emissions of at most 1000 particles each, spread in front of the camera. */
std::string description(const char* particleLifeTime, const char* emissionRate, const char* emissionStopTime) {
	std::string text = "systemMaxEmissions = 10\n"
					   "systemRate = CONSTANT 1000\n"
					   "systemStopTime = CONSTANT -1\n"
					   "systemLifeTime = CONSTANT -1\n"
					   "emissionMaxParticles = 1000\n";
	text += std::string("emissionRate = ") + emissionRate + "\n";
	text += std::string("emissionStopTime = ") + emissionStopTime + "\n";
	text += "emissionLifeTime = CONSTANT -1\n"
			"emissionPosition = BOX -20 -20 40 20 20 80\n";
	text += std::string("particleLifeTime = ") + particleLifeTime + "\n";
	text += "particleStartVelocity = SPHERE 0 0 0 1 3\n"
			"particleStartPosition = SPHERE 0 0 0 0 2\n"
			"particleStartSize = RANGE 0.5 1\n"
			"particleEndSize = CONSTANT 2\n"
			"particleStartAlpha = CONSTANT 1\n"
			"particleEndAlpha = CONSTANT 0\n"
			"particleStartColor = POINT 1 0.8 0.4\n"
			"particleEndColor = POINT 1 0.2 0\n"
			"particleSpriteElasticity = CONSTANT 0\n"
			"particleSpriteRotation = RANGE 0 360\n"
			"particleSpriteStartRotationSpeed = RANGE -90 90\n"
			"particleSpriteEndRotationSpeed = CONSTANT 0\n"
			"gravity = -9.8\n"
			"wind = 0.5 0 0\n"
			"textureFrameRate = 10\n"
			"textureFrames = 16\n"
			"textureAnimation = LOOP\n"
			"textureView = CAMERAUP\n"
			"emissionLimitKill = OLDEST\n"
			"systemLimitKill = NONE\n"
			"particleUpdateAlways = true\n"
			"shaderName = particle.fx\n";
	return text;
}

/** A system read from text written to a temporary file. */
lang::Ptr<hgr::ParticleSystem> makeSystem(gr::Context* context, const std::string& text) {
	char path[] = "/tmp/lumaroll-bench-XXXXXX";
	const int fd = mkstemp(path);
	if (fd < 0 || write(fd, text.data(), text.size()) != ssize_t(text.size())) {
		std::fprintf(stderr, "cannot write %s\n", path);
		std::abort();
	}
	close(fd);
	lang::Ptr<hgr::DefaultResourceManager> manager = new hgr::DefaultResourceManager(context);
	lang::Ptr<hgr::ParticleSystem> system = new hgr::ParticleSystem(context, path, manager, "", "");
	unlink(path);
	return system;
}

const float FRAME = 1.f / 60.f;

void report(benchmark::State& state, long particles, long allocations) {
	state.SetItemsProcessed(particles);
	state.counters["particles"] = double(particles) / double(state.iterations());
	// Seconds per particle, printed with an SI prefix (n for nanoseconds).
	state.counters["time_per_particle"] =
		benchmark::Counter(double(particles), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
	state.counters["allocs_per_frame"] = double(allocations) / double(state.iterations());
}

// Births and deaths: particles live one second, 1000 born per second per emission.
void BM_ParticleUpdateSteady(benchmark::State& state) {
	std::srand(1);
	lang::Ptr<NullContext> context = new NullContext(gr::Context::PLATFORM_EGL);
	lang::Ptr<hgr::ParticleSystem> system = makeSystem(context, description("CONSTANT 1", "CONSTANT 1000", "CONSTANT -1"));
	for (int i = 0; i < 120; ++i)
		system->update(FRAME);
	long particles = 0;
	const long before = g_allocations.load();
	for (auto _ : state) {
		particles += system->getParticleCount();
		system->update(FRAME);
	}
	report(state, particles, g_allocations.load() - before);
}
BENCHMARK(BM_ParticleUpdateSteady);

// Advancing only: 10,000 immortal particles emitted at once, no births afterwards.
void BM_ParticleUpdateAdvance(benchmark::State& state) {
	std::srand(2);
	lang::Ptr<NullContext> context = new NullContext(gr::Context::PLATFORM_EGL);
	lang::Ptr<hgr::ParticleSystem> system =
		makeSystem(context, description("CONSTANT -1", "CONSTANT 1000000", "CONSTANT 0.02"));
	system->update(0.01f);
	system->update(FRAME);
	long particles = 0;
	const long before = g_allocations.load();
	for (auto _ : state) {
		particles += system->getParticleCount();
		system->update(FRAME);
	}
	report(state, particles, g_allocations.load() - before);
}
BENCHMARK(BM_ParticleUpdateAdvance);

// Sprite vertices of 10,000 particles through the camera's render pass.
void BM_ParticleBuild(benchmark::State& state) {
	std::srand(3);
	lang::Ptr<NullContext> context = new NullContext(int(state.range(0)));
	lang::Ptr<hgr::ParticleSystem> system =
		makeSystem(context, description("CONSTANT -1", "CONSTANT 1000000", "CONSTANT 0.02"));
	lang::Ptr<hgr::Node> root = new hgr::Node;
	lang::Ptr<hgr::Camera> camera = new hgr::Camera;
	camera->linkTo(root);
	system->linkTo(root);
	system->update(0.01f);
	system->update(FRAME);
	camera->render(context); // the first draw makes the primitive
	long particles = 0;
	const long before = g_allocations.load();
	for (auto _ : state) {
		particles += system->getParticleCount();
		camera->render(context);
	}
	report(state, particles, g_allocations.load() - before);
	state.SetLabel(state.range(0) == gr::Context::PLATFORM_N3D ? "view space" : "screen space");
}
BENCHMARK(BM_ParticleBuild)->Arg(gr::Context::PLATFORM_EGL)->Arg(gr::Context::PLATFORM_N3D);

} // namespace

BENCHMARK_MAIN();
