#include "support/GamePackage.h"

#include "support/DebWriter.h"
#include "support/EffectTreeWriter.h"
#include "support/Files.h"
#include "support/GamePackageScenes.h"
#include "support/MenuDataWriter.h"
#include "support/ParticleDescriptionWriter.h"
#include "support/TempDir.h"
#include "support/TextureFileWriter.h"
#include "support/WavWriter.h"

#include <sndfile.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace test {

namespace {

const double kPi = 3.14159265358979;

// Collects the first failure of a run of writes.
class Writes {
public:
	explicit Writes(std::string* error) : m_error(error) {}

	bool ok() const { return m_ok; }

	// Records a failure to write path unless written.
	void check(bool written, const std::string& path) {
		if (!written && m_ok) {
			m_ok = false;
			if (m_error)
				*m_error = "could not write " + path;
		}
	}

	// Makes the folder and its parents.
	void folder(const std::string& path) { check(makeDirs(path), path); }

	void text(const std::string& path, const std::string& content) { check(writeFile(path, content), path); }

private:
	std::string* m_error;
	bool m_ok = true;
};

// An effect file of one pass per technique over the two stage files.
std::string effectText(const std::vector<std::string>& techniques, const std::string& vertexStage,
					   const std::string& fragmentStage, const std::string& states) {
	std::string text;
	for (const std::string& technique : techniques) {
		text += "technique " + technique + "\n{\n\tpass P0\n\t{\n";
		text += "\t\tVertexShader = " + vertexStage + ";\n\t\tPixelShader = " + fragmentStage + ";\n";
		text += states + "\t}\n}\n";
	}
	return text;
}

const char* const kNoCulling = "\t\tenableculling = false;\n";
const char* const kBlended =
	"\t\tenableculling = false;\n\t\tenableblending = true;\n\t\tblendfuncsrc = SRC_ALPHA;\n"
	"\t\tblendfuncdst = ONE_MINUS_SRC_ALPHA;\n\t\tenabledepthmask = false;\n";

// The collision meshes: a flat colour per face, lighter where the face is
// level, checkered every 200 units so that motion shows. The face's normal
// comes from the world position's change between pixels, which a medium
// precision position loses thousands of units from the origin (the normal
// then is no number and the face turns black): the position is highp.
const char* const kUnlitVertex =
	"attribute highp vec3 DT_POSITION;\n"
	"uniform highp mat4 TOTALTM;\n"
	"uniform highp mat4 WORLDTM;\n"
	"varying highp vec3 V_World;\n"
	"void main() {\n"
	"  gl_Position = TOTALTM * vec4(DT_POSITION, 1.0);\n"
	"  V_World = (WORLDTM * vec4(DT_POSITION, 1.0)).xyz;\n"
	"}\n";
const char* const kUnlitFragment =
	"#extension GL_OES_standard_derivatives : enable\n"
	"varying highp vec3 V_World;\n"
	"void main() {\n"
	"  vec3 n = normalize(cross(dFdx(V_World), dFdy(V_World)));\n"
	"  float checker = mod(floor(V_World.x / 200.0) + floor(V_World.z / 200.0), 2.0);\n"
	"  vec3 base = mix(vec3(0.55, 0.78, 0.42), vec3(0.47, 0.68, 0.36), checker);\n"
	"  gl_FragColor = vec4(base * (0.5 + 0.5 * abs(n.y)), 1.0);\n"
	"}\n";

// Water: the reflection at the fragment's place on the screen, shifted by the normal map.
const char* const kWaterVertex =
	"attribute highp vec3 DT_POSITION;\n"
	"attribute mediump vec2 DT_TEX0;\n"
	"uniform highp mat4 TOTALTM;\n"
	"varying mediump vec2 V_TexCoord0;\n"
	"varying highp vec4 V_Clip;\n"
	"void main() {\n"
	"  gl_Position = TOTALTM * vec4(DT_POSITION, 1.0);\n"
	"  V_Clip = gl_Position;\n"
	"  V_TexCoord0 = DT_TEX0;\n"
	"}\n";
const char* const kWaterFragment =
	"uniform lowp sampler2D REFLMAP;\n"
	"uniform lowp sampler2D NORMALMAP;\n"
	"varying mediump vec2 V_TexCoord0;\n"
	"varying highp vec4 V_Clip;\n"
	"void main() {\n"
	"  vec2 n = texture2D(NORMALMAP, V_TexCoord0).xy - 0.5;\n"
	"  vec2 s = V_Clip.xy / V_Clip.w * 0.5 + 0.5;\n"
	"  vec3 reflection = texture2D(REFLMAP, s + n * 0.04).rgb;\n"
	"  gl_FragColor = vec4(mix(vec3(0.1, 0.3, 0.6), reflection, 0.45), 1.0);\n"
	"}\n";

void writeShaders(Writes& out, const std::string& dir) {
	out.folder(dir);
	out.text(dir + "textured.vsh", EffectTreeWriter::TEXTURED_VERTEX);
	out.text(dir + "textured.fsh", EffectTreeWriter::TEXTURED_FRAGMENT);
	out.text(dir + "unlit.vsh", kUnlitVertex);
	out.text(dir + "unlit.fsh", kUnlitFragment);
	out.text(dir + "water.vsh", kWaterVertex);
	out.text(dir + "water.fsh", kWaterFragment);
	out.text(dir + "particle.vsh", EffectTreeWriter::PARTICLE_VERTEX);
	out.text(dir + "particle.fsh", EffectTreeWriter::PARTICLE_FRAGMENT);
	out.text(dir + "lines.vsh", EffectTreeWriter::VERTEX_COLOR_VERTEX);
	out.text(dir + "lines.fsh", EffectTreeWriter::VERTEX_COLOR_FRAGMENT);
	// What shows in the water's reflection has a "Reflected" technique too.
	out.text(dir + "flat.fx", effectText({"Default", "Reflected"}, "textured.vsh", "textured.fsh", kNoCulling));
	out.text(dir + "unlit.fx", effectText({"Default", "Reflected"}, "unlit.vsh", "unlit.fsh", kNoCulling));
	out.text(dir + "water.fx", effectText({"Default"}, "water.vsh", "water.fsh", kNoCulling));
	out.text(dir + "shadow.fx", effectText({"Default"}, "textured.vsh", "textured.fsh", kBlended));
	out.text(dir + "particle.fx", effectText({"Default"}, "particle.vsh", "particle.fsh", kBlended));
	out.text(dir + "lines-alpha.fx", effectText({"Default"}, "lines.vsh", "lines.fsh", kNoCulling));
}

// A size x size image whose pixels colour(x, y) gives as RGBA.
TextureImage image(int size, const std::function<std::array<uint8_t, 4>(int, int)>& colour) {
	TextureImage out = TextureImage::solid(size, size, 0, 0, 0, 0);
	for (int y = 0; y < size; ++y)
		for (int x = 0; x < size; ++x) {
			const std::array<uint8_t, 4> c = colour(x, y);
			for (int i = 0; i < 4; ++i)
				out.rgba[(size_t(y) * size_t(size) + size_t(x)) * 4 + size_t(i)] = c[size_t(i)];
		}
	return out;
}

// Alpha of a soft round spot filling a size x size image.
uint8_t spot(int x, int y, int size) {
	const double h = (size - 1) / 2.0;
	const double d = std::sqrt((x - h) * (x - h) + (y - h) * (y - h)) / h;
	return uint8_t(d >= 1.0 ? 0 : 255.0 * (1.0 - d * d));
}

void writeTextures(Writes& out, const std::string& dir) {
	out.folder(dir);
	const auto pvr = [&](const std::string& name, const TextureImage& picture) {
		out.check(writePvr(dir + name, {picture}, 0), dir + name);
	};
	pvr("sky.pvr", image(16, [](int, int y) {
			return std::array<uint8_t, 4>{uint8_t(110 + 6 * y), uint8_t(160 + 5 * y), 235, 255};
		}));
	pvr("ball.pvr", image(16, [](int x, int) {
			return x / 4 % 2 ? std::array<uint8_t, 4>{255, 140, 20, 255} : std::array<uint8_t, 4>{255, 210, 40, 255};
		}));
	pvr("coin.pvr", image(8, [](int, int) { return std::array<uint8_t, 4>{250, 200, 30, 255}; }));
	pvr("post.pvr", image(8, [](int, int) { return std::array<uint8_t, 4>{120, 80, 40, 255}; }));
	pvr("shadow.pvr", image(32, [](int x, int y) {
			return std::array<uint8_t, 4>{0, 0, 0, uint8_t(spot(x, y, 32) / 2)};
		}));
	pvr("spark.pvr", image(16, [](int x, int y) { return std::array<uint8_t, 4>{255, 255, 255, spot(x, y, 16)}; }));
	// Eight normal-map frames: ripples that move on from frame to frame.
	for (int frame = 1; frame <= 8; ++frame) {
		char name[32];
		std::snprintf(name, sizeof(name), "water%02d.pvr", frame % 100);
		pvr(name, image(16, [frame](int x, int y) {
				const double a = 2 * kPi * (x + y + 2 * frame) / 16.0;
				return std::array<uint8_t, 4>{uint8_t(128 + 60 * std::sin(a)), uint8_t(128 + 60 * std::cos(a)), 255,
											  255};
			}));
	}
}

// Sparks rising from their emitter for a second and a half.
void sparks(ParticleDescriptionWriter& d) {
	d.set("systemMaxEmissions", "1")
		.set("emissionMaxParticles", "24")
		.set("emissionRate", "CONSTANT 12")
		.set("particleLifeTime", "CONSTANT 1.5")
		.set("particleStartVelocity", "POINT 0 120 0")
		.set("particleStartSize", "CONSTANT 24")
		.set("particleEndSize", "CONSTANT 8")
		.set("particleStartColor", "POINT 1 0.9 0.3")
		.set("particleEndColor", "POINT 1 1 1")
		.set("textureName", "spark.pvr")
		.set("shaderName", "particle.fx");
}

void writeParticles(Writes& out, const std::string& dir) {
	out.folder(dir);
	ParticleDescriptionWriter sparkle;
	sparks(sparkle);
	out.text(dir + "sparkle.prs", sparkle.text());
	// The boost: orange sparks blown backwards.
	ParticleDescriptionWriter boost;
	sparks(boost);
	boost.set("particleStartVelocity", "POINT 0 40 -200").set("particleStartColor", "POINT 1 0.5 0.1");
	out.text(dir + "boost.prs", boost.text());
}

// frames of a mono tone at rate: frequency f(t) in Hz, envelope e(t) from 0 to 1.
std::vector<double> tone(int rate, double seconds, const std::function<double(double)>& f,
						 const std::function<double(double)>& e) {
	std::vector<double> out;
	double phase = 0;
	for (int i = 0; i < int(rate * seconds); ++i) {
		const double t = double(i) / rate;
		phase += 2 * kPi * f(t) / rate;
		out.push_back(12000.0 * e(t / seconds) * std::sin(phase));
	}
	return out;
}

void writeSounds(Writes& out, const std::string& dir) {
	out.folder(dir);
	const int rate = 22050;
	const auto wav = [&](const std::string& name, const std::vector<double>& samples) {
		out.check(WavWriter(rate, 1, WavWriter::PCM_16).samples(samples).write(dir + name), dir + name);
	};
	const auto fade = [](double u) { return 1.0 - u; };
	wav("plimbo_jump.wav", tone(
							   rate, 0.25, [](double t) { return 300 + 1600 * t; }, fade));
	wav("plimbo_collision.wav", tone(
									rate, 0.15, [](double) { return 90.0; }, fade));
	wav("pickup.wav", tone(
						  rate, 0.2, [](double t) { return t < 0.1 ? 990.0 : 1320.0; }, fade));
	wav("checkpoint.wav", tone(
							  rate, 0.3, [](double) { return 660.0; }, fade));
	// A steady low rush that wavers three times a second.
	wav("waterfall.wav",
		tone(
			rate, 2.0, [](double t) { return 150 + 20 * std::sin(2 * kPi * 3 * t); }, [](double) { return 0.6; }));

	// The level music: four seconds of a repeated four-note phrase, stereo MP3.
	const int musicRate = 44100;
	const double notes[4] = {392.0, 494.0, 587.0, 494.0};
	std::vector<float> music;
	for (int i = 0; i < 4 * musicRate; ++i) {
		const double t = double(i) / musicRate;
		const double within = std::fmod(t, 0.5) / 0.5;
		const float s = float(0.3 * (1.0 - 0.7 * within) * std::sin(2 * kPi * notes[int(t / 0.5) % 4] * t));
		music.insert(music.end(), {s, s});
	}
	const std::string mp3 = dir + "music01.mp3";
	out.check(writeWithSndfile(mp3, SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III, musicRate, 2, music), mp3);
}

} // namespace

bool writeGameData(const std::string& dataDir, std::string* error) {
	Writes out(error);
	const std::string levels = dataDir + "/bundles/original/";
	const std::string models = dataDir + "/resources/models/";
	out.folder(levels);
	out.folder(models);
	writeShaders(out, dataDir + "/shaders/");
	writeTextures(out, dataDir + "/resources/textures/");
	writeParticles(out, dataDir + "/resources/particles/");
	writeSounds(out, dataDir + "/resources/sounds/");
	out.check(writeMenuData(dataDir), dataDir + "/resources/images");
	const std::pair<std::string, SceneWriter> scenes[] = {
		{levels + "level01.hgr", level01Scene()},  {levels + "level02.hgr", level02Scene()},
		{models + "plimbo.hgr", ballModelScene()}, {models + "coin.hgr", coinModelScene()},
		{models + "post.hgr", postModelScene()},
	};
	for (const auto& scene : scenes)
		out.check(scene.second.write(scene.first), scene.first);
	return out.ok();
}

bool writeGamePackage(const std::string& debPath, std::string* log) {
	TempDir work;
	const std::string root = work / "tree";
	if (!writeControlFile(root)) {
		if (log)
			*log = "could not write " + root + "/DEBIAN/control";
		return false;
	}
	if (!writeGameData(root + "/opt/plimbo/data", log))
		return false;
	return buildDebFromTree(root, "gzip", debPath, log);
}

} // namespace test
