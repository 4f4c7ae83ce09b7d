#ifndef TESTS_GAME_LOGIC_LOGICTESTHELPERS_H
#define TESTS_GAME_LOGIC_LOGICTESTHELPERS_H

// Helpers of the level-logic tests: captured output, a world on a writer-made
// scene, and running one test of this program again in a child process (for
// what a process does once: the trace set, environment look-ups, the random
// generators).

#include "logic/SceneWorld.h"
#include "logic/Trigger.h"
#include "support/FakeSceneLoader.h"
#include "support/FakeWorld.h"
#include "support/ProcessRunner.h"
#include "support/SceneWriter.h"
#include "support/TriggerScript.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace logictest {

// One named row of an edge-case table: the name shows in every failure.
struct EdgeCase {
	const char* name;
	std::function<void()> check;
};

inline void PrintTo(const EdgeCase& c, std::ostream* os) {
	*os << c.name;
}

inline std::string edgeCaseName(const testing::TestParamInfo<EdgeCase>& i) {
	return i.param.name;
}

// A trigger "T_x" running its main list against a world that records calls.
struct ListRun {
	test::FakeWorld world;
	lumaroll::Trigger trigger{"T_x"};

	explicit ListRun(const test::TriggerScript& script) {
		trigger.load(script.text());
		trigger.setState(lumaroll::Trigger::RunningMain);
	}
	// One frame; true once the trigger has left its main list.
	bool frame(float dt) {
		trigger.update(&world, dt);
		return trigger.getState() != lumaroll::Trigger::RunningMain;
	}
	// Frames of dt until the main list is left; 0 when it is not left within limit frames.
	int framesUntilDone(float dt, int limit = 1000) {
		for (int n = 1; n <= limit; ++n) {
			if (frame(dt))
				return n;
		}
		return 0;
	}
	bool called(const std::string& call) const {
		return std::find(world.calls.begin(), world.calls.end(), call) != world.calls.end();
	}
};

// What a piece of code printed on standard output and standard error.
struct Output {
	std::string out;
	std::string err;
};

template <class F>
Output captured(F&& code) {
	testing::internal::CaptureStdout();
	testing::internal::CaptureStderr();
	code();
	std::fflush(stdout);
	std::fflush(stderr);
	Output o;
	o.out = testing::internal::GetCapturedStdout();
	o.err = testing::internal::GetCapturedStderr();
	return o;
}

// How often part occurs in text.
inline int occurrences(const std::string& text, const std::string& part) {
	int n = 0;
	for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
		++n;
	return n;
}

// A scene loaded on the fake context and the world built on it.
struct LoadedWorld {
	test::FakeScene level;
	std::unique_ptr<lumaroll::SceneWorld> world;

	hgr::Node* node(const std::string& name) const { return world->findNode(name); }
	// Whether the named node is still in the scene's tree.
	bool inScene(const std::string& name) const {
		hgr::Node* n = world->findNode(name);
		return n && n->root() == level.scene.ptr();
	}
};

inline LoadedWorld loadWorld(const test::SceneWriter& writer) {
	LoadedWorld loaded;
	loaded.level = test::loadFakeScene(writer);
	loaded.world.reset(new lumaroll::SceneWorld(loaded.level.scene));
	return loaded;
}

// Runs the test named "Suite.DISABLED_Name" of this program in a child process
// with the variables set (test::kUnset removes one); the child's output and exit code.
inline test::ProcessResult runTestInChild(const std::string& fullName,
										  std::vector<std::pair<std::string, std::string>> env = {}) {
	char self[4096];
	const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
	if (n <= 0)
		return test::ProcessResult();
	self[n] = 0;
	test::ProcessOptions options;
	options.args = {"--gtest_filter=" + fullName, "--gtest_also_run_disabled_tests"};
	options.env = std::move(env);
	return test::runProcess(self, options, 60000);
}

// The child ran exactly one test and it passed.
inline testing::AssertionResult childPassed(const test::ProcessResult& r) {
	if (r.exitCode == 0 && r.out.find("[  PASSED  ] 1 test.") != std::string::npos)
		return testing::AssertionSuccess();
	return testing::AssertionFailure() << "child exit " << r.exitCode << "\n" << r.out << r.err;
}

} // namespace logictest

#endif
