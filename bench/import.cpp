// Data-package import speed: a large data.tar.gz package built with dpkg-deb
// from generated files, imported by the game and extracted by `dpkg-deb -x`
// in the same run; plus SHA-256 throughput.
//
// LUMAROLL_BENCH_IMPORT_MB sets the package size in MB (default 200).

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "import/Import.h"
#include "import/Sha256.h"
#include "support/DebWriter.h"
#include "support/Files.h"
#include "support/GameDataWriter.h"
#include "support/ProcessRunner.h"
#include "support/TempDir.h"

namespace {

struct Rng {
	std::uint64_t s = 0x9e3779b97f4a7c15ULL;
	std::uint64_t next() {
		s ^= s << 13;
		s ^= s >> 7;
		s ^= s << 17;
		return s;
	}
};

double peakRssMB() {
	rusage usage{};
	::getrusage(RUSAGE_SELF, &usage);
	return usage.ru_maxrss / 1024.0;
}

std::int64_t fileSize(const std::string& path) {
	struct stat st;
	return ::stat(path.c_str(), &st) == 0 ? st.st_size : -1;
}

// Building or extracting the package may take minutes on a slow machine.
const int kToolTimeoutMs = 30 * 60 * 1000;

// The generated package, built once per process.
struct Package {
	test::TempDir tmp;
	std::string dir = tmp.path(), deb;
	std::int64_t packageBytes = 0, dataBytes = 0;
	int files = 0;
	bool ok = false;

	Package() {
		const char* mbText = std::getenv("LUMAROLL_BENCH_IMPORT_MB");
		const std::int64_t targetMB = mbText ? std::atoll(mbText) : 200;
		if (dir.empty())
			return;
		deb = dir + "/data.deb";
		const std::string root = dir + "/tree";
		const std::string data = root + "/opt/plimbo/data";
		if (!test::writeControlFile(root) || !test::installGameData(root + "/opt/plimbo"))
			return;

		// Two thirds of the files are noise (like compressed textures and sounds),
		// the rest repetitive text; the compressed package comes out near the target.
		Rng rng;
		std::int64_t written = 0;
		const std::int64_t target = targetMB * 1000000 * 3 / 2;
		std::string chunk;
		for (int i = 0; written < target; ++i) {
			const std::string sub = data + "/resources/set" + std::to_string(i / 100);
			const size_t size = 4096 + rng.next() % (400 * 1024);
			chunk.resize(size);
			if (i % 3 != 2) {
				for (size_t k = 0; k + 8 <= size; k += 8) {
					const std::uint64_t v = rng.next();
					std::memcpy(&chunk[k], &v, 8);
				}
			} else {
				for (size_t k = 0; k < size; ++k)
					chunk[k] = "vertex normal texcoord 0.125 1.5 -3\n"[(k + i) % 36];
			}
			test::writeFile(sub + "/file" + std::to_string(i) + ".bin", chunk);
			written += static_cast<std::int64_t>(size);
			++files;
		}
		dataBytes = written + 13;
		files += 3;
		ok = test::runCommand({"dpkg-deb", "--root-owner-group", "-Zgzip", "-z6", "--build", root, deb}, nullptr,
							  nullptr, kToolTimeoutMs) == 0;
		test::removeSettled({root}, dir);
		packageBytes = fileSize(deb);
	}
};

Package& package() {
	static Package p;
	return p;
}

void BM_ImportPackage(benchmark::State& state) {
	Package& p = package();
	if (!p.ok) {
		state.SkipWithError("could not build the package with dpkg-deb");
		return;
	}
	const std::string dest = p.dir + "/imported";
	const double rssBefore = peakRssMB();
	for (auto _ : state) {
		state.PauseTiming();
		test::removeSettled({dest}, p.dir);
		state.ResumeTiming();
		const lumaroll::ImportResult r = lumaroll::importDebPackage(p.deb, dest, nullptr);
		if (!r.ok) {
			state.SkipWithError(r.error.c_str());
			return;
		}
	}
	state.counters["package_MB"] = p.packageBytes / 1e6;
	state.counters["data_MB"] = p.dataBytes / 1e6;
	state.counters["files"] = p.files;
	state.counters["peak_rss_MB"] = peakRssMB();
	state.counters["rss_before_MB"] = rssBefore;
}

void BM_DpkgDebExtract(benchmark::State& state) {
	Package& p = package();
	if (!p.ok) {
		state.SkipWithError("could not build the package with dpkg-deb");
		return;
	}
	const std::string dest = p.dir + "/extracted";
	for (auto _ : state) {
		state.PauseTiming();
		test::removeSettled({dest}, p.dir);
		state.ResumeTiming();
		if (test::runCommand({"dpkg-deb", "-x", p.deb, dest}, nullptr, nullptr, kToolTimeoutMs) != 0) {
			state.SkipWithError("dpkg-deb -x failed");
			return;
		}
	}
	state.counters["package_MB"] = p.packageBytes / 1e6;
}

// Both, alternating inside each iteration so that the load of the machine
// hits them alike; the counters hold the mean times and their ratio.
void BM_ImportVsDpkgDeb(benchmark::State& state) {
	Package& p = package();
	if (!p.ok) {
		state.SkipWithError("could not build the package with dpkg-deb");
		return;
	}
	using Clock = std::chrono::steady_clock;
	const std::string imported = p.dir + "/imported", extracted = p.dir + "/extracted";
	double importSeconds = 0, dpkgSeconds = 0;
	for (auto _ : state) {
		test::removeSettled({imported, extracted}, p.dir);
		auto t = Clock::now();
		const lumaroll::ImportResult r = lumaroll::importDebPackage(p.deb, imported, nullptr);
		importSeconds += std::chrono::duration<double>(Clock::now() - t).count();
		t = Clock::now();
		const int rc = test::runCommand({"dpkg-deb", "-x", p.deb, extracted}, nullptr, nullptr, kToolTimeoutMs);
		dpkgSeconds += std::chrono::duration<double>(Clock::now() - t).count();
		if (!r.ok || rc != 0) {
			state.SkipWithError("import or dpkg-deb -x failed");
			return;
		}
	}
	const double n = static_cast<double>(state.iterations());
	state.counters["import_ms"] = importSeconds / n * 1000;
	state.counters["dpkg_x_ms"] = dpkgSeconds / n * 1000;
	state.counters["ratio"] = importSeconds / dpkgSeconds;
}

void sha256Bench(benchmark::State& state, bool hardware) {
	if (hardware && !lumaroll::detail::sha256HardwareAvailable()) {
		state.SkipWithError("no SHA instructions on this CPU");
		return;
	}
	std::string data(64 << 20, '\0');
	Rng rng;
	for (char& c : data)
		c = static_cast<char>(rng.next());
	for (auto _ : state)
		benchmark::DoNotOptimize(lumaroll::detail::sha256HexUsing(hardware, data.data(), data.size()));
	state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(data.size()));
}

} // namespace

BENCHMARK(BM_ImportPackage)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_DpkgDebExtract)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_ImportVsDpkgDeb)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(6);
BENCHMARK_CAPTURE(sha256Bench, hardware, true)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(sha256Bench, plain, false)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
