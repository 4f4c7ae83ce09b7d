#include "support/SoundCapture.h"

#include <sndfile.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace test {

PipeRecorder::PipeRecorder(const std::string& path) : m_path(path) {
	if (mkfifo(path.c_str(), 0600) == 0)
		m_thread = std::thread([this] { read(); });
}

PipeRecorder::~PipeRecorder() {
	stop();
	unlink(m_path.c_str());
}

void PipeRecorder::read() {
	while (!m_stop) {
		// Blocks until a writer opens the pipe (or stop() opens it to wake us).
		const int fd = open(m_path.c_str(), O_RDONLY | O_CLOEXEC);
		if (fd < 0) {
			if (errno == EINTR)
				continue;
			return;
		}
		Recording recording;
		std::string& bytes = recording.bytes;
		char buffer[65536];
		for (;;) {
			const ssize_t n = ::read(fd, buffer, sizeof buffer);
			if (n > 0)
				bytes.append(buffer, size_t(n));
			else if (n == 0 || errno != EINTR)
				break;
		}
		close(fd);
		if (m_stop && bytes.empty())
			break;
		std::lock_guard<std::mutex> lock(m_mutex);
		m_recordings.push_back(std::move(recording));
	}
}

void PipeRecorder::stop() {
	if (!m_thread.joinable())
		return;
	m_stop = true;
	// A reader waiting in open() wakes when a writer comes; a writer opening
	// without blocking succeeds only while a reader waits, so try until the
	// reading thread has seen the stop.
	std::atomic<bool> done{false};
	std::thread waker([&] {
		while (!done) {
			const int fd = open(m_path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
			if (fd >= 0)
				close(fd);
			std::this_thread::sleep_for(std::chrono::milliseconds(5));
		}
	});
	m_thread.join();
	done = true;
	waker.join();
}

std::vector<PipeRecorder::Recording> PipeRecorder::recordings() {
	std::lock_guard<std::mutex> lock(m_mutex);
	return m_recordings;
}

std::vector<float> monoFromPcm16(const std::string& bytes, int channels) {
	std::vector<float> mono;
	const size_t frameBytes = size_t(channels) * 2;
	mono.reserve(bytes.size() / frameBytes);
	for (size_t at = 0; at + frameBytes <= bytes.size(); at += frameBytes) {
		float sum = 0.f;
		for (int c = 0; c < channels; ++c) {
			const auto lo = uint8_t(bytes[at + size_t(c) * 2]), hi = uint8_t(bytes[at + size_t(c) * 2 + 1]);
			sum += float(int16_t(uint16_t(lo | hi << 8))) / 32768.f;
		}
		mono.push_back(sum / float(channels));
	}
	return mono;
}

std::vector<float> readSoundFile(const std::string& path, int* rate) {
	SF_INFO info = {};
	SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
	if (!file)
		return {};
	std::vector<float> frames(size_t(info.frames) * size_t(info.channels));
	const sf_count_t got = sf_readf_float(file, frames.data(), info.frames);
	sf_close(file);
	std::vector<float> mono(static_cast<size_t>(got));
	for (size_t i = 0; i < mono.size(); ++i) {
		float sum = 0.f;
		for (int c = 0; c < info.channels; ++c)
			sum += frames[i * size_t(info.channels) + size_t(c)];
		mono[i] = sum / float(info.channels);
	}
	*rate = info.samplerate;
	return mono;
}

std::vector<float> decimate(const std::vector<float>& samples, int factor) {
	std::vector<float> out(samples.size() / size_t(factor));
	for (size_t i = 0; i < out.size(); ++i) {
		float sum = 0.f;
		for (int k = 0; k < factor; ++k)
			sum += samples[i * size_t(factor) + size_t(k)];
		out[i] = sum / float(factor);
	}
	return out;
}

std::vector<ClipMatch> findClip(const std::vector<float>& mix, const std::vector<float>& clip, double minScore) {
	std::vector<ClipMatch> found;
	const size_t n = clip.size();
	if (n == 0 || mix.size() < n)
		return found;
	double clipEnergy = 0.0;
	for (float c : clip)
		clipEnergy += double(c) * c;
	const size_t positions = mix.size() - n + 1;
	std::vector<double> score(positions, 0.0);
	double windowEnergy = 0.0;
	for (size_t k = 0; k < n; ++k)
		windowEnergy += double(mix[k]) * mix[k];
	for (size_t i = 0; i < positions; ++i) {
		if (i > 0)
			windowEnergy += double(mix[i + n - 1]) * mix[i + n - 1] - double(mix[i - 1]) * mix[i - 1];
		float dot = 0.f;
		const float* m = &mix[i];
		for (size_t k = 0; k < n; ++k)
			dot += m[k] * clip[k];
		const double norm = std::sqrt(std::max(windowEnergy, 1e-12) * clipEnergy);
		score[i] = double(dot) / norm;
	}
	// The best position of each stretch above the threshold, stretches at
	// least a clip length apart.
	for (size_t i = 0; i < positions; ++i) {
		if (score[i] < minScore)
			continue;
		if (!found.empty() && i - found.back().at < n) {
			if (score[i] > found.back().score)
				found.back() = {i, score[i]};
			continue;
		}
		found.push_back({i, score[i]});
	}
	return found;
}

} // namespace test
