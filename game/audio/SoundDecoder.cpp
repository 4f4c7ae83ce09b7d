#include "audio/SoundDecoder.h"

#include "audio/Mp3Decoder.h"
#include "audio/SoundNames.h"
#include "audio/WavDecoder.h"
#include "files/RegularFile.h"

#include <sys/stat.h>
#include <unistd.h>

#include <new>

namespace lumaroll {

SoundRoute soundRoute(const std::string& key)
{
    return hasSuffix(key, ".mp3") ? SoundRoute::Mp3 : SoundRoute::Wav;
}

bool decodeSoundFile(const std::string& path, SoundRoute route, std::vector<std::int16_t>& samples)
{
    samples.clear();
    // Only regular files: a pipe or a device named like a sound would
    // otherwise block the level load or never end.
    const int fd = openRegularFile(path);
    if (fd < 0)
        return false;
    struct stat info;
    if (fstat(fd, &info) != 0) {
        ::close(fd);
        return false;
    }
    const std::uint64_t bytes = std::uint64_t(info.st_size);
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
