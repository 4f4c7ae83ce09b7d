#include "import/ReadAheadStream.h"

#include <algorithm>
#include <cstring>
#include <system_error>

namespace lumaroll {

namespace {
// Four chunks of 512 KiB: enough for the helper to stay ahead while a large
// file is written out, small beside the copy buffer of the archive walk.
const size_t kChunks = 4;
const size_t kChunkSize = 512 * 1024;
} // namespace

ReadAheadStream::ReadAheadStream(ArchiveStream& source) : source(source), chunks(kChunks)
{
    for (Chunk& chunk : chunks)
        chunk.bytes.resize(kChunkSize);
    try {
        helper = std::thread([this] { fill(); });
    } catch (const std::system_error&) {
        // No thread: read() reads the source itself.
    }
}

ReadAheadStream::~ReadAheadStream()
{
    if (!helper.joinable())
        return;
    {
        std::lock_guard<std::mutex> guard(lock);
        stopping = true;
    }
    changed.notify_all();
    helper.join();
}

void ReadAheadStream::fill()
{
    for (size_t slot = 0;; slot = (slot + 1) % chunks.size()) {
        {
            std::unique_lock<std::mutex> guard(lock);
            changed.wait(guard, [this] { return stopping || ready < chunks.size(); });
            if (stopping)
                return;
        }
        // A chunk that is not ready is the helper's alone.
        Chunk& chunk = chunks[slot];
        chunk.size = source.read(chunk.bytes.data(), chunk.bytes.size());
        const bool last = chunk.size < chunk.bytes.size();
        {
            std::lock_guard<std::mutex> guard(lock);
            ++ready;
            if (last)
                sourceError = source.error();
        }
        changed.notify_all();
        if (last)
            return;
    }
}

size_t ReadAheadStream::read(char* out, size_t n)
{
    if (!helper.joinable()) {
        const size_t got = source.read(out, n);
        failure = source.error();
        return got;
    }
    size_t done = 0;
    while (done < n) {
        const char* at = nullptr;
        const size_t got = readInPlace(at, n - done);
        if (got == 0)
            break;
        std::memcpy(out + done, at, got);
        done += got;
    }
    return done;
}

size_t ReadAheadStream::readInPlace(const char*& at, size_t n)
{
    if (!helper.joinable())
        return ArchiveStream::readInPlace(at, n);
    for (;;) {
        // The bytes handed out last time are the caller's until this call.
        if (spent)
            handBack();
        if (ended || n == 0)
            return 0;
        {
            std::unique_lock<std::mutex> guard(lock);
            changed.wait(guard, [this] { return ready > 0; });
        }
        // The ready chunk is the caller's until it is handed back.
        Chunk& chunk = chunks[readChunk];
        const size_t take = std::min(n, chunk.size - readOffset);
        at = chunk.bytes.data() + readOffset;
        readOffset += take;
        spent = readOffset == chunk.size;
        if (take > 0)
            return take;
    }
}

void ReadAheadStream::handBack()
{
    const Chunk& chunk = chunks[readChunk];
    const bool last = chunk.size < chunk.bytes.size();
    {
        std::lock_guard<std::mutex> guard(lock);
        --ready;
        if (last)
            failure = sourceError;
    }
    changed.notify_all();
    readChunk = (readChunk + 1) % chunks.size();
    readOffset = 0;
    spent = false;
    ended = last;
}

} // namespace lumaroll
