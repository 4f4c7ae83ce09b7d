// Particle systems of 10,000 particles: the simulation step per particle (with
// births and deaths, and advancing only), and the sprite vertex build of both
// builders per particle. Every run counts heap allocations inside the timed loop;
// after the first frame there should be none.
#include "support/AllocationCounter.h"
#include "support/FakeContext.h"
#include "support/Files.h"
#include "support/TempDir.h"

#include <hgr/Camera.h>
#include <hgr/DefaultResourceManager.h>
#include <hgr/ParticleSystem.h>
#include <lang/Ptr.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

/** Ten emissions of at most 1000 particles each, spread in front of the camera. */
std::string description(const char* particleLifeTime, const char* emissionRate, const char* emissionStopTime) {
	std::string text =
		"systemMaxEmissions = 10\n"
		"systemRate = CONSTANT 1000\n"
		"systemStopTime = CONSTANT -1\n"
		"systemLifeTime = CONSTANT -1\n"
		"emissionMaxParticles = 1000\n";
	text += std::string("emissionRate = ") + emissionRate + "\n";
	text += std::string("emissionStopTime = ") + emissionStopTime + "\n";
	text +=
		"emissionLifeTime = CONSTANT -1\n"
		"emissionPosition = BOX -20 -20 40 20 20 80\n";
	text += std::string("particleLifeTime = ") + particleLifeTime + "\n";
	text +=
		"particleStartVelocity = SPHERE 0 0 0 1 3\n"
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
	const std::string path = test::tempPath("system.prs");
	if (!test::writeFile(path, text)) {
		std::fprintf(stderr, "cannot write %s\n", path.c_str());
		std::abort();
	}
	lang::Ptr<hgr::DefaultResourceManager> manager = new hgr::DefaultResourceManager(context);
	return new hgr::ParticleSystem(context, path.c_str(), manager, "", "");
}

const float FRAME = 1.f / 60.f;

/** A 1280 x 720 device that draws nothing and records nothing, so that only the engine's own work is timed. */
lang::Ptr<test::FakeContext> makeContext(int platform) {
	lang::Ptr<test::FakeContext> context = new test::FakeContext(1280, 720, platform);
	context->log.enabled = false;
	return context;
}

void report(benchmark::State& state, long particles, long allocations) {
	state.SetItemsProcessed(particles);
	state.counters["particles"] = double(particles) / double(state.iterations());
	// Seconds per particle, printed with an SI prefix (n for nanoseconds).
	state.counters["time_per_particle"] =
		benchmark::Counter(double(particles), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
	state.counters["allocs_per_frame"] = double(allocations) / double(state.iterations());
}

// The timed frame updates of system.
void measureUpdates(benchmark::State& state, hgr::ParticleSystem* system) {
	long particles = 0;
	const long before = test::allocationCount();
	for (auto _ : state) {
		particles += system->getParticleCount();
		system->update(FRAME);
	}
	report(state, particles, test::allocationCount() - before);
}

// Births and deaths: particles live one second, 1000 born per second per emission.
void BM_ParticleUpdateSteady(benchmark::State& state) {
	std::srand(1);
	lang::Ptr<test::FakeContext> context = makeContext(gr::Context::PLATFORM_EGL);
	lang::Ptr<hgr::ParticleSystem> system =
		makeSystem(context, description("CONSTANT 1", "CONSTANT 1000", "CONSTANT -1"));
	for (int i = 0; i < 120; ++i)
		system->update(FRAME);
	measureUpdates(state, system);
}
BENCHMARK(BM_ParticleUpdateSteady);

// Advancing only: 10,000 immortal particles emitted at once, no births afterwards.
void BM_ParticleUpdateAdvance(benchmark::State& state) {
	std::srand(2);
	lang::Ptr<test::FakeContext> context = makeContext(gr::Context::PLATFORM_EGL);
	lang::Ptr<hgr::ParticleSystem> system =
		makeSystem(context, description("CONSTANT -1", "CONSTANT 1000000", "CONSTANT 0.02"));
	system->update(0.01f);
	system->update(FRAME);
	measureUpdates(state, system);
}
BENCHMARK(BM_ParticleUpdateAdvance);

// Sprite vertices of 10,000 particles through the camera's render pass.
void BM_ParticleBuild(benchmark::State& state) {
	std::srand(3);
	lang::Ptr<test::FakeContext> context = makeContext(int(state.range(0)));
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
	const long before = test::allocationCount();
	for (auto _ : state) {
		particles += system->getParticleCount();
		camera->render(context);
	}
	report(state, particles, test::allocationCount() - before);
	state.SetLabel(state.range(0) == gr::Context::PLATFORM_N3D ? "view space" : "screen space");
}
BENCHMARK(BM_ParticleBuild)->Arg(gr::Context::PLATFORM_EGL)->Arg(gr::Context::PLATFORM_N3D);

} // namespace

BENCHMARK_MAIN();
