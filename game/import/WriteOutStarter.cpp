#include "import/WriteOutStarter.h"

#include <system_error>

#include <fcntl.h>
#include <unistd.h>

namespace lumaroll {

namespace {
// Far more than the helper falls behind by, bounding the queue if the device stalls.
const size_t kMaxQueued = 256;
} // namespace

WriteOutStarter::WriteOutStarter()
{
    try {
        helper = std::thread([this] { run(); });
    } catch (const std::system_error&) {
        // No thread: start() drops every file; the final flush writes them.
    }
}

WriteOutStarter::~WriteOutStarter()
{
    if (!helper.joinable())
        return;
    {
        std::lock_guard<std::mutex> guard(lock);
        stopping = true;
    }
    queued.notify_one();
    helper.join();
}

void WriteOutStarter::start(const std::string& path)
{
    if (!helper.joinable())
        return;
    {
        std::lock_guard<std::mutex> guard(lock);
        if (paths.size() >= kMaxQueued)
            return;
        paths.push_back(path);
    }
    queued.notify_one();
}

void WriteOutStarter::run()
{
    for (;;) {
        std::string path;
        {
            std::unique_lock<std::mutex> guard(lock);
            queued.wait(guard, [this] { return stopping || !paths.empty(); });
            if (stopping)
                return;
            path.swap(paths.front());
            paths.pop_front();
        }
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
        if (fd < 0)
            continue;
        ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
        ::close(fd);
    }
}

} // namespace lumaroll
