// The audio engine's costs, each beside a plain baseline in the same run:
// - the mixer at 1, 8, 32 and 128 looping voices against a bare float
//   multiply-add over the same clips (ns per voice-frame; a 1024-frame buffer
//   lasts 23.2 ms);
// - decoding and converting a 3-minute 48 kHz stereo WAV (getClip) against
//   libsndfile's sf_readf_short of the same file alone;
// - decoding and converting a 3-minute 128 kb/s stereo MP3, at 44.1 kHz
//   (copied) and at 48 kHz (resampled), against a plain libmpg123 decode
//   loop of the same file (mpg123_read into one buffer), and against the
//   decode alone (the file handed over from memory);
//   freed memory stays in the heap (main), so each decode writes its clip
//   into pages already mapped: the clip's page faults, a cost of the system
//   (the same for any decoder, and on a virtual machine many times a bare
//   one's), are left out of the comparison; page_faults shows them;
// - the sound index of 10,000 files against a plain opendir/readdir/stat walk;
// - how long playSound waits for the voice lock while another thread mixes
//   32 voices, one buffer every 100 µs (the device's 23.2 ms made short so
//   that the calls often meet a buffer being mixed; 99th percentile and
//   maximum, µs).
#include "audio/Audio.h"
#include "audio/SoundIndex.h"
#include "support/Files.h"
#include "support/Mp3Writer.h"
#include "support/TempDir.h"
#include "support/WavWriter.h"

#include <benchmark/benchmark.h>
#include <dirent.h>
#include <malloc.h>
#include <mpg123.h>
#include <sndfile.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace {

using lumaroll::Audio;

// A device that opens at once and never calls back: the benchmark calls mix itself.
class SilentDevice : public lumaroll::AudioDevice {
public:
	bool start(std::string&) override { return true; }
	SDL_AudioDeviceID open(const SDL_AudioSpec& desired, SDL_AudioSpec& obtained, std::string&) override {
		obtained = desired;
		return 1;
	}
	void close(SDL_AudioDeviceID) override {}
	void pause(SDL_AudioDeviceID, bool) override {}
	void lock(SDL_AudioDeviceID) override {}
	void unlock(SDL_AudioDeviceID) override {}
};

std::unique_ptr<Audio> silentAudio(const std::string& folder) {
	auto audio = std::make_unique<Audio>(std::make_unique<SilentDevice>());
	audio->init(folder);
	return audio;
}

// Eight one-second clips "c0.wav".."c7.wav" at 44.1 kHz stereo, and "storm.wav".
const std::string& clipFolder() {
	static test::TempDir dir;
	static bool written = false;
	if (!written) {
		for (int i = 0; i < 8; ++i)
			test::WavWriter(44100, 2)
				.samples(test::WavWriter::sine(44100, 2, 3000, 50 + i))
				.write(dir / ("c" + std::to_string(i) + ".wav"));
		test::WavWriter(44100, 2).samples(test::WavWriter::sine(4410, 2, 3000, 40)).write(dir / "storm.wav");
		written = true;
	}
	return dir.path();
}

void BM_Mixer(benchmark::State& state) {
	const int voices = int(state.range(0));
	auto audio = silentAudio(clipFolder());
	for (int v = 0; v < voices; ++v)
		audio->playSound("c" + std::to_string(v % 8) + ".wav", true, 0.05f);
	std::vector<int16_t> out(Audio::kBufferFrames * 2);
	for (auto _ : state) {
		audio->mix(out.data(), Audio::kBufferFrames);
		benchmark::DoNotOptimize(out.data());
	}
	state.counters["ns_per_voice_frame"] =
		benchmark::Counter(double(state.iterations()) * voices * Audio::kBufferFrames,
						   benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_Mixer)->Arg(1)->Arg(8)->Arg(32)->Arg(128);

// The same voices summed by the plainest loop: float multiply-add, no lock,
// no gains, no clamp.
void BM_PlainMultiplyAdd(benchmark::State& state) {
	const int voices = int(state.range(0));
	auto audio = silentAudio(clipFolder());
	std::vector<std::shared_ptr<const Audio::Clip>> clips;
	for (int v = 0; v < voices; ++v)
		clips.push_back(audio->getClip("c" + std::to_string(v % 8) + ".wav"));
	std::vector<float> sum(Audio::kBufferFrames * 2);
	size_t position = 0;
	for (auto _ : state) {
		std::fill(sum.begin(), sum.end(), 0.f);
		for (const auto& clip : clips) {
			const int16_t* s = clip->samples.data() + position * 2;
			for (size_t n = 0; n < sum.size(); ++n)
				sum[n] += float(s[n]) * 0.05f;
		}
		position = (position + Audio::kBufferFrames) % (44100 - Audio::kBufferFrames);
		benchmark::DoNotOptimize(sum.data());
	}
	state.counters["ns_per_voice_frame"] =
		benchmark::Counter(double(state.iterations()) * voices * Audio::kBufferFrames,
						   benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PlainMultiplyAdd)->Arg(1)->Arg(8)->Arg(32)->Arg(128);

// Three minutes of stereo: "long.wav" at 48 kHz, "long44.mp3" and
// "long48.mp3" at 128 kb/s (lame, constant bit rate, with its Info frame).
std::vector<double> longTone(int rate) {
	const int frames = rate * 180;
	std::vector<double> s(size_t(frames) * 2);
	for (int k = 0; k < frames; ++k) {
		s[2 * size_t(k)] = std::round(9830 * std::sin(float(k) * 0.031f * 48000 / rate));
		s[2 * size_t(k) + 1] = std::round(9830 * std::sin(float(k) * 0.017f * 48000 / rate));
	}
	return s;
}

const std::string& longFolder() {
	static test::TempDir dir;
	static bool written = false;
	if (!written) {
		test::WavWriter(48000, 2).samples(longTone(48000)).write(dir / "long.wav");
		for (int rate : {44100, 48000}) {
			std::string error;
			const std::string mp3 = test::encodeMp3(rate, 2, longTone(rate), {"-b", "128"}, &error);
			if (mp3.empty()) {
				std::fprintf(stderr, "bench_audio: %s\n", error.c_str());
				std::exit(1);
			}
			test::writeFile(dir / ("long" + std::to_string(rate / 1000) + ".mp3"), mp3);
		}
		written = true;
	}
	return dir.path();
}

long minorFaults() {
	rusage usage{};
	getrusage(RUSAGE_SELF, &usage);
	return usage.ru_minflt;
}

void BM_GetClip(benchmark::State& state, const char* name) {
	const std::string& folder = longFolder();
	// One decode first maps the heap the timed ones reuse.
	silentAudio(folder)->getClip(name);
	const long faults = minorFaults();
	for (auto _ : state) {
		auto audio = silentAudio(folder);
		benchmark::DoNotOptimize(audio->getClip(name).get());
	}
	state.counters["page_faults"] =
		benchmark::Counter(double(minorFaults() - faults), benchmark::Counter::kAvgIterations);
}
BENCHMARK_CAPTURE(BM_GetClip, wav, "long.wav")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GetClip, mp3_44100, "long44.mp3")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_GetClip, mp3_48000, "long48.mp3")->Unit(benchmark::kMillisecond);

void BM_ReadShortAlone(benchmark::State& state, const char* name) {
	const std::string path = longFolder() + "/" + name;
	std::vector<int16_t> buffer;
	for (auto _ : state) {
		SF_INFO info{};
		SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
		buffer.resize(size_t(info.frames + 4096) * size_t(info.channels));
		benchmark::DoNotOptimize(sf_readf_short(f, buffer.data(), info.frames + 4096));
		sf_close(f);
	}
}
BENCHMARK_CAPTURE(BM_ReadShortAlone, wav, "long.wav")->Unit(benchmark::kMillisecond);

// The plainest use of libmpg123: its default output format, one buffer
// read into again and again, nothing kept.
// Decodes what h holds through buffer until the stream ends; the bytes decoded.
size_t readToTheEnd(mpg123_handle* h, std::vector<unsigned char>& buffer) {
	size_t total = 0;
	for (;;) {
		size_t done = 0;
		const int result = mpg123_read(h, buffer.data(), buffer.size(), &done);
		total += done;
		if (result != MPG123_OK && result != MPG123_NEW_FORMAT)
			return total;
	}
}

void BM_Mpg123Alone(benchmark::State& state, const char* name) {
	const std::string path = longFolder() + "/" + name;
	std::vector<unsigned char> buffer(65536);
	for (auto _ : state) {
		mpg123_handle* h = mpg123_new(nullptr, nullptr);
		mpg123_param(h, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
		mpg123_open(h, path.c_str());
		benchmark::DoNotOptimize(readToTheEnd(h, buffer));
		mpg123_close(h);
		mpg123_delete(h);
	}
}
BENCHMARK_CAPTURE(BM_Mpg123Alone, mp3_44100, "long44.mp3")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Mpg123Alone, mp3_48000, "long48.mp3")->Unit(benchmark::kMillisecond);

// The decode alone, without the file's reading: the whole file handed to
// libmpg123's feeder from memory.
void BM_Mpg123FromMemory(benchmark::State& state, const char* name) {
	const std::string bytes = test::readFile(longFolder() + "/" + name);
	std::vector<unsigned char> buffer(65536);
	for (auto _ : state) {
		mpg123_handle* h = mpg123_new(nullptr, nullptr);
		mpg123_param(h, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
		mpg123_open_feed(h);
		mpg123_feed(h, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
		benchmark::DoNotOptimize(readToTheEnd(h, buffer));
		mpg123_delete(h);
	}
}
BENCHMARK_CAPTURE(BM_Mpg123FromMemory, mp3_44100, "long44.mp3")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Mpg123FromMemory, mp3_48000, "long48.mp3")->Unit(benchmark::kMillisecond);

// 10,000 files: 100 folders of 100, every fourth a sound, in two levels.
const std::string& indexTree() {
	static test::TempDir dir;
	static bool written = false;
	if (!written) {
		for (int f = 0; f < 100; ++f) {
			const std::string folder = dir / ("g" + std::to_string(f % 10) + "/f" + std::to_string(f));
			for (int i = 0; i < 100; ++i)
				test::writeFile(folder + "/File" + std::to_string(i) + (i % 4 ? ".dat" : ".WAV"), "");
		}
		written = true;
	}
	return dir.path();
}

void BM_SoundIndex(benchmark::State& state) {
	const std::string& root = indexTree();
	for (auto _ : state) {
		lumaroll::SoundIndex index;
		lumaroll::indexDirectory(root, index);
		benchmark::DoNotOptimize(index.size());
	}
}
BENCHMARK(BM_SoundIndex)->Unit(benchmark::kMillisecond);

int plainWalk(const std::string& folder) {
	int files = 0;
	DIR* d = opendir(folder.c_str());
	if (!d)
		return 0;
	while (const dirent* e = readdir(d)) {
		if (e->d_name[0] == '.' && (e->d_name[1] == 0 || (e->d_name[1] == '.' && e->d_name[2] == 0)))
			continue;
		const std::string path = folder + "/" + e->d_name;
		struct stat info;
		if (stat(path.c_str(), &info) != 0)
			continue;
		files += S_ISDIR(info.st_mode) ? plainWalk(path) : 1;
	}
	closedir(d);
	return files;
}

void BM_PlainWalk(benchmark::State& state) {
	const std::string& root = indexTree();
	for (auto _ : state)
		benchmark::DoNotOptimize(plainWalk(root));
}
BENCHMARK(BM_PlainWalk)->Unit(benchmark::kMillisecond);

// playSound calls against a thread that mixes 32 voices back to back.
void BM_PlaySoundLockWait(benchmark::State& state) {
	auto audio = silentAudio(clipFolder());
	for (int v = 0; v < 32; ++v)
		audio->playSound("c" + std::to_string(v % 8) + ".wav", true, 0.05f);
	std::atomic<bool> stop{false};
	std::thread mixer([&] {
		std::vector<int16_t> out(Audio::kBufferFrames * 2);
		while (!stop.load()) {
			audio->mix(out.data(), Audio::kBufferFrames);
			std::this_thread::sleep_for(std::chrono::microseconds(100));
		}
	});
	std::vector<double> waits;
	for (auto _ : state) {
		const auto t0 = std::chrono::steady_clock::now();
		const int id = audio->playSound("storm.wav", false, 0.01f);
		const auto t1 = std::chrono::steady_clock::now();
		waits.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
		audio->setVolume(id, 0.f);
		audio->stopSound("storm.wav");
	}
	stop = true;
	mixer.join();
	std::sort(waits.begin(), waits.end());
	state.counters["p99_us"] = waits[size_t(double(waits.size() - 1) * 0.99)];
	state.counters["max_us"] = waits.back();
}
BENCHMARK(BM_PlaySoundLockWait)->Iterations(20000);

} // namespace

int main(int argc, char** argv) {
	// Large blocks come from the heap and go back to it, never to the system.
	mallopt(M_MMAP_THRESHOLD, 1 << 30);
	mallopt(M_TRIM_THRESHOLD, 1 << 30);
	benchmark::Initialize(&argc, argv);
	benchmark::RunSpecifiedBenchmarks();
	benchmark::Shutdown();
	return 0;
}
