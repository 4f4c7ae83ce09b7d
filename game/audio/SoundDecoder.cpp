#include "audio/SoundDecoder.h"

#include "audio/Mp3Decoder.h"
#include "audio/SoundNames.h"
#include "audio/WavDecoder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <new>

namespace lumaroll {

SoundRoute soundRoute(const std::string& key)
{
    return hasSuffix(key, ".mp3") ? SoundRoute::Mp3 : SoundRoute::Wav;
}

namespace {

// Opens path for reading only when it is a regular file: a pipe or a device
// named like a sound would otherwise block the level load or never end.
int openRegularFile(const std::string& path, std::uint64_t& bytes)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return -1;
    }
    bytes = std::uint64_t(info.st_size);
    return fd;
}

} // namespace

bool decodeSoundFile(const std::string& path, SoundRoute route, std::vector<std::int16_t>& samples)
{
    samples.clear();
    std::uint64_t bytes = 0;
    const int fd = openRegularFile(path, bytes);
    if (fd < 0)
        return false;
    bool ok = false;
    try {
        ok = route == SoundRoute::Mp3 ? decodeMp3(fd, bytes, samples) : decodeWav(fd, bytes, samples);
    } catch (const std::bad_alloc&) {
        ok = false;
    }
    ::close(fd);
    if (!ok)
        std::vector<std::int16_t>().swap(samples);
    return ok;
}

} // namespace lumaroll
