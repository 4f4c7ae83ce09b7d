#pragma once
// Reading the data archive ahead on a helper thread, so that inflating the
// next bytes and writing out the files before them run at the same time.

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "import/ArchiveStream.h"

namespace lumaroll {

// The bytes of source, one after the other, read by a helper thread into a
// few chunks ahead of the caller. source is read by that thread only, from
// construction until its end or the destruction of this stream; when no
// thread can be started it is read on the caller's thread instead. error()
// is the source's once read stops early.
class ReadAheadStream : public ArchiveStream {
public:
    explicit ReadAheadStream(ArchiveStream& source);
    // Stops the helper thread and waits for it.
    ~ReadAheadStream() override;
    ReadAheadStream(const ReadAheadStream&) = delete;
    ReadAheadStream& operator=(const ReadAheadStream&) = delete;

    size_t read(char* out, size_t n) override;
    // Points into the chunk being read: no copy.
    size_t readInPlace(const char*& at, size_t n) override;

private:
    struct Chunk {
        std::vector<char> bytes;
        size_t size = 0; // bytes read into it; fewer than it holds only for the last one
    };

    // The helper thread: fills free chunks in turn until the source ends.
    void fill();
    // Hands the chunk read out back to the helper and moves to the next one.
    void handBack();

    ArchiveStream& source;
    std::vector<Chunk> chunks; // used in turn, as a ring

    // Shared with the helper thread, under lock.
    std::mutex lock;
    std::condition_variable changed;
    size_t ready = 0;        // chunks filled and not yet read out
    bool stopping = false;   // set by the destructor
    std::string sourceError; // the source's error, set with the last chunk

    // The caller's side only.
    size_t readChunk = 0;  // the chunk read from next
    size_t readOffset = 0; // bytes of it already handed out
    bool spent = false;    // all of it handed out; handed back at the next call
    bool ended = false;    // the last chunk has been read out

    std::thread helper; // started last, once everything above is set
};

} // namespace lumaroll
