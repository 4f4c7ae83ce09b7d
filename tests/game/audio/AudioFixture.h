#ifndef TESTS_GAME_AUDIO_AUDIOFIXTURE_H
#define TESTS_GAME_AUDIO_AUDIOFIXTURE_H

// An audio engine on a real SDL device (the dummy driver of the tests'
// environment, or the disk driver writing the mix to a file) over a data
// folder of writer-made sound files in a temporary directory.

#include "files/Paths.h"
#include "audio/Audio.h"
#include "support/Files.h"
#include "support/TempDir.h"
#include "support/WavWriter.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <utility>

namespace audiotest {

using lumaroll::Audio;
using test::WavWriter;

// Standard output and standard error of a stretch of code.
class Captured {
public:
	Captured() {
		testing::internal::CaptureStdout();
		testing::internal::CaptureStderr();
	}
	~Captured() { finish(); }
	// Ends the capture (once) and keeps what was written.
	Captured& finish() {
		if (!m_done) {
			m_out = testing::internal::GetCapturedStdout();
			m_err = testing::internal::GetCapturedStderr();
			m_done = true;
		}
		return *this;
	}
	const std::string& out() { return finish().m_out; }
	const std::string& err() { return finish().m_err; }

private:
	bool m_done = false;
	std::string m_out, m_err;
};

// Switches SDL's audio driver (the disk driver writing to file, or any other
// name) until destroyed, then goes back to the environment's driver.
class ScopedAudioDriver {
public:
	ScopedAudioDriver(const char* driver, const std::string& file = std::string()) {
		if (!file.empty())
			setenv("SDL_DISKAUDIOFILE", file.c_str(), 1);
		SDL_InitSubSystem(SDL_INIT_AUDIO);
		m_ok = SDL_AudioInit(driver) == 0;
	}
	~ScopedAudioDriver() {
		SDL_AudioInit(nullptr);
		unsetenv("SDL_DISKAUDIOFILE");
	}
	bool ok() const { return m_ok; }

private:
	bool m_ok = false;
};

// Frames of one value on each side.
inline std::vector<double> constant(int frames, double left, double right) {
	std::vector<double> v;
	for (int k = 0; k < frames; ++k) {
		v.push_back(left);
		v.push_back(right);
	}
	return v;
}

class AudioTest : public testing::Test {
protected:
	std::string data() const { return dir / "data"; }

	// Writes a WAV file at data/relPath (folders made); returns its path.
	std::string wav(const std::string& relPath, const WavWriter& w) const {
		const std::string path = data() + "/" + relPath;
		lumaroll::makeDirs(lumaroll::dirName(path));
		EXPECT_TRUE(w.write(path)) << path;
		return path;
	}
	// A 44.1 kHz stereo 16-bit file of the given interleaved samples.
	std::string stereo(const std::string& relPath, const std::vector<double>& samples) const {
		return wav(relPath, WavWriter(44100, 2).samples(samples));
	}

	// An engine initialised on the data folder; its start-up lines are kept in startOut and startErr.
	std::unique_ptr<Audio> start(std::unique_ptr<lumaroll::AudioDevice> device = nullptr) {
		lumaroll::makeDirs(data());
		auto audio = std::make_unique<Audio>(std::move(device));
		Captured c;
		started = audio->init(data());
		startOut = c.out();
		startErr = c.err();
		return audio;
	}

	// The decoded samples of name, empty when it has none.
	std::vector<int16_t> decode(Audio& audio, const std::string& name) {
		const auto clip = audio.getClip(name);
		return clip ? clip->samples : std::vector<int16_t>();
	}

	test::TempDir dir;
	bool started = false;
	std::string startOut, startErr;
};

} // namespace audiotest

#endif
