// Render pass CPU cost on the recording fake context (recording off): a tree
// of 10,000 meshes, all inside the view or all outside it, so the time per
// node of a visible and of a culled mesh can be read off.
#include "support/FakeContext.h"

#include <hgr/Camera.h>
#include <hgr/Light.h>
#include <hgr/Mesh.h>

#include <benchmark/benchmark.h>

namespace {

constexpr int NODE_COUNT = 10000;

struct Scene {
	lang::Ptr<test::FakeContext> context = new test::FakeContext(800, 480);
	lang::Ptr<hgr::Node> root = new hgr::Node;
	hgr::Camera* camera = new hgr::Camera;

	// visible: meshes spread in front of the camera; otherwise behind it.
	explicit Scene(bool visible) {
		context->log.enabled = false;
		camera->linkTo(root);
		camera->setBack(5000.f);
		for (int i = 0; i < 8; ++i) {
			hgr::Light* l = new hgr::Light;
			l->setPosition(math::Vector3(float(i * 10 - 40), 5, 100));
			l->linkTo(root);
		}
		lang::Ptr<gr::Shader> shaders[4] = {context->shader("a"), context->shader("b"), context->shader("c"),
											context->shader("d")};
		for (int i = 0; i < NODE_COUNT; ++i) {
			hgr::Mesh* m = new hgr::Mesh;
			m->addPrimitive(context->primitive("p", shaders[i % 4]));
			m->computeBoundBox();
			const float x = float(i % 100 - 50) * 0.4f;
			const float y = float((i / 100) % 10 - 5) * 0.4f;
			const float z = 50.f + float(i / 1000) * 20.f;
			m->setPosition(math::Vector3(x, y, visible ? z : -z));
			m->linkTo(root);
		}
		camera->render(context); // warm the camera's arrays
	}
};

void RenderVisibleNodes(benchmark::State& state) {
	Scene scene(true);
	for (auto _ : state)
		scene.camera->render(scene.context);
	if (scene.camera->getVisuals().size() != NODE_COUNT)
		state.SkipWithError("not every mesh was visible");
	state.SetItemsProcessed(state.iterations() * NODE_COUNT);
	state.counters["ns_per_node"] =
		benchmark::Counter(double(NODE_COUNT),
						   benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(RenderVisibleNodes)->Unit(benchmark::kMillisecond);

void RenderCulledNodes(benchmark::State& state) {
	Scene scene(false);
	for (auto _ : state)
		scene.camera->render(scene.context);
	if (scene.camera->getVisuals().size() != 0)
		state.SkipWithError("a mesh behind the camera was drawn");
	state.SetItemsProcessed(state.iterations() * NODE_COUNT);
	state.counters["ns_per_node"] =
		benchmark::Counter(double(NODE_COUNT),
						   benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(RenderCulledNodes)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
