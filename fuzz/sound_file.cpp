// Fuzzes sound file decoding: the input is a file in memory, decoded by the
// game's one decode function on the WAV route (even sizes) or the MP3 route
// (odd sizes). A result is either stereo samples within the length cap or a
// failure with no samples.
#include "audio/SoundDecoder.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
	const int fd = memfd_create("sound", MFD_CLOEXEC);
	if (fd < 0)
		return 0;
	size_t written = 0;
	while (written < size) {
		const ssize_t n = ::write(fd, data + written, size - written);
		if (n <= 0)
			break;
		written += size_t(n);
	}
	std::vector<int16_t> samples;
	const auto route = (size & 1) ? lumaroll::SoundRoute::Mp3 : lumaroll::SoundRoute::Wav;
	const bool ok = lumaroll::decodeSoundFile("/proc/self/fd/" + std::to_string(fd), route, samples);
	::close(fd);
	if (samples.size() % 2 != 0 || samples.size() / 2 > lumaroll::kMaxClipFrames || (!ok && !samples.empty()))
		__builtin_trap();
	return 0;
}
