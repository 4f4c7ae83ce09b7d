// The update check against fake curl and wget: the answers real tools give
// (a redirect to a tag, a refused connection that still prints the address, a
// timeout after the redirect with wget's Location headers), the version
// rules, and the address the download button may open.
#include "overlay/UpdateCheck.h"
#include "support/FakeCommand.h"
#include "support/ScopedEnv.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <thread>

using namespace lumaroll;

namespace {

const std::string kTagPage = "https://github.com/lumaroll/lumaroll/releases/tag/";

// Waits (at most two minutes) for a started check to end.
void waitForEnd(const UpdateCheck& check) {
	for (int i = 0; i < 12000 && check.state() == UpdateChecking; ++i)
		std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

class UpdateCheckTest : public testing::Test {
protected:
	void SetUp() override { env.set("PATH", fakes.pathFirst().c_str()); }

	// Starts the check and waits for its end; returns what it printed.
	static std::string runCheck(UpdateCheck& check) {
		testing::internal::CaptureStdout();
		check.start("1.2.0");
		waitForEnd(check);
		return testing::internal::GetCapturedStdout();
	}

	test::FakeCommands fakes;
	test::ScopedEnv env;
};

TEST_F(UpdateCheckTest, AnswersOfCurlAndWget) {
	const std::string fixed = kLatestReleaseAddress;
	struct Case {
		const char* name;
		std::string curlOut;
		int curlCode;
		std::string wgetErr; // wget's server response goes to standard error
		std::string latestAddress;
		std::string line;
		int state;
		std::string tag;
		std::string page; // releasePageUrl()
		int wgetCalls;
	} cases[] = {
		{"a newer tag", kTagPage + "v1.3.0", 0, "", "", "updates: v1.3.0 is available (running 1.2.0)\n",
		 UpdateAvailable, "v1.3.0", kTagPage + "v1.3.0", 0},
		{"the running version", kTagPage + "v1.2.0\n", 0, "", "",
		 "updates: up to date (latest v1.2.0, running 1.2.0)\n", UpdateCurrent, "v1.2.0", kTagPage + "v1.2.0", 0},
		{"a fourth number does not count", kTagPage + "1.2.0.9", 0, "", "",
		 "updates: up to date (latest 1.2.0.9, running 1.2.0)\n", UpdateCurrent, "1.2.0.9", kTagPage + "1.2.0.9", 0},
		{"a query ends the tag", kTagPage + "2.0.0?x=1", 0, "", "", "updates: 2.0.0 is available (running 1.2.0)\n",
		 UpdateAvailable, "2.0.0", kTagPage + "2.0.0?x=1", 0},
		{"no redirect happened", fixed, 0, "", "", "updates: could not check the latest release\n", UpdateFailed, "",
		 fixed, 0},
		{"curl refused (exit 7, its address printed), wget silent", fixed, 7, "", "",
		 "updates: could not check the latest release\n", UpdateFailed, "", fixed, 1},
		{"curl timed out after the redirect, wget's last absolute Location", "https://h/o/r/releases/tag/v1.3.0", 28,
		 "  HTTP/1.1 302 Found\n  Location: https://h/o/r/releases/tag/v1.2.9\n  HTTP/1.1 302 Found\n"
		 "  Location: https://h/o/r/releases/tag/v1.3.0\r\n  HTTP/1.1 200 OK\n",
		 "https://h/o/r/releases/latest", "updates: v1.3.0 is available (running 1.2.0)\n", UpdateAvailable, "v1.3.0",
		 "https://h/o/r/releases/tag/v1.3.0", 1},
		{"wget's relative Location", "", 6, "  location: /o/r/releases/tag/v1.4.0\n", "https://h/o/r/releases/latest",
		 "updates: v1.4.0 is available (running 1.2.0)\n", UpdateAvailable, "v1.4.0",
		 "https://h/o/r/releases/tag/v1.4.0", 1},
		{"a page on another host is never opened", "https://elsewhere.example/x/releases/tag/v9.0.0", 0, "", "",
		 "updates: v9.0.0 is available (running 1.2.0)\n", UpdateAvailable, "v9.0.0", fixed, 0},
		{"plain http is never opened", "http://github.com/lumaroll/lumaroll/releases/tag/v9.0.0", 0, "", "",
		 "updates: v9.0.0 is available (running 1.2.0)\n", UpdateAvailable, "v9.0.0", fixed, 0},
	};
	for (const Case& c : cases) {
		const std::string address = c.latestAddress.empty() ? fixed : c.latestAddress;
		UpdateCheck check(address);
		test::FakeCommands tools;
		tools.add({"curl", c.curlCode, c.curlOut, "", 0});
		tools.add({"wget", 4, "", c.wgetErr, 0});
		env.set("PATH", tools.pathFirst().c_str());
		EXPECT_EQ(runCheck(check), c.line) << c.name;
		EXPECT_EQ(check.state(), c.state) << c.name;
		EXPECT_EQ(check.latestVersion(), c.tag) << c.name;
		EXPECT_EQ(check.releasePageUrl(), c.page) << c.name;
		EXPECT_EQ(tools.arguments("curl"), (std::vector<std::string>{"-sSIL", "-o", "/dev/null", "-w",
																	 "%{url_effective}", "--max-time", "6", address}))
			<< c.name;
		EXPECT_EQ(tools.calls("wget"), c.wgetCalls) << c.name;
		if (c.wgetCalls > 0) {
			EXPECT_EQ(tools.arguments("wget"), (std::vector<std::string>{"-q", "--spider", "--server-response",
																		 "--timeout=6", "--tries=1", address}))
				<< c.name;
		}
	}
}

TEST_F(UpdateCheckTest, NeitherToolInstalledFailsWithTheFixedAddress) {
	env.set("PATH", fakes.dir().c_str());
	UpdateCheck check;
	EXPECT_EQ(runCheck(check), "updates: could not check the latest release\n");
	EXPECT_EQ(check.state(), UpdateFailed);
	EXPECT_EQ(check.releasePageUrl(), std::string(kLatestReleaseAddress));
}

TEST_F(UpdateCheckTest, ACheckRunsOnce) {
	fakes.add({"curl", 0, kTagPage + "v1.3.0", "", 0});
	UpdateCheck check;
	runCheck(check);
	ASSERT_EQ(check.state(), UpdateAvailable);
	// A start that went ahead would show "checking" before it returns (the
	// state changes before its thread is made), so no wait is needed.
	check.start("1.2.0");
	EXPECT_EQ(check.state(), UpdateAvailable);
	check.start("0.1.0");
	EXPECT_EQ(check.state(), UpdateAvailable);
	EXPECT_EQ(fakes.calls("curl"), 1);
}

// The main thread may change the environment while the check runs (setenv
// frees what it replaces): the check's programs get the environment of its start.
TEST_F(UpdateCheckTest, TheCheckKeepsTheEnvironmentItStartedWith) {
	fakes.add({"curl", 7, "", "", 300});
	fakes.add({"wget", 0, "", "  Location: https://github.com/lumaroll/lumaroll/releases/tag/v1.5.0\n", 0});
	test::FakeCommands later;
	later.add({"curl", 7, "", "", 0});
	later.add({"wget", 0, "", "  Location: https://github.com/lumaroll/lumaroll/releases/tag/v9.0.0\n", 0});
	UpdateCheck check;
	testing::internal::CaptureStdout();
	check.start("1.2.0");
	env.set("PATH", later.pathFirst().c_str());
	waitForEnd(check);
	testing::internal::GetCapturedStdout();
	EXPECT_EQ(check.latestVersion(), "v1.5.0");
	EXPECT_EQ(later.calls("wget"), 0);
}

TEST(VersionTest, NumbersOfAVersionText) {
	struct Case {
		const char* text;
		std::vector<int> numbers;
	} cases[] = {
		{"v1.2", {1, 2, 0}},
		{"V3", {3, 0, 0}},
		{"1.2.0-beta", {1, 2, 0}},
		{"1..3", {1, 0, 3}},
		{"no digits", {0, 0, 0}},
		{"", {0, 0, 0}},
		{"1.2.3.4", {1, 2, 3, 4}},
		{"1.2.", {1, 2, 0}},
		// Network text: a long run of digits must not overflow (UBSan stops on it).
		{"123456789012345678901234567890.7", {INT_MAX, 7, 0}},
		{"2147483648", {INT_MAX, 0, 0}},
	};
	for (const auto& c : cases)
		EXPECT_EQ(parseVersion(c.text), c.numbers) << c.text;
}

TEST(VersionTest, NewerComparesTheFirstThreeNumbers) {
	struct Case {
		const char* candidate;
		const char* running;
		bool newer;
	} cases[] = {
		{"v1.3.0", "1.2.0", true},	{"1.2.1", "1.2.0", true},	 {"2.0", "1.9.9", true},
		{"v1.2.0", "1.2.0", false}, {"1.2.0.9", "1.2.0", false}, {"1.1.9", "1.2.0", false},
		{"0.9.9", "1.2.0", false},	{"abc", "1.2.0", false},	 {"99999999999999999999", "1.2.0", true},
	};
	for (const auto& c : cases)
		EXPECT_EQ(isNewerVersion(c.candidate, c.running), c.newer) << c.candidate << " against " << c.running;
}

} // namespace
