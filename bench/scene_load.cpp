// Loading a writer-made scene file of about 20 MB (200 primitives of 3,500
// vertices: positions V3_32, normals V3_16, texture coordinates V2_16,
// colours V4_8, and 10,500 indices each) into in-memory primitives, against
// reading the same file's bytes with one fread.
#include "support/FakeContext.h"
#include "support/SceneWriter.h"

#include <hgr/ResourceManager.h>
#include <hgr/Scene.h>
#include <lang/Ptr.h>

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

void BM_LoadScene(benchmark::State& state) {
	const std::string& path = sceneFile();
	const long size = fileSize(path);
	// Primitives stay in memory; the fake records nothing.
	lang::Ptr<test::FakeContext> context = new test::FakeContext;
	context->log.enabled = false;
	lang::Ptr<NoResources> resources = new NoResources;
	for (auto _ : state) {
		lang::Ptr<hgr::Scene> scene = new hgr::Scene(context, path.c_str(), resources, "", "", "");
		benchmark::DoNotOptimize(scene.ptr());
	}
	state.SetBytesProcessed(state.iterations() * size);
}
BENCHMARK(BM_LoadScene)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
