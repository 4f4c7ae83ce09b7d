// Matrix3x4 product and point transform against the same arithmetic written out on
// plain float arrays. Every run also counts heap allocations made inside the timed loop.
#include "support/AllocationCounter.h"

#include <math/Matrix3x4.h>
#include <math/Matrix4x4.h>

#include <benchmark/benchmark.h>

namespace {

constexpr int kCount = 1024;

struct Data {
	math::Matrix3x4 a[kCount], b[kCount], out[kCount];
	math::Vector3 p[kCount], q[kCount];

	Data() {
		for (int i = 0; i < kCount; ++i) {
			const float f = float(i);
			a[i] = math::Matrix3x4(math::Matrix3x3::rotation(math::Vector3(1.f, f, 2.f), f * 0.01f),
								   math::Vector3(f, -f, 0.5f * f));
			b[i] = math::Matrix3x4(math::Matrix3x3::rotation(math::Vector3(f, 1.f, -1.f), f * 0.02f),
								   math::Vector3(1.f, 2.f, f));
			p[i] = math::Vector3(f, 1.f - f, 2.f);
		}
	}
};

Data& data() {
	static Data d;
	return d;
}

void countAllocations(benchmark::State& state, long before) {
	state.counters["allocs"] = double(test::allocationCount() - before);
	state.SetItemsProcessed(state.iterations() * kCount);
}

void BM_Matrix3x4Product(benchmark::State& state) {
	Data& d = data();
	const long before = test::allocationCount();
	for (auto _ : state) {
		for (int i = 0; i < kCount; ++i)
			d.out[i] = d.a[i] * d.b[i];
		benchmark::ClobberMemory();
	}
	countAllocations(state, before);
}

void BM_RawArrayProduct(benchmark::State& state) {
	Data& d = data();
	const long before = test::allocationCount();
	for (auto _ : state) {
		for (int n = 0; n < kCount; ++n) {
			const float(*A)[4] = d.a[n].m;
			const float(*B)[4] = d.b[n].m;
			float(*R)[4] = d.out[n].m;
			for (int i = 0; i < 3; ++i)
				for (int j = 0; j < 4; ++j)
					R[i][j] = A[i][0] * B[0][j] + A[i][1] * B[1][j] + A[i][2] * B[2][j] + (j == 3 ? A[i][3] : 0.f);
		}
		benchmark::ClobberMemory();
	}
	countAllocations(state, before);
}

void BM_Matrix3x4Transform(benchmark::State& state) {
	Data& d = data();
	const long before = test::allocationCount();
	for (auto _ : state) {
		for (int i = 0; i < kCount; ++i)
			d.q[i] = d.a[i].transform(d.p[i]);
		benchmark::ClobberMemory();
	}
	countAllocations(state, before);
}

void BM_RawArrayTransform(benchmark::State& state) {
	Data& d = data();
	const long before = test::allocationCount();
	for (auto _ : state) {
		for (int n = 0; n < kCount; ++n) {
			const float(*A)[4] = d.a[n].m;
			const float* p = &d.p[n].x;
			float* q = &d.q[n].x;
			for (int i = 0; i < 3; ++i)
				q[i] = A[i][0] * p[0] + A[i][1] * p[1] + A[i][2] * p[2] + A[i][3];
		}
		benchmark::ClobberMemory();
	}
	countAllocations(state, before);
}

// World transforms along a parent chain, as a scene walk computes them.
void BM_Matrix3x4Chain(benchmark::State& state) {
	Data& d = data();
	const long before = test::allocationCount();
	for (auto _ : state) {
		math::Matrix3x4 world(1.f);
		for (int i = 0; i < kCount; ++i)
			world = world * d.b[i];
		benchmark::DoNotOptimize(world);
	}
	countAllocations(state, before);
}

} // namespace

BENCHMARK(BM_Matrix3x4Product);
BENCHMARK(BM_RawArrayProduct);
BENCHMARK(BM_Matrix3x4Transform);
BENCHMARK(BM_RawArrayTransform);
BENCHMARK(BM_Matrix3x4Chain);

BENCHMARK_MAIN();
