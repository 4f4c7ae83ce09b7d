// Loading a writer-made scene file of about 20 MB (200 primitives of 3,500
// vertices: positions V3_32, normals V3_16, texture coordinates V2_16,
// colours V4_8, and 10,500 indices each) into in-memory primitives, against
// reading the same file's bytes with one fread.
#include <gr/Context.h>
#include <gr/DIPrimitive.h>
#include <hgr/ResourceManager.h>
#include <hgr/Scene.h>
#include <lang/Ptr.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

// The writer belongs to the test support library, which benchmark builds do
// not make; its sources are compiled in here.
#include "support/BinaryWriter.cpp"
#include "support/SceneWriter.cpp"

namespace {

class MemoryPrimitive : public gr::DIPrimitive {
public:
	MemoryPrimitive(gr::PrimitiveType type, const gr::VertexFormat& format, int vertices, int indices) : m_type(type) {
		reset(format, vertices, indices);
	}
	void setShader(gr::Shader* shader) override { m_shader = shader; }
	void render() override {}
	gr::PrimitiveType getType() const override { return m_type; }
	gr::Shader* getShader() const override { return m_shader; }

private:
	gr::PrimitiveType m_type;
	gr::Shader* m_shader = nullptr;
};

// A context that only makes in-memory primitives.
class PrimitiveContext : public gr::Context {
public:
	gr::Shader* createShader(const lang::String&, int) override { return nullptr; }
	gr::Palette* createPalette(int) override { return nullptr; }
	gr::Primitive* createPrimitive(gr::PrimitiveType type, const gr::VertexFormat& format, int vertices, int indices,
								   int) override {
		return new MemoryPrimitive(type, format, vertices, indices);
	}
	gr::Primitive* createPrimitive(gr::PrimitiveType type, const gr::VertexFormat& format, int vertices,
								   int indices) override {
		return new MemoryPrimitive(type, format, vertices, indices);
	}
	gr::Texture* createTexture(int, int, gr::SurfaceFormat, int, int) override { return nullptr; }
	gr::Texture* loadTexture(const lang::String&) override { return nullptr; }
	gr::CubeTexture* createCubeTexture(const lang::String&) override { return nullptr; }
	void setViewport(const gr::Rect& rect) override { m_viewport = rect; }
	void setPerspectiveProjection(float, float, float, float) override {}
	void resetProjection(bool) override {}
	void setRenderTarget(gr::Texture*) override {}
	void beginScene() override {}
	void endScene() override {}
	void clear(uint32_t) override {}
	void present() override {}
	bool isReady() const override { return true; }
	void saveScreenshot(const lang::String&) override {}
	int getWidth() const override { return 640; }
	int getHeight() const override { return 480; }
	gr::SurfaceFormat getSurfaceFormat() const override { return gr::SurfaceFormat::A8R8G8B8; }
	const gr::Rect& getViewport() const override { return m_viewport; }
	const math::Matrix4x4& getProjectionMatrix() const override { return m_projection; }
	int getPlatform() const override { return PLATFORM_EGL; }
	void* getDeviceHandle() const override { return nullptr; }

private:
	gr::Rect m_viewport;
	math::Matrix4x4 m_projection;
};

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
	lang::Ptr<PrimitiveContext> context = new PrimitiveContext;
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
