#include "app/Log.h"

#include "Version.h"
#include "files/Paths.h"
#include "platform/SdlWindow.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <thread>
#include <unistd.h>

namespace lumaroll {

namespace {

// One captured stream: the pipe behind descriptor 1 or 2 and the terminal's
// original descriptor (or -1 when there was none).
struct Capture {
    int read = -1;
    int write = -1;
    int saved = -1;
    std::string line;
};

struct LogState {
    bool active = false;
    FILE* file = nullptr;
    Capture streams[2];     // standard output, standard error
    int wake[2] = {-1, -1}; // written to by stopLog to end the thread
    std::thread thread;
};

LogState logState;

void writeAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return; // a closed reader (EPIPE) or full disk: the log file still gets the line
        data += n;
        size -= static_cast<size_t>(n);
    }
}

void emit(FILE* file, Capture& stream)
{
    std::fwrite(stream.line.data(), 1, stream.line.size(), file);
    std::fflush(file);
    if (stream.saved >= 0)
        writeAll(stream.saved, stream.line.data(), stream.line.size());
    stream.line.clear();
}

// Copies the bytes read to the line buffer; every complete line goes out at once.
void take(FILE* file, Capture& stream, const char* data, ssize_t size)
{
    for (ssize_t i = 0; i < size; ++i) {
        stream.line += data[i];
        if (data[i] == '\n')
            emit(file, stream);
    }
}

// Reads everything the pipe holds now (its read end does not block); returns
// false at end of file or on an error.
bool drain(FILE* file, Capture& stream)
{
    char buffer[1024];
    for (;;) {
        ssize_t n = ::read(stream.read, buffer, sizeof buffer);
        if (n > 0)
            take(file, stream, buffer, n);
        else if (n < 0 && errno == EINTR)
            continue;
        else
            return n < 0 && errno == EAGAIN;
    }
}

void logThread(LogState* state)
{
    pollfd fds[3];
    for (int i = 0; i < 2; ++i)
        fds[i] = {state->streams[i].read, POLLIN, 0};
    fds[2] = {state->wake[0], POLLIN, 0};
    bool stopping = false;
    while (!stopping && (fds[0].fd >= 0 || fds[1].fd >= 0)) {
        if (poll(fds, 3, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        // The two streams share no order of their own. Standard output is emptied
        // first: what it holds was mostly written before a failure line came.
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd >= 0 && (fds[i].revents & (POLLIN | POLLHUP | POLLERR)) &&
                !drain(state->file, state->streams[i]))
                fds[i].fd = -1;
        }
        stopping = fds[2].revents != 0;
    }
    // Child processes may still hold the write ends: take what is there without
    // waiting for them, and the last line even without its newline.
    for (Capture& stream : state->streams) {
        drain(state->file, stream);
        if (!stream.line.empty())
            emit(state->file, stream);
    }
}

void closeIfOpen(int& fd)
{
    if (fd >= 0)
        close(fd);
    fd = -1;
}

// A pipe whose descriptors stay clear of 0 to 2 and are not inherited by child processes.
bool makePipe(int fds[2])
{
    if (pipe2(fds, O_CLOEXEC) != 0) {
        fds[0] = fds[1] = -1;
        return false;
    }
    for (int i = 0; i < 2; ++i) {
        if (fds[i] <= 2) {
            int moved = fcntl(fds[i], F_DUPFD_CLOEXEC, 3);
            close(fds[i]);
            fds[i] = moved;
        }
    }
    if (fds[0] < 0 || fds[1] < 0) {
        closeIfOpen(fds[0]);
        closeIfOpen(fds[1]);
        return false;
    }
    return true;
}

// A standard descriptor closed at launch (a service, or ">&-") would be taken
// by the log file and then replaced by the pipe, so that the log fed on
// itself: hold each closed one with /dev/null first.
void holdStandardDescriptors()
{
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        int null = open("/dev/null", O_RDWR);
        if (null >= 0 && null != fd) {
            dup2(null, fd);
            close(null);
        }
    }
}

} // namespace

std::string startLog()
{
    LogState& state = logState;
    if (state.active)
        return std::string();
    holdStandardDescriptors();
    std::string dir = dataDir();
    makeDirs(dir);
    std::string log = dir + "/lumaroll.log";
    std::string previous = dir + "/lumaroll.previous.log";
    std::remove(previous.c_str());
    std::rename(log.c_str(), previous.c_str());

    state.file = std::fopen(log.c_str(), "w");
    if (!state.file)
        return std::string();
    int out[2] = {-1, -1}, err[2] = {-1, -1};
    if (!makePipe(out) || !makePipe(err) || !makePipe(state.wake)) {
        for (int* fd : {&out[0], &out[1], &err[0], &err[1], &state.wake[0], &state.wake[1]})
            closeIfOpen(*fd);
        std::fclose(state.file);
        state.file = nullptr;
        return std::string();
    }
    fcntl(out[0], F_SETFL, fcntl(out[0], F_GETFL) | O_NONBLOCK);
    fcntl(err[0], F_SETFL, fcntl(err[0], F_GETFL) | O_NONBLOCK);
    state.streams[0].read = out[0];
    state.streams[0].write = out[1];
    state.streams[1].read = err[0];
    state.streams[1].write = err[1];

    std::fflush(stdout);
    std::fflush(stderr);
    for (int i = 0; i < 2; ++i) {
        state.streams[i].saved = fcntl(i + 1, F_DUPFD_CLOEXEC, 3);
        dup2(state.streams[i].write, i + 1);
    }
    setvbuf(stdout, nullptr, _IOLBF, 0);
    setvbuf(stderr, nullptr, _IOLBF, 0);

    state.active = true;
    state.thread = std::thread([] { logThread(&logState); });
    static bool registered = false;
    if (!registered)
        registered = std::atexit(stopLog) == 0;

    char started[64] = "";
    std::time_t now = std::time(nullptr);
    if (std::tm* local = std::localtime(&now))
        std::strftime(started, sizeof started, "%Y-%m-%d %H:%M:%S", local);
    std::printf("Lumaroll %s on %s, SDL %s, started %s\n", LUMAROLL_VERSION, sdlPlatformName().c_str(),
                sdlVersion().c_str(), started);
    std::printf("log: %s\n", log.c_str());
    return log;
}

void stopLog()
{
    LogState& state = logState;
    if (!state.active)
        return;
    state.active = false;
    std::fflush(stdout);
    std::fflush(stderr);
    // Give descriptors 1 and 2 back; this also drops our own references to the pipes' write ends.
    for (int i = 0; i < 2; ++i) {
        Capture& stream = state.streams[i];
        if (stream.saved >= 0)
            dup2(stream.saved, i + 1);
        else
            close(i + 1);
        closeIfOpen(stream.write);
    }
    writeAll(state.wake[1], "x", 1);
    state.thread.join();
    for (Capture& stream : state.streams) {
        closeIfOpen(stream.read);
        closeIfOpen(stream.saved);
        stream.line.clear();
    }
    closeIfOpen(state.wake[0]);
    closeIfOpen(state.wake[1]);
    if (std::fclose(state.file) != 0)
        std::fprintf(stderr, "log: could not finish the log file\n");
    state.file = nullptr;
}

} // namespace lumaroll
