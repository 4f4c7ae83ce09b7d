#include "app/LevelLoop.h"

#include <gtest/gtest.h>

#include <lang/Exception.h>
#include <lang/Format.h>

using namespace lumaroll;

namespace {

// Plays back a list of session results; records the options each session saw.
struct ScriptedSessions {
	std::vector<LevelResult> results;
	std::vector<LaunchOptions> seen;
	int throwAt = -1; // index of the session whose run throws

	SessionRunner runner() {
		return [this](const LaunchOptions& options) {
			seen.push_back(options);
			const size_t index = seen.size() - 1;
			if (static_cast<int>(index) == throwAt)
				throw lang::Exception(lang::Format("Failed to load scene file \"x.hgr\""));
			return results.at(index);
		};
	}
};

LevelResult next(std::vector<std::string> words) {
	LevelResult result;
	result.nextArgs = std::move(words);
	return result;
}

LevelResult quit() {
	LevelResult result;
	result.quit = true;
	return result;
}

TEST(LevelLoopTest, LevelChangesCarryTheSurvivingOptions) {
	LaunchOptions options;
	parseCommandLine(options, {"--data", "/d", "--dev", "--frames", "5", "--menu", "a/level01.hgr"});
	ScriptedSessions sessions;
	sessions.results = {next({"--play", "--from-menu", "a/level02.hgr"}), next({"--menu", "a/level01.hgr"}), quit()};
	testing::internal::CaptureStdout();
	EXPECT_EQ(runLevelLoop(options, sessions.runner()), 0);
	const std::string out = testing::internal::GetCapturedStdout();
	EXPECT_EQ(out,
			  "--- level change: a/level02.hgr (play) ---\n"
			  "--- level change: a/level01.hgr (menu) ---\n");
	ASSERT_EQ(sessions.seen.size(), 3u);
	EXPECT_EQ(sessions.seen[0].frames, 5);
	EXPECT_EQ(sessions.seen[1].frames, 0);
	EXPECT_TRUE(sessions.seen[1].play && sessions.seen[1].fromMenu && !sessions.seen[1].menu);
	EXPECT_EQ(sessions.seen[1].dataDir, "/d");
	EXPECT_TRUE(sessions.seen[1].dev);
}

TEST(LevelLoopTest, EmptyWordsWithoutQuitEnd) {
	LaunchOptions options;
	ScriptedSessions sessions;
	sessions.results = {LevelResult{}};
	EXPECT_EQ(runLevelLoop(options, sessions.runner()), 0);
	EXPECT_EQ(sessions.seen.size(), 1u);
}

TEST(LevelLoopTest, QuitWinsOverWords) {
	LaunchOptions options;
	ScriptedSessions sessions;
	LevelResult result = next({"b.hgr"});
	result.quit = true;
	sessions.results = {result};
	EXPECT_EQ(runLevelLoop(options, sessions.runner()), 0);
	EXPECT_EQ(sessions.seen.size(), 1u);
}

TEST(LevelLoopTest, ExceptionInTheSecondLevelEndsWithTwo) {
	LaunchOptions options;
	ScriptedSessions sessions;
	sessions.results = {next({"b.hgr"})};
	sessions.throwAt = 1;
	testing::internal::CaptureStderr();
	EXPECT_EQ(runLevelLoop(options, sessions.runner()), 2);
	EXPECT_EQ(testing::internal::GetCapturedStderr(), "ERROR: Failed to load scene file \"x.hgr\"\n");
}

TEST(LevelLoopTest, FailedScreenshotIsAFailure) {
	LaunchOptions options;
	ScriptedSessions sessions;
	LevelResult result = quit();
	result.screenshotFailed = true;
	sessions.results = {result};
	EXPECT_EQ(runLevelLoop(options, sessions.runner()), 1);
}

} // namespace
