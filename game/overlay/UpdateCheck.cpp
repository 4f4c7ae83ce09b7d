#include "overlay/UpdateCheck.h"

#include <atomic>
#include <mutex>

namespace lumaroll {

namespace {

std::mutex resultMutex;
std::atomic<int> state{UpdateIdle};
std::string latestTag;

} // namespace

void startUpdateCheck(const std::string&) {}

int updateState()
{
    return state.load();
}

std::string latestVersion()
{
    std::lock_guard<std::mutex> lock(resultMutex);
    return latestTag;
}

std::string releasePageUrl()
{
    return std::string();
}

void setUpdateResultForTest(int newState, const std::string& tag)
{
    {
        std::lock_guard<std::mutex> lock(resultMutex);
        latestTag = tag;
    }
    state.store(newState);
}

} // namespace lumaroll
