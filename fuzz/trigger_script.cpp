// Trigger script text of any content, read into a trigger of a small world
// and run: started, stepped through a few updates with key presses, started
// again and removed. Nothing may throw, hang or touch memory it should not.
#include "logic/SceneWorld.h"
#include "support/FakeContext.h"

#include <hgr/Mesh.h>
#include <hgr/Scene.h>
#include <lang/Ptr.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace {

// box with its child lid, door, the water mesh O_water01 of two primitives and
// the nodes named by the script's owner "T_fuzz"; built fresh for every input,
// because scripts link, unlink, move and scroll them.
lang::Ptr<hgr::Scene> smallScene(test::FakeContext* context) {
	lang::Ptr<hgr::Scene> scene = new hgr::Scene;
	const char* names[] = {"box", "lid", "door", "T_fuzz", "N_a", "G_ballforms"};
	lang::Ptr<hgr::Node> box;
	for (const char* name : names) {
		lang::Ptr<hgr::Node> node = new hgr::Node;
		node->setName(name);
		node->linkTo(std::string(name) == "lid" ? box.ptr() : scene.ptr());
		if (!box)
			box = node;
	}
	lang::Ptr<hgr::Mesh> water = new hgr::Mesh;
	water->setName("O_water01");
	lang::Ptr<test::FakeShader> shader = context->shader("water.fx");
	water->addPrimitive(context->primitive("a", shader));
	water->addPrimitive(context->primitive("b", shader));
	water->linkTo(scene);
	return scene;
}

} // namespace

// The messages of the world and the runner go to standard output and error;
// keep the fuzzer's own output readable.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
	if (!std::freopen("/dev/null", "w", stdout))
		return 1;
	return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
	static lang::Ptr<test::FakeContext> context = [] {
		lang::Ptr<test::FakeContext> c = new test::FakeContext;
		c->log.enabled = false;
		return c;
	}();
	const std::string text(reinterpret_cast<const char*>(data), size);
	lang::Ptr<hgr::Scene> scene = smallScene(context);
	lumaroll::SceneWorld world(scene);
	world.addTrigger("T_fuzz", text);
	world.addTrigger("T_other", text);
	world.activateTrigger("T_fuzz");
	for (int frame = 0; frame < 8; ++frame) {
		if (frame % 2)
			world.pressedKeys.insert("lmouse");
		else
			world.pressedKeys.clear();
		world.update(frame == 5 ? 0.f : 0.25f);
	}
	world.setTriggerEnabled("T_fuzz", false);
	world.activateTrigger("T_fuzz");
	world.update(1.f);
	std::vector<lumaroll::PlayerRequest> requests;
	world.takePlayerRequests(requests);
	world.removeTrigger("T_other");
	return 0;
}
