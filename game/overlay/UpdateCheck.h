// The update check: once per check object, in the background, the project's
// latest-release address is asked where it leads (curl following its
// redirects, else wget's last Location header); the tag after "/releases/tag/"
// is compared with the running version. The menu's game tab shows the outcome
// and the overlay shows one notice when a newer release exists. The overlay
// makes one check each time it is brought up, with the query its platform
// names (ReleaseQuery below), so tests hand it a query of their own.
//
// The check runs on a detached thread that shares its result block with the
// UpdateCheck: the block lives until both are gone, so dropping the check or
// quitting while the thread waits for the network is safe. The main thread
// reads the state every frame through state() and the texts only through the
// copying functions below.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace lumaroll {

// States of the check: not started, checking, up to date, newer release, failed.
enum UpdateState { UpdateIdle = 0, UpdateChecking = 1, UpdateCurrent = 2, UpdateAvailable = 3, UpdateFailed = 4 };

// The project's latest-release address, which redirects to the page of the
// newest release (".../releases/tag/<tag>").
extern const char* const kLatestReleaseAddress;

// Where the latest-release address leads: curl's final address when curl
// ends with code 0, else the last Location that wget reports (resolved
// against the address when relative), else empty. Runs the programs without a
// shell, with the given environment (ChildProcess.h), and waits for them
// (each gives up after 6 seconds).
std::string fetchLatestReleaseUrl(const std::string& latestAddress, const std::vector<std::string>& environment);

// Where latestAddress leads, asked with the given environment ("NAME=value"
// entries); empty when it cannot be told. fetchLatestReleaseUrl is the real one.
using ReleaseQuery =
    std::function<std::string(const std::string& latestAddress, const std::vector<std::string>& environment)>;

class UpdateCheck {
public:
    // A check, not started, that will ask latestAddress through query.
    explicit UpdateCheck(const std::string& latestAddress = kLatestReleaseAddress,
                         ReleaseQuery query = fetchLatestReleaseUrl);
    // Moving hands the check over (the moved-from one may then only be
    // assigned to or destroyed); copies would share it, so there are none.
    UpdateCheck(UpdateCheck&&) = default;
    UpdateCheck& operator=(UpdateCheck&&) = default;
    UpdateCheck(const UpdateCheck&) = delete;
    UpdateCheck& operator=(const UpdateCheck&) = delete;

    // Starts the check with a copy of runningVersion and of the process's
    // environment, unless this check was ever started (whatever its result);
    // returns at once. Prints one line when it ends: "updates: <tag> is
    // available (running <version>)", "updates: up to date (latest <tag>,
    // running <version>)" or "updates: could not check the latest release".
    void start(const std::string& runningVersion);

    // The current state (0 to 4); one atomic load.
    int state() const;

    // Tag of the latest release; empty until known and after a failed check.
    std::string latestVersion() const;

    // The page to open for the latest release: the address the check ended at
    // when it is an https address on the host of the latest-release address,
    // else that address itself (also before the check and after a failure).
    std::string releasePageUrl() const;

private:
    struct Shared;
    // The check's thread; it holds the block, so the block outlives an
    // UpdateCheck dropped (or a process quitting) while the query waits.
    static void run(std::shared_ptr<Shared> shared, std::string runningVersion,
                    std::vector<std::string> environment);
    std::shared_ptr<Shared> shared;
};

// The numbers of a version text ("v1.2.0", "1.2", "1.2.0-beta"): a leading
// 'v' or 'V' is dropped, numbers are read up to the first character that is
// neither a digit nor a dot, empty numbers read 0, numbers too large for an
// int read as the largest int; at least three numbers.
std::vector<int> parseVersion(const std::string& text);

// True when candidate's first three numbers are greater than running's
// (compared first to third).
bool isNewerVersion(const std::string& candidate, const std::string& running);

} // namespace lumaroll
