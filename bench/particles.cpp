// Particle systems of 10,000 particles: the simulation step per particle (with
// births and deaths, and advancing only), and the sprite vertex build of both
// builders per particle. Then whole frames (update and draw) of systems of the
// sizes levels use, and the memory systems take after loading and after 1,000
// frames, up to both maxima of a description (10922 x 10922). Every timed run
// counts heap allocations inside the timed loop; after the first frames there
// should be none.
#include "support/AllocationCounter.h"
#include "support/FakeContext.h"
#include "support/Files.h"
#include "support/ProcessFigures.h"
#include "support/TempDir.h"

#include <hgr/Camera.h>
#include <hgr/DefaultResourceManager.h>
#include <hgr/ParticleSystem.h>
#include <lang/Ptr.h>

#include <benchmark/benchmark.h>

#include <lang/Exception.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

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

/** Keys set over the default description (the keys left as bench text). */
std::string withCounts(int emissions, int particles, const std::string& rates) {
	std::string text = description("CONSTANT 1", "CONSTANT 1", "CONSTANT -1");
	auto set = [&text](const std::string& key, const std::string& value) {
		const size_t at = text.find(key + " = ");
		if (at != std::string::npos)
			text.replace(at, text.find('\n', at) - at, key + " = " + value);
		else
			text += key + " = " + value + "\n";
	};
	set("systemMaxEmissions", std::to_string(emissions));
	set("emissionMaxParticles", std::to_string(particles));
	// rates: "key = value" lines, one per key
	size_t from = 0;
	while (from < rates.size()) {
		const size_t end = rates.find('\n', from);
		const std::string line = rates.substr(from, end - from);
		const size_t eq = line.find(" = ");
		set(line.substr(0, eq), line.substr(eq + 3));
		from = end == std::string::npos ? rates.size() : end + 1;
	}
	return text;
}

/**
 * Steady births and deaths at a description's own scale: emissions live a
 * second and are launched as fast as they die; each emits its maximum over
 * its life; particles live half a second.
 */
std::string steadyText(int emissions, int particles) {
	return withCounts(emissions, particles,
					  "systemRate = CONSTANT " + std::to_string(emissions) +
						  "\nemissionLifeTime = CONSTANT 1\nemissionRate = CONSTANT " + std::to_string(particles) +
						  "\nparticleLifeTime = CONSTANT 0.5\nsystemLimitKill = OLDEST");
}

// Whole frames (an update and a draw through the camera) of systems of the
// sizes levels use, after two seconds of warming up.
void BM_ParticleFrame(benchmark::State& state) {
	std::srand(4);
	lang::Ptr<test::FakeContext> context = makeContext(gr::Context::PLATFORM_EGL);
	lang::Ptr<hgr::ParticleSystem> system = makeSystem(context, steadyText(int(state.range(0)), int(state.range(1))));
	lang::Ptr<hgr::Node> root = new hgr::Node;
	lang::Ptr<hgr::Camera> camera = new hgr::Camera;
	camera->linkTo(root);
	system->linkTo(root);
	for (int i = 0; i < 120; ++i) {
		system->update(FRAME);
		camera->render(context);
	}
	long particles = 0;
	const long before = test::allocationCount();
	for (auto _ : state) {
		particles += system->getParticleCount();
		system->update(FRAME);
		camera->render(context);
	}
	report(state, particles, test::allocationCount() - before);
}
BENCHMARK(BM_ParticleFrame)
	->ArgNames({"emissions", "particles"})
	->Args({1, 24})
	->Args({4, 16})
	->Args({10, 100})
	->Args({20, 200})
	->Args({10, 1000});

/** Heap and resident size grown by loading a system and by running it 1,000 frames; -1 when it does not load. */
struct MemoryFigures {
	long heapLoadKb = -1, heapRunKb = -1, residentLoadKb = -1, residentRunKb = -1;
	long particles = -1;
};

MemoryFigures measureMemory(const std::string& text) {
	MemoryFigures f;
	const long heap0 = test::allocatedBytes();
	const long resident0 = test::residentKb();
	lang::Ptr<test::FakeContext> context = makeContext(gr::Context::PLATFORM_EGL);
	lang::Ptr<hgr::ParticleSystem> system;
	try {
		system = makeSystem(context, text);
	} catch (const lang::Exception&) {
		return f;
	}
	lang::Ptr<hgr::Node> root = new hgr::Node;
	lang::Ptr<hgr::Camera> camera = new hgr::Camera;
	camera->linkTo(root);
	system->linkTo(root);
	f.heapLoadKb = (test::allocatedBytes() - heap0) / 1024;
	f.residentLoadKb = test::residentKb() - resident0;
	for (int i = 0; i < 1000; ++i) {
		system->update(FRAME);
		camera->render(context);
	}
	f.heapRunKb = (test::allocatedBytes() - heap0) / 1024;
	f.residentRunKb = test::residentKb() - resident0;
	f.particles = system->getParticleCount();
	return f;
}

/** measureMemory in a child process, so that no earlier run's freed memory hides this one's. */
MemoryFigures measureMemoryInChild(const std::string& text) {
	int fds[2];
	if (pipe(fds) != 0)
		std::abort();
	std::fflush(stdout);
	const pid_t pid = fork();
	if (pid == 0) {
		close(fds[0]);
		const MemoryFigures f = measureMemory(text);
		const ssize_t n = write(fds[1], &f, sizeof f);
		_exit(n == ssize_t(sizeof f) ? 0 : 1);
	}
	close(fds[1]);
	MemoryFigures f;
	if (read(fds[0], &f, sizeof f) != ssize_t(sizeof f))
		f = MemoryFigures();
	close(fds[0]);
	int status = 0;
	waitpid(pid, &status, 0);
	return f;
}

/**
 * Every slot filled as fast as the description allows, particles living a
 * second (without a kill policy: OLDEST would scan a full emission for each
 * particle it replaces).
 */
std::string fullText(int emissions, int particles) {
	return withCounts(emissions, particles,
					  "systemRate = CONSTANT 1000000\nemissionRate = CONSTANT 1000000\nparticleLifeTime = CONSTANT "
					  "1\nemissionLimitKill = NONE");
}

/** A few sparks: four emissions a second living two seconds, 30 particles a second each, living a second. */
std::string sparksText(int emissions, int particles) {
	return withCounts(emissions, particles,
					  "systemRate = CONSTANT 4\nemissionLifeTime = CONSTANT 2\nemissionRate = CONSTANT "
					  "30\nparticleLifeTime = CONSTANT 1");
}

// What a system holds after loading and after 1,000 frames (update and draw
// at 60 frames a second), against the largest description whose pools were
// made whole at load before (256 x 256): heap bytes held through operator new
// and the resident size, each grown since before the load, in kB. A
// description that does not load reports -1. The vertex data of the fake
// context is in the heap; a GL driver's copy is not counted.
void BM_ParticleMemory(benchmark::State& state) {
	const int emissions = int(state.range(0)), particles = int(state.range(1));
	const std::string text = state.range(2) ? fullText(emissions, particles) : sparksText(emissions, particles);
	MemoryFigures f;
	for (auto _ : state)
		f = measureMemoryInChild(text);
	state.counters["heap_load_kB"] = double(f.heapLoadKb);
	state.counters["heap_1000_kB"] = double(f.heapRunKb);
	state.counters["rss_load_kB"] = double(f.residentLoadKb);
	state.counters["rss_1000_kB"] = double(f.residentRunKb);
	state.counters["live"] = double(f.particles);
	state.SetLabel(state.range(2) ? "every slot filled" : "sparks");
}
BENCHMARK(BM_ParticleMemory)
	->ArgNames({"emissions", "particles", "full"})
	->Args({256, 256, 0})
	->Args({256, 256, 1})
	->Args({300, 300, 0})
	->Args({300, 300, 1})
	->Args({10922, 10922, 0})
	->Args({10922, 10922, 1})
	->Iterations(1)
	->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
