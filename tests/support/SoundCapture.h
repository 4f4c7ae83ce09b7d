#ifndef SUPPORT_SOUNDCAPTURE_H
#define SUPPORT_SOUNDCAPTURE_H

// The mixed output of a program run on SDL's "disk" audio driver, and where
// known clips sound in it.
//
// The disk driver opens its file afresh (truncating it) each time the program
// opens an audio device, so a file would keep only the last device's output.
// A PipeRecorder makes the file a named pipe instead and keeps every opening's
// bytes apart, in order: one recording per device the program opened.

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace test {

class PipeRecorder {
public:
	// The bytes one device wrote, from its opening on. The disk driver keeps
	// the pace of a real device only while the machine keeps up, so a place
	// in them is matched with the mixer's own frame count, not with a clock.
	struct Recording {
		std::string bytes;
	};

	// Makes the named pipe at path (which must not exist) and starts reading it.
	explicit PipeRecorder(const std::string& path);
	// Stops reading and removes the pipe.
	~PipeRecorder();
	PipeRecorder(const PipeRecorder&) = delete;
	PipeRecorder& operator=(const PipeRecorder&) = delete;

	bool started() const { return m_thread.joinable(); }
	const std::string& path() const { return m_path; }
	// Stops reading (after the writer closed); the recordings then stay as they are.
	void stop();
	// Each finished opening of the pipe by a writer, in order.
	std::vector<Recording> recordings();

private:
	void read();

	std::string m_path;
	std::atomic<bool> m_stop{false};
	std::mutex m_mutex;
	std::vector<Recording> m_recordings;
	std::thread m_thread;
};

// Mono samples (channels averaged, -1..1) of 16-bit little-endian
// interleaved audio with the given channel count.
std::vector<float> monoFromPcm16(const std::string& bytes, int channels);

// Mono samples (-1..1) of a sound file read with libsndfile, at its own rate
// (*rate); empty when it cannot be read.
std::vector<float> readSoundFile(const std::string& path, int* rate);

// Averages each block of factor samples into one (a crude low-pass and
// down-sampling in one).
std::vector<float> decimate(const std::vector<float>& samples, int factor);

struct ClipMatch {
	size_t at = 0;		// sample index in the mix where the clip begins
	double score = 0.0; // normalised cross-correlation there, -1..1
};

// The places where clip sounds in mix (both at one rate): local maxima of the
// normalised cross-correlation of at least minScore, at least one clip length
// apart, in order of position.
std::vector<ClipMatch> findClip(const std::vector<float>& mix, const std::vector<float>& clip, double minScore);

} // namespace test

#endif
