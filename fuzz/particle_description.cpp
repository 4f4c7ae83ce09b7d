// Particle descriptions of any content: read and checked as the resource
// manager reads them; a description that passes starts a system over a fake
// context, which is updated with the game's frame steps and drawn. Every
// failure must be an engine exception; nothing may crash, leak or hang.
#include "support/FakeContext.h"
#include "support/Files.h"
#include "support/TempDir.h"

#include <hgr/Camera.h>
#include <hgr/DefaultResourceManager.h>
#include <hgr/Node.h>
#include <hgr/ParticleDescription.h>
#include <hgr/ParticleSystem.h>
#include <lang/Exception.h>
#include <lang/Ptr.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

// Every engine exception announces itself on standard output; keep the
// fuzzer's output readable.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
	if (!std::freopen("/dev/null", "w", stdout))
		return 1;
	return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
	static const std::string path = test::tempPath("fuzz.prs");
	if (!test::writeFile(path, data, size))
		return 0;
	std::srand(1);
	lang::Ptr<test::FakeContext> context = new test::FakeContext(640, 480, gr::Context::PLATFORM_EGL);
	context->log.enabled = false;
	lang::Ptr<hgr::DefaultResourceManager> manager = new hgr::DefaultResourceManager(context);
	lang::Ptr<hgr::ParticleSystem> system;
	try {
		system = new hgr::ParticleSystem(context, path.c_str(), manager, "", "");
	} catch (const lang::Exception&) {
		return 0;
	}
	const hgr::ParticleSystem::Description* d = system->getDescription();
	lang::Ptr<hgr::Node> root = new hgr::Node;
	lang::Ptr<hgr::Camera> camera = new hgr::Camera;
	camera->linkTo(root);
	system->linkTo(root);
	// The game clamps a frame to 0.1 s.
	const float steps[] = {0.1f, 1.f / 60.f, 0.1f, 0.f, 1.f / 30.f};
	for (float dt : steps) {
		system->update(dt);
		if (system->getParticleCount() > d->systemMaxEmissions * d->emissionMaxParticles)
			__builtin_trap();
		camera->render(context);
	}
	hgr::ParticleSystem copy(*system);
	copy.update(0.1f);
	return 0;
}
