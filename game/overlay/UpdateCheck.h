// The update check: once per run, in the background, the project's
// latest-release address is asked where it leads (curl following its
// redirects, else wget's last Location header); the tag after "/releases/tag/"
// is compared with the running version. The menu's game tab shows the outcome
// and the overlay shows one notice when a newer release exists.
//
// The check runs on a detached thread that writes into a block which is never
// destroyed, so quitting while it waits for the network is safe. The main
// thread reads the state every frame through updateState() and the texts only
// through the copying functions below.
#pragma once

#include <string>
#include <vector>

namespace lumaroll {

// States of the check: not started, checking, up to date, newer release, failed.
enum UpdateState { UpdateIdle = 0, UpdateChecking = 1, UpdateCurrent = 2, UpdateAvailable = 3, UpdateFailed = 4 };

// The project's latest-release address, which redirects to the page of the
// newest release (".../releases/tag/<tag>").
extern const char* const kLatestReleaseAddress;

// Starts the check with a copy of runningVersion unless one was ever started
// in this run (whatever its result); returns at once. Prints one line when it
// ends: "updates: <tag> is available (running <version>)", "updates: up to
// date (latest <tag>, running <version>)" or "updates: could not check the
// latest release".
void startUpdateCheck(const std::string& runningVersion);

// The current state (0 to 4); one atomic load.
int updateState();

// Tag of the latest release; empty until known and after a failed check.
std::string latestVersion();

// The page to open for the latest release: the address the check ended at
// when it is an https address on the release host, else the latest-release
// address itself (also before the check and after a failure).
std::string releasePageUrl();

// Where the latest-release address leads: curl's final address when curl
// ends with code 0, else the last Location that wget reports (resolved
// against the address when relative), else empty. Runs the programs without a
// shell, with the given environment (ChildProcess.h), and waits for them
// (each gives up after 6 seconds).
std::string fetchLatestReleaseUrl(const std::string& latestAddress, const std::vector<std::string>& environment);

// The numbers of a version text ("v1.2.0", "1.2", "1.2.0-beta"): a leading
// 'v' or 'V' is dropped, numbers are read up to the first character that is
// neither a digit nor a dot, empty numbers read 0, numbers too large for an
// int read as the largest int; at least three numbers.
std::vector<int> parseVersion(const std::string& text);

// True when candidate's first three numbers are greater than running's
// (compared first to third).
bool isNewerVersion(const std::string& candidate, const std::string& running);

// Sets the state and the latest tag as a finished check would; for tests.
void setUpdateResultForTest(int state, const std::string& tag);

// Waits (at most 20 s) for a running check to end, then clears the result so
// that the next startUpdateCheck runs again, asking latestAddress (empty: the
// project's address). For tests.
void resetUpdateCheckForTest(const std::string& latestAddress = std::string());

} // namespace lumaroll
