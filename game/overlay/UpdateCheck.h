// STAND-IN for the update check (the check on a background thread replaces
// it): the interface the overlay and the menu use, with no query behind it.
// The state stays 0 (not started) unless a test sets a result.
#pragma once

#include <string>

namespace lumaroll {

// States of the check: not started, checking, up to date, newer release, failed.
enum UpdateState { UpdateIdle = 0, UpdateChecking = 1, UpdateCurrent = 2, UpdateAvailable = 3, UpdateFailed = 4 };

// Starts the check unless one was started in this run; returns at once.
// The stand-in starts nothing.
void startUpdateCheck(const std::string& runningVersion);

// The current state (0 to 4); read by the overlay every frame.
int updateState();

// Tag of the latest release; empty until known.
std::string latestVersion();

// Address of the latest release's page.
std::string releasePageUrl();

// Sets the state and the latest tag as a finished check would; for tests.
void setUpdateResultForTest(int state, const std::string& tag);

} // namespace lumaroll
