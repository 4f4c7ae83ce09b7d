// Loading a writer-made scene file of about 20 MB (200 primitives of 3,500
// vertices: positions V3_32, normals V3_16, texture coordinates V2_16,
// colours V4_8, and 10,500 indices each) into in-memory primitives, against
// reading the same file's bytes with one fread. Then files whose node
// hierarchy is one deep chain: plain nodes only, a mesh at the bottom with a
// bone per chain node of a side chain, a chain of meshes below lights, and a
// mesh at the bottom of the chain with every node above it as a bone.
#include "support/FakeContext.h"
#include "support/SceneWriter.h"

#include <hgr/ResourceManager.h>
#include <hgr/Scene.h>
#include <lang/Exception.h>
#include <lang/Ptr.h>
#include <lang/String.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// Resources that cost nothing: the load measured is the file's.
class NoResources : public hgr::ResourceManager {
public:
	gr::Shader* createShader(const lang::String&, int) override { return nullptr; }
	gr::Texture* getTexture(const lang::String&) override { return nullptr; }
	gr::CubeTexture* getCubeTexture(const lang::String&) override { return nullptr; }
	hgr::ParticleSystem* getParticleSystem(const lang::String&, const lang::String&, const lang::String&) override {
		return nullptr;
	}
};

const std::string& sceneFile() {
	static const std::string path = [] {
		using test::SceneWriter;
		const int primitives = 200, vertices = 3500, triangles = 3500;
		SceneWriter w;
		w.material("m", "lit.fx");
		std::vector<float> positions, normals, uvs, colours;
		for (int v = 0; v < vertices; ++v) {
			positions.insert(positions.end(), {float(v % 59), float(v / 59), float(v % 7)});
			normals.insert(normals.end(), {0.f, 32767.f, 0.f});
			uvs.insert(uvs.end(), {float(v % 100), float(v % 300)});
			colours.insert(colours.end(), {100.f, 50.f, 25.f, 127.f});
		}
		std::vector<int> indices;
		for (int t = 0; t < triangles; ++t)
			indices.insert(indices.end(), {t % vertices, (t + 1) % vertices, (t + 59) % vertices});
		std::vector<int32_t> all;
		for (int p = 0; p < primitives; ++p) {
			w.primitive(0)
				.component(SceneWriter::DT_POSITION, SceneWriter::V3_32, positions)
				.component(SceneWriter::DT_NORMAL, SceneWriter::V3_16, normals)
				.component(SceneWriter::DT_TEX0, SceneWriter::V2_16, uvs)
				.component(SceneWriter::DT_DIFFUSE, SceneWriter::V4_8, colours)
				.texCoordScale(1.f / 256)
				.indices(indices);
			all.push_back(p);
		}
		w.mesh("level").primitives(all);
		return w.writeTemp("bench.hgr");
	}();
	return path;
}

long fileSize(const std::string& path) {
	FILE* f = std::fopen(path.c_str(), "rb");
	std::fseek(f, 0, SEEK_END);
	const long size = std::ftell(f);
	std::fclose(f);
	return size;
}

void BM_ReadFileBytes(benchmark::State& state) {
	const std::string& path = sceneFile();
	const long size = fileSize(path);
	std::vector<char> buffer(size_t(size) + 1);
	for (auto _ : state) {
		FILE* f = std::fopen(path.c_str(), "rb");
		const size_t n = std::fread(buffer.data(), 1, buffer.size(), f);
		std::fclose(f);
		benchmark::DoNotOptimize(n);
	}
	state.SetBytesProcessed(state.iterations() * size);
}
BENCHMARK(BM_ReadFileBytes)->Unit(benchmark::kMillisecond);

// Loads the scene at path once per iteration. Primitives stay in memory; the
// fake context records nothing.
void loadRepeatedly(benchmark::State& state, const std::string& path) {
	const long size = fileSize(path);
	lang::Ptr<test::FakeContext> context = new test::FakeContext;
	context->log.enabled = false;
	lang::Ptr<NoResources> resources = new NoResources;
	for (auto _ : state) {
		try {
			lang::Ptr<hgr::Scene> scene = new hgr::Scene(context, path.c_str(), resources, "", "", "");
			benchmark::DoNotOptimize(scene.ptr());
		} catch (const lang::Exception& e) {
			state.SkipWithError(lang::String(e.getMessage()).c_str());
			break;
		}
	}
	state.SetBytesProcessed(state.iterations() * size);
}

void BM_LoadScene(benchmark::State& state) {
	loadRepeatedly(state, sceneFile());
}
BENCHMARK(BM_LoadScene)->Unit(benchmark::kMillisecond);

enum DeepShape { PLAIN_CHAIN, SKIN_WITH_SIDE_BONES, MESH_CHAIN_BELOW_LIGHTS, SKIN_BELOW_ITS_BONES };

// n chained nodes, each below the one before it in the file.
std::string deepFile(DeepShape shape, int n) {
	using test::SceneWriter;
	SceneWriter w;
	std::string name = "deep-" + std::to_string(int(shape)) + "-" + std::to_string(n) + ".hgr";
	if (shape == PLAIN_CHAIN) {
		for (int i = 0; i < n; ++i)
			w.node("n" + std::to_string(i)).parentIndex(i - 1);
		return w.writeTemp(name);
	}
	if (shape == SKIN_WITH_SIDE_BONES) {
		// File order: the mesh (0), the main chain (1 .. n), the side chain (n + 1 .. 2n).
		SceneWriter::Node& skin = w.mesh("skin").parentIndex(n);
		for (int i = 0; i < n; ++i)
			skin.boneIndex(n + 1 + i);
		for (int i = 0; i < n; ++i)
			w.node("a" + std::to_string(i)).parentIndex(i == 0 ? -1 : i);
		for (int i = 0; i < n; ++i)
			w.node("b" + std::to_string(i)).parentIndex(i == 0 ? -1 : n + i);
		return w.writeTemp(name);
	}
	if (shape == SKIN_BELOW_ITS_BONES) {
		// File order: the mesh (0) below the chain (1 .. n), each chain node a bone.
		SceneWriter::Node& skin = w.mesh("skin").parentIndex(n);
		for (int i = 0; i < n; ++i)
			skin.boneIndex(1 + i);
		for (int i = 0; i < n; ++i)
			w.node("a" + std::to_string(i)).parentIndex(i == 0 ? -1 : i);
		return w.writeTemp(name);
	}
	// File order: the meshes (0 .. n-1), then the lights, all of them above
	// every mesh: each mesh sorts them all and takes the nearest.
	const int lights = 8;
	for (int i = 0; i < n; ++i)
		w.mesh("m" + std::to_string(i)).parentIndex(i == 0 ? n + lights - 1 : i - 1);
	for (int k = 0; k < lights; ++k)
		w.light("l" + std::to_string(k)).parentIndex(k == 0 ? -1 : n + k - 1);
	return w.writeTemp(name);
}

void BM_LoadDeepHierarchy(benchmark::State& state) {
	loadRepeatedly(state, deepFile(DeepShape(state.range(0)), int(state.range(1))));
}
BENCHMARK(BM_LoadDeepHierarchy)
	->ArgNames({"shape", "nodes"})
	->Args({PLAIN_CHAIN, 10000})
	->Args({PLAIN_CHAIN, 40000})
	->Args({SKIN_WITH_SIDE_BONES, 5000})
	->Args({SKIN_WITH_SIDE_BONES, 20000})
	->Args({MESH_CHAIN_BELOW_LIGHTS, 5000})
	->Args({MESH_CHAIN_BELOW_LIGHTS, 20000})
	->Args({SKIN_BELOW_ITS_BONES, 5000})
	->Args({SKIN_BELOW_ITS_BONES, 20000})
	->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
