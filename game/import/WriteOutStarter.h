#pragma once
// Starting the disk write-out of imported files early, off the thread that
// writes them.

#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <thread>

namespace lumaroll {

// Starts the write-out of finished files on a helper thread (open, then
// sync_file_range without waiting), so that the one flush at the end of an
// import finds little left to write and the thread writing the files does
// not wait for the device. Only a hint: a file it misses (queue full, no
// thread, cannot be opened) is written out by that flush all the same.
class WriteOutStarter {
public:
    WriteOutStarter();
    // Drops the files not yet started and waits for the helper thread.
    ~WriteOutStarter();
    WriteOutStarter(const WriteOutStarter&) = delete;
    WriteOutStarter& operator=(const WriteOutStarter&) = delete;

    // Queues the file at path, which is complete and in place.
    void start(const std::string& path);

private:
    void run();

    std::mutex lock;
    std::condition_variable queued;
    std::deque<std::string> paths; // under lock
    bool stopping = false;         // under lock; set by the destructor
    std::thread helper;            // started last
};

} // namespace lumaroll
