// The engine on running SDL devices: opening, failing to open, mixing in
// SDL's audio thread into the disk driver's file, and closing.
#include "AudioFixture.h"

#include <atomic>
#include <chrono>
#include <thread>

using namespace audiotest;

namespace {

TEST_F(AudioTest, DummyDeviceOpensAndCountsDistinctNames) {
	stereo("a.wav", constant(10, 1, 1));
	stereo("sub/A.WAV", constant(10, 1, 1));
	stereo("b.mp3", constant(10, 1, 1));
	test::writeFile(data() + "/notes.txt", "x");
	auto audio = start();
	EXPECT_TRUE(started);
	EXPECT_TRUE(audio->hasDevice());
	EXPECT_EQ(startOut, "audio: 2 sound and music files indexed\n");
	EXPECT_EQ(startErr, "");
}

TEST_F(AudioTest, WithoutADeviceTheGameRunsSilent) {
	stereo("a.wav", constant(100, 1000, 1000));
	const std::string file = dir / "missing/out.raw";
	ScopedAudioDriver disk("disk", file);
	ASSERT_TRUE(disk.ok()) << SDL_GetError();
	auto audio = start();
	EXPECT_FALSE(started);
	EXPECT_NE(startErr.find("audio: no device (Couldn't open " + file + "); the game continues without sound\n"),
			  std::string::npos)
		<< startErr;
	EXPECT_EQ(startOut, "");

	Captured c;
	const int known = audio->playSound("a.wav", false, 1.f);
	const int unknown = audio->playSound("nowhere.wav", true, 1.f);
	const bool music = audio->playMusic("a.wav", 0.7f);
	c.finish();
	EXPECT_EQ(known, -1);
	EXPECT_EQ(unknown, -1);
	EXPECT_FALSE(music);
	EXPECT_EQ(c.err(), "") << "nothing is looked up or decoded";
	EXPECT_EQ(audio->cachedClips(), 0u);
	EXPECT_TRUE(audio->voices().empty());
}

// SDL's device, recording what the engine still holds when it closes it.
class WatchedDevice : public lumaroll::AudioDevice {
public:
	explicit WatchedDevice(std::function<void()> onClose)
		: m_sdl(lumaroll::makeSdlAudioDevice()), m_onClose(std::move(onClose)) {}
	bool start(std::string& e) override { return m_sdl->start(e); }
	SDL_AudioDeviceID open(const SDL_AudioSpec& d, SDL_AudioSpec& o, std::string& e) override {
		return m_sdl->open(d, o, e);
	}
	void close(SDL_AudioDeviceID id) override {
		m_onClose();
		m_sdl->close(id);
	}
	void pause(SDL_AudioDeviceID id, bool p) override { m_sdl->pause(id, p); }
	void lock(SDL_AudioDeviceID id) override { m_sdl->lock(id); }
	void unlock(SDL_AudioDeviceID id) override { m_sdl->unlock(id); }

private:
	std::unique_ptr<lumaroll::AudioDevice> m_sdl;
	std::function<void()> m_onClose;
};

TEST_F(AudioTest, DestructionClosesTheDeviceBeforeTheVoicesGo) {
	stereo("loop.wav", WavWriter::sine(300, 2, 20000, 50));
	for (int round = 0; round < 20; ++round) {
		Audio* engine = nullptr;
		size_t voicesAtClose = 0;
		auto audio = start(std::make_unique<WatchedDevice>([&] { voicesAtClose = engine->voices().size(); }));
		engine = audio.get();
		ASSERT_TRUE(started);
		audio->playSound("loop.wav", true, 1.f);
		audio->playMusic("loop.wav", 0.7f);
		std::this_thread::sleep_for(std::chrono::milliseconds(round % 4));
		audio.reset();
		EXPECT_EQ(voicesAtClose, 2u);
	}
}

TEST_F(AudioTest, StormOfCallsWhileTheDeviceMixes) {
	stereo("short.wav", WavWriter::sine(64, 2, 10000, 16));
	stereo("loop.wav", WavWriter::sine(700, 2, 10000, 70));
	stereo("music.wav", WavWriter::sine(900, 2, 10000, 90));
	auto audio = start();
	ASSERT_TRUE(started);
	int lastId = 0;
	for (int i = 0; i < 10000; ++i) {
		switch (i % 5) {
		case 0: {
			const int id = audio->playSound(i % 10 ? "short.wav" : "loop.wav", i % 10 == 0, 0.1f);
			ASSERT_GT(id, lastId);
			lastId = id;
			break;
		}
		case 1:
			audio->setVolume(lastId, 0.05f);
			break;
		case 2:
			audio->stopSound(i % 3 ? "loop.wav" : "short.wav");
			break;
		case 3:
			audio->playMusic("music.wav", 0.2f);
			++lastId;
			break;
		default:
			audio->backgroundMute = (i % 7 == 0);
			break;
		}
	}
	size_t music = 0;
	for (const Audio::Voice& v : audio->voices())
		music += v.music ? 1 : 0;
	EXPECT_EQ(music, 1u);
}

TEST_F(AudioTest, RunningDeviceWritesTheClampedSumOfItsVoices) {
	// Two loops of different lengths whose sum passes full scale in places.
	const std::vector<double> a = WavWriter::sine(1000, 2, 25000, 100);
	const std::vector<double> b = WavWriter::sine(1500, 2, 20000, 75);
	stereo("a.wav", a);
	stereo("b.wav", b);
	const std::string file = dir / "mix.raw";
	{
		ScopedAudioDriver disk("disk", file);
		ASSERT_TRUE(disk.ok()) << SDL_GetError();
		auto audio = start();
		ASSERT_TRUE(started) << startErr;
		// Both start in the same buffer: paused, the device writes silence.
		audio->pauseDevice(true);
		audio->playSound("a.wav", true, 1.f);
		audio->playSound("b.wav", true, 1.f);
		audio->pauseDevice(false);
		// Wait for a few buffers past both loops' seams (at most 10 s).
		for (int i = 0; i < 1000; ++i) {
			const test::DiskAudio out = test::DiskAudio::read(file);
			if (out.firstNonZeroFrame() + 8192 < out.frames())
				break;
			std::this_thread::sleep_for(std::chrono::milliseconds(10));
		}
	}
	const test::DiskAudio out = test::DiskAudio::read(file);
	const size_t first = out.firstNonZeroFrame();
	ASSERT_GE(out.frames(), first + 8192);
	EXPECT_EQ(first % 1024, 0u) << "voices start at a buffer";
	size_t clamped = 0;
	for (size_t m = 0; first + m < out.frames(); ++m) {
		for (int c = 0; c < 2; ++c) {
			const double sum = a[(m % 1000) * 2 + size_t(c)] + b[(m % 1500) * 2 + size_t(c)];
			const int16_t expected = int16_t(std::max(-32768.0, std::min(32767.0, sum)));
			clamped += (sum > 32767 || sum < -32768) ? 1 : 0;
			ASSERT_EQ(c ? out.right(first + m) : out.left(first + m), expected) << "frame " << m << " channel " << c;
		}
	}
	EXPECT_GT(clamped, 0u);
}

} // namespace
