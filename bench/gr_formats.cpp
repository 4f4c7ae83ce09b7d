// Vertex data conversion throughput: the two conversions the scene reader
// and the primitive use most.
#include <gr/VertexFormat.h>
#include <benchmark/benchmark.h>
#include <cstdint>
#include <vector>

namespace {

const int VERTICES = 1 << 16;

void copyV3_16ToV4_32(benchmark::State& state) {
	std::vector<int16_t> src(3 * VERTICES);
	for (size_t i = 0; i < src.size(); ++i)
		src[i] = int16_t(i * 37);
	std::vector<float> dst(4 * VERTICES);
	for (auto _ : state) {
		gr::VertexFormat::copyVertexData(dst.data(), 16, gr::VertexFormat::V4_32, src.data(), 6,
										 gr::VertexFormat::V3_16, VERTICES);
		benchmark::DoNotOptimize(dst.data());
		benchmark::ClobberMemory();
	}
	state.SetItemsProcessed(int64_t(state.iterations()) * VERTICES);
}
BENCHMARK(copyV3_16ToV4_32);

void copyV4_32ToV3_32(benchmark::State& state) {
	std::vector<float> src(4 * VERTICES);
	for (size_t i = 0; i < src.size(); ++i)
		src[i] = float(i) * 0.5f;
	std::vector<float> dst(3 * VERTICES);
	for (auto _ : state) {
		gr::VertexFormat::copyVertexData(dst.data(), 12, gr::VertexFormat::V3_32, src.data(), 16,
										 gr::VertexFormat::V4_32, VERTICES);
		benchmark::DoNotOptimize(dst.data());
		benchmark::ClobberMemory();
	}
	state.SetItemsProcessed(int64_t(state.iterations()) * VERTICES);
}
BENCHMARK(copyV4_32ToV3_32);

void copyV4_32ToV4_8(benchmark::State& state) {
	std::vector<float> src(4 * VERTICES);
	for (size_t i = 0; i < src.size(); ++i)
		src[i] = float(i & 255);
	std::vector<uint8_t> dst(4 * VERTICES);
	for (auto _ : state) {
		gr::VertexFormat::copyVertexData(dst.data(), 4, gr::VertexFormat::V4_8, src.data(), 16, gr::VertexFormat::V4_32,
										 VERTICES);
		benchmark::DoNotOptimize(dst.data());
		benchmark::ClobberMemory();
	}
	state.SetItemsProcessed(int64_t(state.iterations()) * VERTICES);
}
BENCHMARK(copyV4_32ToV4_8);

} // namespace

BENCHMARK_MAIN();
