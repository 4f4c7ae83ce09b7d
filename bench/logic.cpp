// The level logic's costs, each against a plain baseline measured in the same
// run:
// - one world update of a level with 500 armed triggers, 50 waiting ones
//   (delay, timer, test), 200 move, turn and scale jobs and 20 texture scrolls
//   over meshes of 4 primitives, as a share of a 60 Hz frame (16.7 ms), with
//   the heap allocations per update (0 expected);
// - reading 1,000 scripts of 20 lines into triggers, against splitting the
//   same texts into lines and fields with std::string;
// - a chain of 8 triggers, each activating the next after 9 instant actions,
//   per action, against a loop of virtual calls.
#include "logic/SceneWorld.h"
#include "logic/Trigger.h"
#include "support/AllocationCounter.h"
#include "support/FakeSceneLoader.h"
#include "support/TriggerScript.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
	return std::chrono::duration<double>(Clock::now() - start).count();
}

test::FakeScene busyLevel() {
	test::SceneWriter w;
	w.material("water", "water.fx");
	for (int p = 0; p < 4; ++p)
		w.primitive(0)
			.component(test::SceneWriter::DT_POSITION, test::SceneWriter::V3_32, {0, 0, 0, 1, 0, 0, 0, 1, 0})
			.indices({0, 1, 2});
	for (int i = 0; i < 20; ++i)
		w.mesh("O_water" + std::to_string(i)).primitives({0, 1, 2, 3});
	for (int i = 0; i < 200; ++i)
		w.node("N_moving" + std::to_string(i));
	for (int i = 0; i < 500; ++i) {
		const std::string name = "T_armed" + std::to_string(i);
		w.node(name);
		w.userProperty(name, test::TriggerScript().a("addscore").a("playsound,hit.wav"));
	}
	const char* waits[] = {"delay,1e9", "timer,countdown", "greater,flag,1"};
	for (int i = 0; i < 50; ++i) {
		const std::string name = "T_waiting" + std::to_string(i);
		w.node(name);
		w.userProperty(name, test::TriggerScript().state(2).a(waits[i % 3]).a("nop"));
	}
	test::FakeScene level = test::loadFakeScene(w);
	level.context->log.enabled = false;
	return level;
}

void BM_WorldUpdate(benchmark::State& state) {
	test::FakeScene level = busyLevel();
	lumaroll::SceneWorld world(level.scene);
	world.setVariable("countdown", 1e9f);
	for (int i = 0; i < 200; ++i)
		world.startTransform(static_cast<lumaroll::TransformKind>(i % 3), "N_moving" + std::to_string(i), "", 1.f, 2.f,
							 3.f, 1e6f);
	for (int i = 0; i < 20; ++i)
		world.startTransform(lumaroll::TransformKind::ScrollTexture, "O_water" + std::to_string(i), "", 0.1f, 0.05f,
							 0.f, 1.f);
	for (int i = 0; i < 10; ++i)
		world.update(1.f / 60.f);
	const long before = test::allocationCount();
	const Clock::time_point start = Clock::now();
	for (auto _ : state)
		world.update(1.f / 60.f);
	const double perUpdate = secondsSince(start) / double(state.iterations());
	state.counters["allocs_per_update"] = double(test::allocationCount() - before) / double(state.iterations());
	state.counters["frame_share_percent"] = perUpdate / (1.0 / 60.0) * 100.0;
}
BENCHMARK(BM_WorldUpdate);

// 1,000 scripts of 20 lines: state and execute type, 16 actions of both
// families, two end actions.
std::vector<std::string> scripts() {
	const char* actions[] = {"moveobject,box,lid,1,2,3,0.5,1",
							 "delay,2.5",
							 "set,counter,0",
							 "add,counter,1",
							 "equal,counter,10,3",
							 "playsound,door.wav,0",
							 "activatetrigger,T_next,T_other",
							 "fade,1,0,1"};
	std::vector<std::string> texts;
	for (int s = 0; s < 1000; ++s) {
		test::TriggerScript script;
		script.state(s % 3).executeType(s % 2);
		for (int a = 0; a < 16; ++a)
			script.a(actions[(s + a) % 8]);
		script.e("unlink,this").e("levelcomplete");
		texts.push_back(script.text());
	}
	return texts;
}

// The baseline reader: lines at LF, key and value at '=', fields at ','.
size_t splitPlainly(const std::string& text) {
	size_t fields = 0;
	std::vector<std::string> lines;
	size_t start = 0;
	while (start < text.size()) {
		size_t end = text.find('\n', start);
		if (end == std::string::npos)
			end = text.size();
		lines.push_back(text.substr(start, end - start));
		start = end + 1;
	}
	for (const std::string& line : lines) {
		const size_t equals = line.find('=');
		if (equals == std::string::npos)
			continue;
		const std::string key = line.substr(0, equals);
		std::vector<std::string> parts;
		size_t from = equals + 1;
		for (;;) {
			const size_t comma = line.find(',', from);
			parts.push_back(line.substr(from, comma == std::string::npos ? std::string::npos : comma - from));
			if (comma == std::string::npos)
				break;
			from = comma + 1;
		}
		fields += key.size() + parts.size();
	}
	return fields;
}

void BM_ReadScripts(benchmark::State& state) {
	const std::vector<std::string> texts = scripts();
	double reading = 0, splitting = 0;
	for (auto _ : state) {
		Clock::time_point start = Clock::now();
		for (const std::string& text : texts) {
			lumaroll::Trigger trigger("T_bench");
			benchmark::DoNotOptimize(trigger.load(text));
		}
		reading += secondsSince(start);
		start = Clock::now();
		for (const std::string& text : texts)
			benchmark::DoNotOptimize(splitPlainly(text));
		splitting += secondsSince(start);
	}
	state.counters["us_per_1000_scripts"] = reading / double(state.iterations()) * 1e6;
	state.counters["us_per_1000_splits"] = splitting / double(state.iterations()) * 1e6;
	state.counters["ratio_to_splitting"] = reading / splitting;
}
BENCHMARK(BM_ReadScripts)->Unit(benchmark::kMillisecond);

// The baseline: the same number of virtual calls, each setting a value.
struct Step {
	virtual ~Step() = default;
	virtual bool run(float& value) = 0;
};
struct SetStep : Step {
	bool run(float& value) override {
		value += 1.f;
		return true;
	}
};

void BM_NestedChain(benchmark::State& state) {
	test::SceneWriter w;
	for (int i = 1; i <= 8; ++i) {
		const std::string name = "C" + std::to_string(i);
		w.node(name);
		test::TriggerScript script;
		script.state(0);
		for (int a = 0; a < 9; ++a)
			script.a("set,v" + std::to_string(a) + ",1");
		script.a(i < 8 ? "activatetrigger,C" + std::to_string(i + 1) : "nop");
		w.userProperty(name, script);
	}
	test::FakeScene level = test::loadFakeScene(w);
	lumaroll::SceneWorld world(level.scene);
	const std::string first = "C1";
	std::vector<std::unique_ptr<Step>> steps;
	for (int i = 0; i < 80; ++i)
		steps.emplace_back(new SetStep);
	double chain = 0, calls = 0;
	float value = 0.f;
	for (auto _ : state) {
		Clock::time_point start = Clock::now();
		world.activateTrigger(first);
		chain += secondsSince(start);
		start = Clock::now();
		for (auto& step : steps)
			benchmark::DoNotOptimize(step->run(value));
		calls += secondsSince(start);
	}
	state.counters["ns_per_action"] = chain / double(state.iterations()) / 80 * 1e9;
	state.counters["ns_per_virtual_call"] = calls / double(state.iterations()) / 80 * 1e9;
	state.counters["ratio_to_virtual_call"] = chain / calls;
}
BENCHMARK(BM_NestedChain);

} // namespace

BENCHMARK_MAIN();
