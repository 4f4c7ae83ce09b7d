// writeWithSndfile (declared in WavWriter.h): kept apart so that programs
// using only the WAV writer need no libsndfile.
#include "WavWriter.h"

#include <sndfile.h>

namespace test {

bool writeWithSndfile(const std::string& path, int format, int rate, int channels,
					  const std::vector<float>& interleaved) {
	SF_INFO info{};
	info.samplerate = rate;
	info.channels = channels;
	info.format = format;
	SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
	if (!file)
		return false;
	const sf_count_t frames = sf_count_t(interleaved.size()) / channels;
	const bool ok = sf_writef_float(file, interleaved.data(), frames) == frames;
	return sf_close(file) == 0 && ok;
}

} // namespace test
