// Failures other than engine exceptions that escape a level session.
#include "app/LevelLoop.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

using namespace lumaroll;

namespace {

TEST(LevelLoopFailureTest, StandardExceptionsEndWithTwoAndTheirMessage) {
	struct Case {
		const char* name;
		void (*thrower)();
		const char* message;
	};
	const Case cases[] = {
		{"out of memory", [] { throw std::bad_alloc(); }, "ERROR: std::bad_alloc\n"},
		{"runtime error", [] { throw std::runtime_error("vertex data past the end"); },
		 "ERROR: vertex data past the end\n"},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.name);
		LaunchOptions options;
		options.level = "level01.hgr";
		int sessions = 0;
		testing::internal::CaptureStderr();
		const int code = runLevelLoop(options, [&](const LaunchOptions&) -> LevelResult {
			++sessions;
			c.thrower();
			return LevelResult();
		});
		const std::string err = testing::internal::GetCapturedStderr();
		EXPECT_EQ(code, 2);
		EXPECT_EQ(sessions, 1);
		EXPECT_EQ(err, c.message);
	}
}

} // namespace
