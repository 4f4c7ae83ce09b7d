// The level's music and ambient emitters read from scene properties, their
// distance gains, and the copy of the audio settings into the engine.
#include "AudioFixture.h"

#include "audio/AmbientSounds.h"
#include "store/Settings.h"

#include <hgr/Dummy.h>
#include <hgr/Scene.h>
#include <hgr/UserPropertySet.h>

using namespace audiotest;
using lumaroll::AmbientSounds;

namespace {

class AmbientTest : public AudioTest {
protected:
	void SetUp() override { newScene(); }

	void newScene() {
		scene = new hgr::Scene;
		scene->setName("level");
		properties = new hgr::UserPropertySet;
		scene->setUserProperties(properties);
	}

	// A dummy node at (x, 0, 0) with the given property text.
	hgr::Node* node(const std::string& name, float x, const std::string& text) {
		hgr::Dummy* d = new hgr::Dummy;
		d->setName(name.c_str());
		d->setPosition(math::Vector3(x, 0.f, 0.f));
		d->linkTo(scene);
		properties->put(name.c_str(), text.c_str());
		return d;
	}

	// The gain the mixer uses for the voice with that id (NaN when absent).
	float volumeOf(Audio& audio, int id) {
		for (const Audio::Voice& v : audio.voices())
			if (v.id == id)
				return v.volume;
		return std::nanf("");
	}

	lang::Ptr<hgr::Scene> scene;
	lang::Ptr<hgr::UserPropertySet> properties;
};

TEST_F(AmbientTest, EmittersTakeTheirRadiiAndVolumeFromTheirLines) {
	stereo("wind.wav", constant(100, 1, 1));
	stereo("Sfx/Birds.WAV", constant(100, 1, 1));
	struct Case {
		const char* name;
		const char* text;
		float inner, outer, volume;
	};
	// Lines past the engine's 2,000-byte string copies still count.
	std::string longText;
	while (longText.size() < 2100)
		longText += "note=a line the emitter does not read\n";
	longText += "sound=wind.wav\ninradius=200";
	const Case cases[] = {
		{"S_default", "sound=wind.wav", 300, 1500, 1},
		{"S_outer_not_above_inner", "sound=wind.wav\ninradius=500\noutradius=400", 500, 501, 1},
		{"S_percent", "volume=80\nsound=wind.wav", 300, 1500, 0.8f},
		{"S_one_and_a_half_stays", "volume=1.5\nsound=wind.wav", 300, 1500, 1.5f},
		{"S_any_key_any_case", "file=Sfx/Birds.WAV \r\ninradius=100\r", 100, 1500, 1},
		{"S_not_finite_keeps_defaults", "sound=wind.wav\ninradius=nan\noutradius=inf\nvolume=nan", 300, 1500, 1},
		{"S_unreadable_number_is_zero", "sound=wind.wav\ninradius=abc", 0, 1500, 1},
		{"S_long_text", longText.c_str(), 200, 1500, 1},
	};
	for (const Case& c : cases)
		node(c.name, 0.f, c.text);
	node("S_no_sound_file", 0.f, "sound=wind.ogg\ninradius=5");
	node("O_not_an_emitter", 0.f, "sound=wind.wav");
	auto audio = start();
	AmbientSounds ambient;
	Captured out;
	ambient.setup(scene, audio.get());
	out.finish();
	EXPECT_EQ(out.out(), "audio: 8 ambient sounds\n");
	ASSERT_EQ(ambient.emitters().size(), std::size(cases));
	for (const Case& c : cases) {
		const AmbientSounds::Emitter* e = nullptr;
		for (const auto& candidate : ambient.emitters())
			if (std::string(candidate.node->getName().c_str()) == c.name)
				e = &candidate;
		ASSERT_NE(e, nullptr) << c.name;
		EXPECT_EQ(e->innerRadius, c.inner) << c.name;
		EXPECT_EQ(e->outerRadius, c.outer) << c.name;
		EXPECT_FLOAT_EQ(e->volume, c.volume) << c.name;
		EXPECT_GT(e->voiceId, 0) << c.name;
		EXPECT_EQ(volumeOf(*audio, e->voiceId), 0.f) << c.name << ": silent until the first update";
	}
}

TEST_F(AmbientTest, GainFollowsTheListenerDistance) {
	stereo("wind.wav", constant(100, 1, 1));
	node("S_a", 0.f, "s=wind.wav\nvolume=0.8");
	hgr::Node* gone = node("S_gone", 0.f, "s=wind.wav");
	auto audio = start();
	AmbientSounds ambient;
	Captured quiet;
	ambient.setup(scene, audio.get());
	quiet.finish();
	ASSERT_EQ(ambient.emitters().size(), 2u);
	int a = -1, g = -1;
	for (const auto& e : ambient.emitters())
		(e.node == gone ? g : a) = e.voiceId;
	gone->unlink();
	struct Case {
		const char* name;
		float x;
		float gain;
	};
	const Case cases[] = {
		{"within the inner radius", 300.f, 0.8f},
		{"halfway between the radii", 900.f, 0.4f},
		{"beyond the outer radius", 1500.f, 0.f},
		{"on the far side", -900.f, 0.4f},
	};
	for (const Case& c : cases) {
		ambient.update(scene, audio.get(), math::Vector3(c.x, 0.f, 0.f));
		EXPECT_FLOAT_EQ(volumeOf(*audio, a), c.gain) << c.name;
		EXPECT_EQ(volumeOf(*audio, g), 0.f) << c.name << ": an unlinked emitter is silent";
	}
}

TEST_F(AmbientTest, MusicLineStartsTheLevelMusic) {
	stereo("tone.wav", constant(100, 1, 1));
	stereo("other.wav", constant(100, 1, 1));
	struct Case {
		const char* name;
		const char* text;
		const char* music; // the music voice's clip, "" for none
		const char* line;
	};
	const Case cases[] = {
		{"trailing spaces and carriage return", "a=1\nmusic=tone.wav  \r\nb=2", "tone.wav", "audio: music tone.wav\n"},
		{"first line", "music=Tone.WAV", "tone.wav", "audio: music Tone.WAV\n"},
		{"inside a line it hides a later line", "xmusic=other.wav\nmusic=tone.wav", "", ""},
		{"missing file: no music and no line", "music=absent.wav", "", ""},
		{"empty value", "music= \r", "", ""},
	};
	for (const Case& c : cases) {
		newScene();
		node("D_level", 0.f, c.text);
		auto audio = start();
		AmbientSounds ambient;
		Captured out;
		ambient.setup(scene, audio.get());
		out.finish();
		EXPECT_EQ(out.out(), std::string(c.line) + "audio: 0 ambient sounds\n") << c.name;
		const std::vector<Audio::Voice> v = audio->voices();
		if (*c.music) {
			ASSERT_EQ(v.size(), 1u) << c.name;
			EXPECT_TRUE(v[0].music) << c.name;
			EXPECT_EQ(v[0].name, c.music) << c.name;
			EXPECT_FLOAT_EQ(v[0].volume, 0.7f) << c.name;
			EXPECT_TRUE(v[0].loop) << c.name;
		} else {
			EXPECT_TRUE(v.empty()) << c.name;
		}
	}
}

TEST_F(AmbientTest, WithoutADeviceNothingStarts) {
	stereo("tone.wav", constant(100, 1, 1));
	node("D_level", 0.f, "music=tone.wav");
	node("S_wind", 0.f, "s=tone.wav");
	ScopedAudioDriver disk("disk", dir / "missing/out.raw");
	auto audio = start();
	ASSERT_FALSE(started);
	AmbientSounds ambient;
	Captured out;
	ambient.setup(scene, audio.get());
	ambient.update(scene, audio.get(), math::Vector3(0.f, 0.f, 0.f));
	out.finish();
	EXPECT_EQ(out.out(), "");
	EXPECT_EQ(out.err(), "");
	EXPECT_TRUE(ambient.emitters().empty());
}

TEST_F(AudioTest, SettingsAreCopiedClampedAndMutesOnlyByOne) {
	struct Case {
		const char* name;
		const char* value; // of every volume
		const char* mute;  // of every mute
		float volume;
		bool muted;
	};
	const Case cases[] = {
		{"in range", "0.25", "1", 0.25f, true},	 {"above 1", "2", "0", 1.f, false},
		{"below 0", "-1", "true", 0.f, false},	 {"no number", "abc", "yes", 0.f, false},
		{"not a number: the default", "nan", "1", 1.f, true},
		{"infinity: the default", "-inf", "0", 1.f, false},
	};
	lumaroll::Settings& settings = lumaroll::Settings::instance();
	auto audio = start();
	for (const Case& c : cases) {
		for (const char* group : {"audio.", "audio.music_", "audio.sounds_"}) {
			settings.setString(std::string(group) + "volume", c.value);
			settings.setString(std::string(group) + "mute", c.mute);
		}
		audio->masterMute = !c.muted;
		audio->applySettings(lumaroll::readAudioSettings(settings), false);
		EXPECT_EQ(audio->masterMute, !c.muted) << c.name << ": the master mute is not copied";
		audio->applySettings(lumaroll::readAudioSettings(settings), true);
		for (const std::atomic<float>* v : {&audio->masterVolume, &audio->musicVolume, &audio->soundsVolume})
			EXPECT_EQ(v->load(), c.volume) << c.name;
		for (const std::atomic<bool>* m : {&audio->masterMute, &audio->musicMute, &audio->soundsMute})
			EXPECT_EQ(m->load(), c.muted) << c.name;
	}
	for (const char* group : {"audio.", "audio.music_", "audio.sounds_"}) {
		settings.setString(std::string(group) + "volume", "1");
		settings.setString(std::string(group) + "mute", "0");
	}
}

} // namespace
