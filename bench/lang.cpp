// lang::String and lang::Hashtable against their standard library counterparts.
#include <lang/Hashtable.h>
#include <lang/String.h>
#include <benchmark/benchmark.h>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

// A typical node or property name, longer than the small-string buffer of std::string.
const char* const NAME = "T_trigger_volume_0042";

std::vector<std::string> makeKeys(int n) {
	std::vector<std::string> keys;
	for (int i = 0; i < n; ++i)
		keys.push_back("node_" + std::to_string(i * 7919) + "_mesh");
	return keys;
}

void LangStringCreateDestroy(benchmark::State& state) {
	for (auto _ : state) {
		lang::String s(NAME);
		benchmark::DoNotOptimize(s);
	}
}
BENCHMARK(LangStringCreateDestroy);

void StdStringCreateDestroy(benchmark::State& state) {
	for (auto _ : state) {
		std::string s(NAME);
		benchmark::DoNotOptimize(s);
	}
}
BENCHMARK(StdStringCreateDestroy);

void LangStringHashCode(benchmark::State& state) {
	lang::String s(NAME);
	for (auto _ : state)
		benchmark::DoNotOptimize(s.hashCode());
}
BENCHMARK(LangStringHashCode);

void StdStringHash(benchmark::State& state) {
	std::string s(NAME);
	for (auto _ : state)
		benchmark::DoNotOptimize(std::hash<std::string>()(s));
}
BENCHMARK(StdStringHash);

void LangHashtableLookup(benchmark::State& state) {
	const std::vector<std::string> keys = makeKeys((int)state.range(0));
	lang::Hashtable<lang::String, lang::String> table;
	std::vector<lang::String> probes;
	for (const std::string& k : keys) {
		table.put(k.c_str(), k.c_str());
		probes.emplace_back(k.c_str()); // separate blocks: lookups compare texts
	}
	size_t i = 0;
	for (auto _ : state) {
		benchmark::DoNotOptimize(table.find(probes[i]));
		if (++i == probes.size())
			i = 0;
	}
}
BENCHMARK(LangHashtableLookup)->Arg(100)->Arg(10000);

void StdUnorderedMapLookup(benchmark::State& state) {
	const std::vector<std::string> keys = makeKeys((int)state.range(0));
	std::unordered_map<std::string, std::string> table;
	std::vector<std::string> probes;
	for (const std::string& k : keys) {
		table[k] = k;
		probes.push_back(k);
	}
	size_t i = 0;
	for (auto _ : state) {
		benchmark::DoNotOptimize(table.find(probes[i]));
		if (++i == probes.size())
			i = 0;
	}
}
BENCHMARK(StdUnorderedMapLookup)->Arg(100)->Arg(10000);

} // namespace

BENCHMARK_MAIN();
