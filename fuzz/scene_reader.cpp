// Scene files of any content read into a scene over a fake rendering
// context, then updated and measured. Every failure must be an engine
// exception; nothing may crash, leak, hang or allocate past the file.
#include "support/FakeContext.h"
#include "support/MemoryInputStream.h"

#include <hgr/DefaultResourceManager.h>
#include <hgr/Scene.h>
#include <hgr/SceneInputStream.h>
#include <hgr/SceneReader.h>
#include <lang/Exception.h>
#include <lang/Ptr.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>

// Every engine exception announces itself on standard output; keep the
// fuzzer's output readable.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
	if (!std::freopen("/dev/null", "w", stdout))
		return 1;
	return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
	lang::Ptr<test::FakeContext> context = new test::FakeContext;
	context->log.enabled = false;
	lang::Ptr<hgr::DefaultResourceManager> resources = new hgr::DefaultResourceManager(context);
	lang::Ptr<hgr::Scene> scene = new hgr::Scene;
	scene->setName("fuzz.hgr");
	lang::Ptr<test::MemoryInputStream> memory = new test::MemoryInputStream(data, size, "fuzz.hgr");
	try {
		hgr::SceneInputStream in(memory);
		// As the game does: the context takes the file's platform before loading.
		context->platform = in.getPlatform();
		hgr::SceneReader reader(context, resources, "fuzz.hgr", "/nonexistent/textures", "/nonexistent/shaders",
								"/nonexistent/particles");
		reader.read(scene, in);
		scene->update(0.5f, 0.1f);
		scene->update(1e9f, 0.1f);
		math::Vector3 lo, hi;
		scene->getBoundBox(lo, hi);
	} catch (const lang::Exception&) {
	}
	return 0;
}
