#include "overlay/UpdateCheck.h"

#include "overlay/ChildProcess.h"

#include <atomic>
#include <climits>
#include <cstdio>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

namespace lumaroll {

const char* const kLatestReleaseAddress = "https://github.com/lumaroll/lumaroll/releases/latest";

namespace {

// Answers longer than this are no address.
const std::size_t kMaxAnswerBytes = 4096;

std::string trimEnd(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    return text;
}

std::string trimStart(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    return text.substr(i);
}

// "https://host" of an address; empty when it has no scheme.
std::string origin(const std::string& address)
{
    const std::size_t scheme = address.find("://");
    if (scheme == std::string::npos)
        return std::string();
    return address.substr(0, address.find('/', scheme + 3));
}

std::string resolveAgainst(const std::string& location, const std::string& address)
{
    if (location.rfind("http://", 0) == 0 || location.rfind("https://", 0) == 0)
        return location;
    if (location.rfind("//", 0) == 0)
        return address.substr(0, address.find(':') + 1) + location;
    if (!location.empty() && location[0] == '/')
        return origin(address) + location;
    return address.substr(0, address.rfind('/') + 1) + location;
}

// The value of the last "Location:" header line in wget's server response.
std::string lastLocation(const std::string& response)
{
    std::string found;
    std::size_t start = 0;
    while (start < response.size()) {
        std::size_t end = response.find('\n', start);
        if (end == std::string::npos)
            end = response.size();
        const std::string line = trimStart(response.substr(start, end - start));
        if (line.size() > 9 && (line[0] == 'L' || line[0] == 'l') && line.compare(1, 8, "ocation:") == 0)
            found = trimEnd(trimStart(line.substr(9)));
        start = end + 1;
    }
    return found;
}

// The tag after "/releases/tag/" up to '/', '?' or '#'; empty when absent.
std::string tagOf(const std::string& url)
{
    const std::string marker = "/releases/tag/";
    const std::size_t at = url.find(marker);
    if (at == std::string::npos)
        return std::string();
    const std::size_t from = at + marker.size();
    return url.substr(from, url.find_first_of("/?#", from) - from);
}

// True for text that may be handed to the desktop as an address on host.
bool safeAddressOn(const std::string& url, const std::string& host)
{
    if (host.rfind("https://", 0) != 0 || url.rfind(host + "/", 0) != 0)
        return false;
    for (char c : url) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u <= ' ' || u == 0x7F || c == '"' || c == '\'' || c == '\\' || c == '<' || c == '>')
            return false;
    }
    return true;
}

} // namespace

struct UpdateCheck::Shared {
    std::atomic<int> state{UpdateIdle};
    std::mutex mutex; // guards the two strings
    std::string latestTag;
    std::string releaseUrl; // the whole answer of the query
    // Fixed when the check is made; read by both threads without the mutex.
    const std::string latestAddress;
    const ReleaseQuery query;

    Shared(const std::string& address, ReleaseQuery q) : latestAddress(address), query(std::move(q)) {}
};

void UpdateCheck::run(std::shared_ptr<Shared> shared, std::string runningVersion,
                      std::vector<std::string> environment)
{
    const std::string url = shared->query(shared->latestAddress, environment);
    const std::string tag = tagOf(url);
    {
        std::lock_guard<std::mutex> lock(shared->mutex);
        shared->latestTag = tag;
        shared->releaseUrl = url;
    }
    if (tag.empty()) {
        std::puts("updates: could not check the latest release");
        shared->state.store(UpdateFailed);
    } else if (isNewerVersion(tag, runningVersion)) {
        std::printf("updates: %s is available (running %s)\n", tag.c_str(), runningVersion.c_str());
        shared->state.store(UpdateAvailable);
    } else {
        std::printf("updates: up to date (latest %s, running %s)\n", tag.c_str(), runningVersion.c_str());
        shared->state.store(UpdateCurrent);
    }
}

UpdateCheck::UpdateCheck(const std::string& latestAddress, ReleaseQuery query)
    : shared(std::make_shared<Shared>(latestAddress, std::move(query)))
{
}

void UpdateCheck::start(const std::string& runningVersion)
{
    int idle = UpdateIdle;
    if (!shared->state.compare_exchange_strong(idle, UpdateChecking))
        return;
    try {
        // The thread gets the environment as it is now: the main thread may change it meanwhile.
        std::thread(&UpdateCheck::run, shared, runningVersion, currentEnvironment()).detach();
    } catch (const std::system_error&) {
        std::puts("updates: could not check the latest release");
        shared->state.store(UpdateFailed);
    }
}

int UpdateCheck::state() const
{
    return shared->state.load();
}

std::string UpdateCheck::latestVersion() const
{
    std::lock_guard<std::mutex> lock(shared->mutex);
    return shared->latestTag;
}

std::string UpdateCheck::releasePageUrl() const
{
    std::lock_guard<std::mutex> lock(shared->mutex);
    return safeAddressOn(shared->releaseUrl, origin(shared->latestAddress)) ? shared->releaseUrl
                                                                            : shared->latestAddress;
}

std::string fetchLatestReleaseUrl(const std::string& latestAddress, const std::vector<std::string>& environment)
{
    // curl's output counts only when it ends well: a refused connection
    // still prints the address it was given, a timeout the address reached.
    const ProgramRun curl = runProgram({"curl", "-sSIL", "-o", "/dev/null", "-w", "%{url_effective}", "--max-time",
                                        "6", latestAddress},
                                       CapturedStream::Output, kMaxAnswerBytes, environment);
    if (curl.exitCode == 0)
        return trimEnd(curl.text);
    const ProgramRun wget =
        runProgram({"wget", "-q", "--spider", "--server-response", "--timeout=6", "--tries=1", latestAddress},
                   CapturedStream::Error, 64 * kMaxAnswerBytes, environment);
    const std::string location = lastLocation(wget.text);
    return location.empty() ? std::string() : resolveAgainst(location, latestAddress);
}

std::vector<int> parseVersion(const std::string& text)
{
    std::vector<int> numbers;
    std::size_t i = (!text.empty() && (text[0] == 'v' || text[0] == 'V')) ? 1 : 0;
    int current = 0;
    bool digits = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            const int digit = c - '0';
            // Network text: a long run of digits saturates instead of overflowing.
            current = current > (INT_MAX - digit) / 10 ? INT_MAX : current * 10 + digit;
            digits = true;
        } else if (c == '.') {
            numbers.push_back(current);
            current = 0;
            digits = false;
        } else {
            break;
        }
    }
    if (digits)
        numbers.push_back(current);
    while (numbers.size() < 3)
        numbers.push_back(0);
    return numbers;
}

bool isNewerVersion(const std::string& candidate, const std::string& running)
{
    const std::vector<int> a = parseVersion(candidate), b = parseVersion(running);
    for (std::size_t i = 0; i < 3; ++i) {
        if (a[i] != b[i])
            return a[i] > b[i];
    }
    return false;
}

} // namespace lumaroll
