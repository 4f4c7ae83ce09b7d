// The MP3 route of the sound decoder, through libmpg123.
#pragma once

#include <cstdint>
#include <vector>

namespace lumaroll {

// Decodes the MPEG audio stream (layer III, also I and II; MPEG-1, 2 and 2.5)
// of the regular file open on fd, fileBytes long, and appends it to samples
// at the clip layout (Resampler.h). The stream is found whatever stands
// before it: an ID3v2 tag of any version and size, zeros or other bytes up to
// libmpg123's limit of 64 kB (also after the tag); ID3v1 and APE trailers are
// left out. A stream starts only where a frame header is followed by the next
// one, so a file holding a single frame and nothing else is refused: no
// encoder writes one for a sound (lame does for an empty input, its frame
// silent), and chance sync words in other data are told apart this way.
// Info/Xing frames are honoured for the encoder's delay and padding, a VBRI
// frame (a seek table in a silent frame) is left out; the stream is read to
// its real end, past the length an Info frame announces.
// A stream cut inside a frame gives its whole frames; past a frame, more than
// 1 kB holding none ends the stream (libmpg123's resync limit: a trailer of
// another kind, a stray block). Streams joined at a change of rate
// or channels play one after the other, each converted at its own rate.
// Returns false when no frame is found, on a read error, or once the output
// would pass kMaxClipFrames; samples may then hold part of the sound. fd
// stays open. May throw std::bad_alloc.
bool decodeMp3(int fd, std::uint64_t fileBytes, std::vector<std::int16_t>& samples);

} // namespace lumaroll
