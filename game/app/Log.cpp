#include "app/Log.h"

#include "Version.h"
#include "files/Paths.h"
#include "platform/SdlWindow.h"

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace lumaroll {

namespace {

// A socket address and its length, as bind and recvfrom fill them in.
struct Address {
    sockaddr_un name{};
    socklen_t length = 0;

    bool operator==(const Address& other) const
    {
        return length == other.length && std::memcmp(&name, &other.name, length) == 0;
    }
};

// One captured stream: the socket behind descriptor 1 or 2, its address (how
// the log thread tells the streams apart), the terminal's original
// descriptor (-1 when there was none) and the line being gathered.
struct Capture {
    int socket = -1;
    Address address;
    int saved = -1;
    std::string line;
};

struct LogState {
    bool active = false;
    FILE* file = nullptr;
    int receiver = -1;          // the one queue both streams send to
    Capture streams[2];         // standard output, standard error
    int wake[2] = {-1, -1};     // written to by stopLog to end the thread
    std::vector<char> datagram; // the log thread's receive buffer
    std::thread thread;
};

LogState logState;

// A write larger than a sender's buffer fails as a whole on a datagram
// socket: ask for far more than any line (the system caps it at its maximum).
const int kSendBuffer = 8 << 20;

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

// Copies the bytes received to the stream's line; every complete line goes out at once.
void take(FILE* file, Capture& stream, const char* data, size_t size)
{
    for (size_t i = 0; i < size; ++i) {
        stream.line += data[i];
        if (data[i] == '\n')
            emit(file, stream);
    }
}

// Takes every datagram queued now, in the order they were sent; a datagram
// from any other sender is dropped. Returns false on an error of the socket.
bool drain(LogState& state)
{
    for (;;) {
        // The length of the next datagram, so that none is cut short.
        const ssize_t size = ::recv(state.receiver, nullptr, 0, MSG_PEEK | MSG_TRUNC | MSG_DONTWAIT);
        if (size < 0 && errno == EINTR)
            continue;
        if (size < 0)
            return errno == EAGAIN || errno == EWOULDBLOCK;
        if (state.datagram.size() < static_cast<size_t>(size) + 1)
            state.datagram.resize(static_cast<size_t>(size) + 1);
        Address from;
        from.length = sizeof from.name;
        const ssize_t n = ::recvfrom(state.receiver, state.datagram.data(), state.datagram.size(), MSG_DONTWAIT,
                                     reinterpret_cast<sockaddr*>(&from.name), &from.length);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno == EAGAIN || errno == EWOULDBLOCK;
        for (Capture& stream : state.streams) {
            if (from == stream.address)
                take(state.file, stream, state.datagram.data(), static_cast<size_t>(n));
        }
    }
}

void logThread(LogState* state)
{
    pollfd fds[2] = {{state->receiver, POLLIN, 0}, {state->wake[0], POLLIN, 0}};
    for (;;) {
        if (poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (!drain(*state) || fds[1].revents != 0)
            break;
    }
    // Child processes may still hold the streams: take what is queued without
    // waiting for them, and each last line even without its newline.
    drain(*state);
    for (Capture& stream : state->streams) {
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

// Moves fd above 0 to 2 (close-on-exec), so that it cannot be taken for a
// standard descriptor; -1 stays -1, and so does a failed move.
int clearOfStandard(int fd)
{
    if (fd < 0 || fd > 2)
        return fd;
    const int moved = fcntl(fd, F_DUPFD_CLOEXEC, 3);
    close(fd);
    return moved;
}

// A pipe whose descriptors stay clear of 0 to 2 and are not inherited by child processes.
bool makePipe(int fds[2])
{
    if (pipe2(fds, O_CLOEXEC) != 0) {
        fds[0] = fds[1] = -1;
        return false;
    }
    fds[0] = clearOfStandard(fds[0]);
    fds[1] = clearOfStandard(fds[1]);
    if (fds[0] < 0 || fds[1] < 0) {
        closeIfOpen(fds[0]);
        closeIfOpen(fds[1]);
        return false;
    }
    return true;
}

// A local datagram socket (close-on-exec, clear of 0 to 2) bound to a fresh
// name the system picks; -1 when that fails.
int boundSocket(Address& address)
{
    int fd = clearOfStandard(socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (fd < 0)
        return -1;
    sockaddr_un any{};
    any.sun_family = AF_UNIX;
    address.length = sizeof address.name;
    if (bind(fd, reinterpret_cast<sockaddr*>(&any), sizeof(sa_family_t)) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&address.name), &address.length) != 0 ||
        address.length > sizeof address.name) {
        close(fd);
        return -1;
    }
    return fd;
}

// The receiving socket and the two sending ones, each sender connected to the
// receiver. The receiver's name is one the system picks: a datagram another
// process might send to it has an address of neither sender and is dropped.
bool makeSockets(LogState& state)
{
    Address receiverAddress;
    state.receiver = boundSocket(receiverAddress);
    if (state.receiver < 0)
        return false;
    for (Capture& stream : state.streams) {
        stream.socket = boundSocket(stream.address);
        if (stream.socket < 0)
            return false;
        setsockopt(stream.socket, SOL_SOCKET, SO_SNDBUF, &kSendBuffer, sizeof kSendBuffer);
        if (connect(stream.socket, reinterpret_cast<const sockaddr*>(&receiverAddress.name),
                    receiverAddress.length) != 0)
            return false;
    }
    return true;
}

void closeSockets(LogState& state)
{
    closeIfOpen(state.receiver);
    for (Capture& stream : state.streams)
        closeIfOpen(stream.socket);
}

// A standard descriptor closed at launch (a service, or ">&-") would be taken
// by the log file and then replaced by the socket, so that the log fed on
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
    if (!makeSockets(state) || !makePipe(state.wake)) {
        closeSockets(state);
        closeIfOpen(state.wake[0]);
        closeIfOpen(state.wake[1]);
        std::fclose(state.file);
        state.file = nullptr;
        return std::string();
    }

    std::fflush(stdout);
    std::fflush(stderr);
    for (int i = 0; i < 2; ++i) {
        state.streams[i].saved = fcntl(i + 1, F_DUPFD_CLOEXEC, 3);
        dup2(state.streams[i].socket, i + 1);
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
    // Give descriptors 1 and 2 back. Everything written before is queued at
    // the receiver already: a datagram is queued whole when its write returns.
    for (int i = 0; i < 2; ++i) {
        Capture& stream = state.streams[i];
        if (stream.saved >= 0)
            dup2(stream.saved, i + 1);
        else
            close(i + 1);
    }
    writeAll(state.wake[1], "x", 1);
    state.thread.join();
    closeSockets(state);
    for (Capture& stream : state.streams) {
        closeIfOpen(stream.saved);
        stream.line.clear();
        stream.address = Address();
    }
    closeIfOpen(state.wake[0]);
    closeIfOpen(state.wake[1]);
    std::vector<char>().swap(state.datagram);
    if (std::fclose(state.file) != 0)
        std::fprintf(stderr, "log: could not finish the log file\n");
    state.file = nullptr;
}

} // namespace lumaroll
