// Cost of the OpenGL ES 2 device's hot paths: drawing a 100-triangle
// primitive through a shader pass, and uploading a 256 x 256 RGBA level.
// Each runs twice: on the real GL (Mesa, offscreen) and on a GL whose
// functions do nothing, which leaves the engine's own work alone and gives
// stable instruction counts under callgrind (drawOnce and uploadOnce are the
// functions to collect: valgrind --tool=callgrind --toggle-collect='*drawOnce*').
#include "support/DrawPasses.h"
#include "support/GLTestContext.h"

#include <gr/Primitive.h>
#include <gr/Shader.h>
#include <gr/Texture.h>
#include <gr/gles2/GLES2_Context.h>
#include <gr/gles2/GLES2_Dispatch.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

// The tests' hidden 64 x 64 window, without a display unless one is asked for.
bool makeGLContext() {
	setenv("SDL_VIDEODRIVER", "offscreen", 0);
	return test::GLTestContext::get() != nullptr;
}

// Swaps in a GL whose every function does nothing and returns 0, for its lifetime.
class NullGL {
public:
	NullGL() : m_saved(gr::gl) {
#define BENCH_NULL_GL(name) \
	gr::gl.name = [](auto... a) { \
		using R = decltype(gr::GLES2_Dispatch::library().name(a...)); \
		return R(); \
	};
		GR_GLES2_FUNCTIONS(BENCH_NULL_GL)
#undef BENCH_NULL_GL
	}
	~NullGL() {
		gr::gl = m_saved;
	}

private:
	gr::GLES2_Dispatch m_saved;
};

struct Scene {
	lang::Ptr<gr::GLES2_Context> context;
	lang::Ptr<gr::Shader> shader;
	lang::Ptr<gr::Primitive> primitive;
	lang::Ptr<gr::Texture> texture;

	Scene() {
		context = new gr::GLES2_Context(64, 64, nullptr, nullptr);
		// The built-in effect: position, normal and texture coordinates, three
		// matrices or vectors and one sampler, like most scene materials.
		std::fflush(stderr);
		shader = context->createShader("bench-material", 0);
		texture = context->createTexture(256, 256, gr::SurfaceFormat::A8R8G8B8, 0, 0);
		shader->setTexture("BASEMAP", texture);
		shader->setMatrix(gr::Shader::PARAM_TOTALTM, math::Matrix4x4());
		shader->setMatrix(gr::Shader::PARAM_WORLDTM, math::Matrix4x4());
		shader->setVector(gr::Shader::PARAM_LIGHTP0, math::Vector4(0, 10, 0, 1));

		gr::VertexFormat format;
		format.addPosition(gr::VertexFormat::V3_32)
			.addNormal(gr::VertexFormat::V3_32)
			.addTextureCoordinate(gr::VertexFormat::V2_32);
		const int triangles = 100;
		primitive = context->createPrimitive(gr::PRIMITIVE_TRIANGLELIST, format, triangles * 3, triangles * 3, 2);
		gr::ContextObjectLock lock(primitive, gr::ContextObject::LOCK_WRITE);
		std::vector<math::Vector4> positions, normals, uvs;
		std::vector<int> indices;
		for (int i = 0; i < triangles * 3; ++i) {
			const float a = float(i) * 0.37f;
			positions.emplace_back(std::cos(a) * 0.9f, std::sin(a) * 0.9f, 0.f, 1.f);
			normals.emplace_back(0.f, 0.f, -1.f, 0.f);
			uvs.emplace_back(std::cos(a), std::sin(a), 0.f, 0.f);
			indices.push_back(i);
		}
		primitive->setPositions(0, positions.data(), triangles * 3);
		primitive->setNormals(0, normals.data(), triangles * 3);
		primitive->setTexCoords(0, 0, uvs.data(), triangles * 3);
		primitive->setIndices(0, indices.data(), triangles * 3);
	}
};

// The measured draw; the first, uploading draw goes through drawPasses() directly.
__attribute__((noinline)) void drawOnce(gr::Shader* shader, gr::Primitive* primitive) {
	test::drawPasses(shader, primitive);
}

__attribute__((noinline)) void uploadOnce(gr::Texture* texture, const std::vector<uint8_t>& pixels) {
	texture->uploadSubImage(0, 0, pixels.data(), 256 * 4, 256, 256, gr::SurfaceFormat::A8R8G8B8);
}

void drawBenchmark(benchmark::State& state, bool nullGL) {
	if (!makeGLContext()) {
		state.SkipWithError("no OpenGL ES context");
		return;
	}
	static Scene scene;
	test::drawPasses(scene.shader, scene.primitive); // the first draw uploads the buffers
	NullGL* null = nullGL ? new NullGL : nullptr;
	for (auto _ : state)
		drawOnce(scene.shader, scene.primitive);
	delete null;
	if (!nullGL)
		glFinish();
}

void uploadBenchmark(benchmark::State& state, bool nullGL) {
	if (!makeGLContext()) {
		state.SkipWithError("no OpenGL ES context");
		return;
	}
	static Scene scene;
	std::vector<uint8_t> pixels(256 * 256 * 4);
	for (size_t i = 0; i < pixels.size(); ++i)
		pixels[i] = uint8_t(i * 7);
	NullGL* null = nullGL ? new NullGL : nullptr;
	for (auto _ : state)
		uploadOnce(scene.texture, pixels);
	delete null;
	state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(pixels.size()));
}

void BM_Draw100Triangles_EngineOnly(benchmark::State& state) {
	drawBenchmark(state, true);
}
void BM_Draw100Triangles_Mesa(benchmark::State& state) {
	drawBenchmark(state, false);
}
void BM_Upload256RGBA_EngineOnly(benchmark::State& state) {
	uploadBenchmark(state, true);
}
void BM_Upload256RGBA_Mesa(benchmark::State& state) {
	uploadBenchmark(state, false);
}

BENCHMARK(BM_Draw100Triangles_EngineOnly);
BENCHMARK(BM_Draw100Triangles_Mesa);
BENCHMARK(BM_Upload256RGBA_EngineOnly);
BENCHMARK(BM_Upload256RGBA_Mesa);

} // namespace

BENCHMARK_MAIN();
