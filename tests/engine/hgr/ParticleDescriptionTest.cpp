#include "ParticleFixtures.h"

#include <hgr/ParticleDescription.h>
#include <hgr/ParticleSystem.h>
#include <io/FileInputStream.h>
#include <io/InputStream.h>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

using particletest::ioMessage;
using Description = hgr::ParticleSystem::Description;
using Domain = hgr::ParticleSystem::Domain;

namespace {

/** The description of the writer's text, read and validated as the loader does. */
lang::Ptr<Description> readDescription(test::ParticleDescriptionWriter& writer, const std::string& fileName = "d.prs") {
	const std::string path = writer.write(fileName);
	lang::Ptr<Description> d = new Description;
	lang::Ptr<io::FileInputStream> in = new io::FileInputStream(path.c_str());
	d->read(in);
	d->validate(path.c_str());
	return d;
}

/** A stream that promises more bytes than it gives. */
class ShortStream : public io::InputStream {
public:
	int read(void* buf, int n) override {
		const int k = n < 3 ? n : 3;
		for (int i = 0; i < k; ++i)
			static_cast<char*>(buf)[i] = 'x';
		return k;
	}
	int available() override { return 10; }
	lang::String toString() override { return "short.prs"; }
};

TEST(ParticleDescription, DefaultTextReadsEveryKey) {
	test::ParticleDescriptionWriter writer;
	writer.set("textureName", "spark.png").set("shaderName", "particle.fx");
	lang::Ptr<Description> d = readDescription(writer);
	EXPECT_EQ(d->systemMaxEmissions, 4);
	EXPECT_EQ(d->systemRate.type, Domain::CONSTANT);
	EXPECT_EQ(d->systemRate.p[0], 1.f);
	EXPECT_EQ(d->emissionMaxParticles, 16);
	EXPECT_EQ(d->emissionPosition.type, Domain::POINT);
	EXPECT_EQ(d->particleStartVelocity.p[1], 1.f);
	EXPECT_EQ(d->particleEndAlpha.p[0], 0.f);
	EXPECT_EQ(d->textureFrames, 1);
	EXPECT_EQ(d->textureAnimation, Description::ANIMATION_LOOP);
	EXPECT_EQ(d->textureView, Description::VIEW_CAMERAUP);
	EXPECT_EQ(d->emissionLimitKill, Description::KILL_NONE);
	EXPECT_TRUE(d->particleUpdateAlways);
	EXPECT_FALSE(d->particleAlignedToUserNormal);
	EXPECT_STREQ(d->textureName.c_str(), "spark.png");
	EXPECT_STREQ(d->shaderName.c_str(), "particle.fx");
}

TEST(ParticleDescription, FreshDescriptionHoldsInvalidEnumerations) {
	lang::Ptr<Description> d = new Description;
	EXPECT_EQ(d->textureAnimation, 3);
	EXPECT_EQ(d->textureView, 2);
	EXPECT_EQ(d->systemLimitKill, Description::KILL_NONE);
	EXPECT_EQ(d->particleLifeTime.type, Domain::NONE);
	EXPECT_EQ(d->textureName.length(), 0);
}

TEST(ParticleDescription, AcceptedValues) {
	struct Case {
		const char* name;
		std::function<void(test::ParticleDescriptionWriter&)> change;
		std::function<void(const Description&)> check;
	};
	const Case cases[] = {
		{"keys in capitals",
		 [](test::ParticleDescriptionWriter& w) {
			 w.spell("systemMaxEmissions", "SYSTEMMAXEMISSIONS").set("systemMaxEmissions", "7");
		 },
		 [](const Description& d) { EXPECT_EQ(d.systemMaxEmissions, 7); }},
		{"keys in lower case",
		 [](test::ParticleDescriptionWriter& w) { w.spell("gravity", "GrAvItY").set("gravity", "-9.8"); },
		 [](const Description& d) { EXPECT_FLOAT_EQ(d.gravity, -9.8f); }},
		{"optional keys absent", [](test::ParticleDescriptionWriter& w) { w.omit("particleAlignedToUserNormal"); },
		 [](const Description& d) {
			 EXPECT_FALSE(d.particleAlignedToUserNormal);
			 EXPECT_EQ(d.textureName.length(), 0);
			 EXPECT_EQ(d.shaderName.length(), 0);
		 }},
		{"text after the numbers ignored",
		 [](test::ParticleDescriptionWriter& w) { w.set("particleStartSize", "CONSTANT 5 and more words"); },
		 [](const Description& d) {
			 EXPECT_EQ(d.particleStartSize.type, Domain::CONSTANT);
			 EXPECT_EQ(d.particleStartSize.p[0], 5.f);
			 EXPECT_EQ(d.particleStartSize.p[1], 0.f);
		 }},
		{"nine parameters",
		 [](test::ParticleDescriptionWriter& w) { w.set("particleStartPosition", "TRIANGLE 1 2 3 4 5 6 7 8 9"); },
		 [](const Description& d) {
			 for (int i = 0; i < 9; ++i)
				 EXPECT_EQ(d.particleStartPosition.p[i], float(i + 1));
		 }},
		{"wind", [](test::ParticleDescriptionWriter& w) { w.set("wind", "1.5 -2 3e1"); },
		 [](const Description& d) {
			 EXPECT_EQ(d.wind.x, 1.5f);
			 EXPECT_EQ(d.wind.y, -2.f);
			 EXPECT_EQ(d.wind.z, 30.f);
		 }},
		{"16 frames at 100 per second",
		 [](test::ParticleDescriptionWriter& w) { w.set("textureFrames", "16").set("textureFrameRate", "100"); },
		 [](const Description& d) { EXPECT_EQ(d.textureFrames, 16); }},
		{"largest particle count",
		 [](test::ParticleDescriptionWriter& w) {
			 w.set("systemMaxEmissions", "1").set("emissionMaxParticles", "10922");
		 },
		 [](const Description& d) { EXPECT_EQ(d.emissionMaxParticles, 10922); }},
		{"largest emission count",
		 [](test::ParticleDescriptionWriter& w) {
			 w.set("systemMaxEmissions", "10922").set("emissionMaxParticles", "6");
		 },
		 [](const Description& d) { EXPECT_EQ(d.systemMaxEmissions, 10922); }},
		{"both counts at their largest",
		 [](test::ParticleDescriptionWriter& w) {
			 w.set("systemMaxEmissions", "10922").set("emissionMaxParticles", "10922");
		 },
		 [](const Description& d) {
			 EXPECT_EQ(d.systemMaxEmissions, 10922);
			 EXPECT_EQ(d.emissionMaxParticles, 10922);
		 }},
		{"300 x 300",
		 [](test::ParticleDescriptionWriter& w) {
			 w.set("systemMaxEmissions", "300").set("emissionMaxParticles", "300");
		 },
		 [](const Description& d) { EXPECT_EQ(d.systemMaxEmissions * d.emissionMaxParticles, 90000); }},
		{"enumerations",
		 [](test::ParticleDescriptionWriter& w) {
			 w.set("textureAnimation", "RANDOM")
				 .set("textureView", "WORLDUP")
				 .set("emissionLimitKill", "OLDEST")
				 .set("systemLimitKill", "RANDOM");
		 },
		 [](const Description& d) {
			 EXPECT_EQ(d.textureAnimation, Description::ANIMATION_RANDOM);
			 EXPECT_EQ(d.textureView, Description::VIEW_WORLDUP);
			 EXPECT_EQ(d.emissionLimitKill, Description::KILL_OLDEST);
			 EXPECT_EQ(d.systemLimitKill, Description::KILL_RANDOM);
		 }},
		{"rotation alone", [](test::ParticleDescriptionWriter& w) { w.set("particleSpriteRotation", "RANGE 0 360"); },
		 [](const Description& d) { EXPECT_EQ(d.particleSpriteRotation.type, Domain::RANGE); }},
		{"elasticity alone",
		 [](test::ParticleDescriptionWriter& w) { w.set("particleSpriteElasticity", "CONSTANT 0.5"); },
		 [](const Description& d) { EXPECT_EQ(d.particleSpriteElasticity.p[0], 0.5f); }},
		{"aligned without elasticity",
		 [](test::ParticleDescriptionWriter& w) {
			 w.set("particleAlignedToUserNormal", "true").set("particleSpriteRotation", "CONSTANT 45");
		 },
		 [](const Description& d) { EXPECT_TRUE(d.particleAlignedToUserNormal); }},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.name);
		test::ParticleDescriptionWriter writer;
		c.change(writer);
		lang::Ptr<Description> d;
		const std::string message = ioMessage([&] { d = readDescription(writer); });
		ASSERT_EQ(message, "<no exception>");
		c.check(*d);
	}
}

// Every message a description file can end its load with, and the key that causes it.
TEST(ParticleDescription, RefusedValuesAndTheirMessages) {
	struct Case {
		const char* name;
		std::function<void(test::ParticleDescriptionWriter&)> change;
		std::string message; // "@" stands for the file's path
	};
	const Case cases[] = {
		// Domains
		{"domain absent", [](test::ParticleDescriptionWriter& w) { w.omit("systemRate"); },
		 "Failed to value domain type string from variable systemrate in file @"},
		{"domain empty", [](test::ParticleDescriptionWriter& w) { w.set("emissionRate", ""); },
		 "Failed to value domain type string from variable emissionrate in file @"},
		{"domain type in lower case",
		 [](test::ParticleDescriptionWriter& w) { w.set("emissionPosition", "sphere 0 0 0 1 2"); },
		 "Invalid value domain type string in variable emissionposition in file @"},
		{"domain type unknown", [](test::ParticleDescriptionWriter& w) { w.set("particleStartSize", "GAUSSIAN 1 2"); },
		 "Invalid value domain type string in variable particlestartsize in file @"},
		{"domain type word longer than its buffer",
		 [](test::ParticleDescriptionWriter& w) { w.set("particleEndSize", std::string(300, 'C') + " 1"); },
		 "Invalid value domain type string in variable particleendsize in file @"},
		{"domain type glued to its number",
		 [](test::ParticleDescriptionWriter& w) { w.set("particleStartAlpha", "CONSTANT1"); },
		 "Invalid value domain type string in variable particlestartalpha in file @"},
		{"range with one number", [](test::ParticleDescriptionWriter& w) { w.set("particleLifeTime", "RANGE 1"); },
		 "Failed to parse value domain particlelifetime in file @"},
		{"constant without number", [](test::ParticleDescriptionWriter& w) { w.set("systemStopTime", "CONSTANT"); },
		 "Failed to parse value domain systemstoptime in file @"},
		{"point with a word for a number",
		 [](test::ParticleDescriptionWriter& w) { w.set("particleEndColor", "POINT 1 one 1"); },
		 "Failed to parse value domain particleendcolor in file @"},
		{"triangle with eight numbers",
		 [](test::ParticleDescriptionWriter& w) { w.set("particleStartPosition", "TRIANGLE 1 2 3 4 5 6 7 8"); },
		 "Failed to parse value domain particlestartposition in file @"},
		// Vector and enumerations
		{"wind absent", [](test::ParticleDescriptionWriter& w) { w.omit("wind"); },
		 "Failed to parse 3-vector wind in file @"},
		{"wind with two numbers", [](test::ParticleDescriptionWriter& w) { w.set("wind", "1 2"); },
		 "Failed to parse 3-vector wind in file @"},
		{"animation in lower case", [](test::ParticleDescriptionWriter& w) { w.set("textureAnimation", "loop"); },
		 "Failed to read AnimationType textureanimation from @"},
		{"animation absent", [](test::ParticleDescriptionWriter& w) { w.omit("textureAnimation"); },
		 "Failed to read AnimationType textureanimation from @"},
		{"view unknown", [](test::ParticleDescriptionWriter& w) { w.set("textureView", "SIDEWAYS"); },
		 "Failed to read ViewType textureview from @"},
		{"emission kill unknown", [](test::ParticleDescriptionWriter& w) { w.set("emissionLimitKill", "YOUNGEST"); },
		 "Failed to read KillType emissionlimitkill from @"},
		{"system kill absent", [](test::ParticleDescriptionWriter& w) { w.omit("systemLimitKill"); },
		 "Failed to read KillType systemlimitkill from @"},
		// Typed reads of the property parser
		{"integer absent", [](test::ParticleDescriptionWriter& w) { w.omit("systemMaxEmissions"); },
		 "Failed to parse number, no key systemmaxemissions in \"@\""},
		{"integer with a fraction", [](test::ParticleDescriptionWriter& w) { w.set("emissionMaxParticles", "2.5"); },
		 "Failed to parse integer emissionmaxparticles from \"@\" (number is not integer)"},
		{"float not a number", [](test::ParticleDescriptionWriter& w) { w.set("gravity", "strong"); },
		 "Failed to parse number gravity from \"@\""},
		{"boolean absent", [](test::ParticleDescriptionWriter& w) { w.omit("particleUpdateAlways"); },
		 "Failed to parse boolean, no key particleupdatealways in \"@\""},
		{"optional boolean unreadable",
		 [](test::ParticleDescriptionWriter& w) { w.set("particleAlignedToUserNormal", "maybe"); },
		 "Failed to parse boolean particlealignedtousernormal from \"@\""},
		// Validation
		{"no emissions", [](test::ParticleDescriptionWriter& w) { w.set("systemMaxEmissions", "0"); },
		 "Invalid value in \"@\": SystemMaxEmissions=0 (out-of-range, max is 10922)"},
		{"too many emissions", [](test::ParticleDescriptionWriter& w) { w.set("systemMaxEmissions", "10923"); },
		 "Invalid value in \"@\": SystemMaxEmissions=10923 (out-of-range, max is 10922)"},
		{"no particles", [](test::ParticleDescriptionWriter& w) { w.set("emissionMaxParticles", "0"); },
		 "Invalid value in \"@\": MaxParticles=0 (out-of-range, max is 10922)"},
		{"too many particles", [](test::ParticleDescriptionWriter& w) { w.set("emissionMaxParticles", "10923"); },
		 "Invalid value in \"@\": MaxParticles=10923 (out-of-range, max is 10922)"},
		{"rotation and elasticity",
		 [](test::ParticleDescriptionWriter& w) {
			 w.set("particleSpriteRotation", "CONSTANT 10").set("particleSpriteElasticity", "CONSTANT 1");
		 },
		 "Invalid combination in \"@\": Sprite rotation and elasticity are mutually exclusive"},
		{"rotation speed RANGE 0 0 counts as rotation",
		 [](test::ParticleDescriptionWriter& w) {
			 w.set("particleSpriteStartRotationSpeed", "RANGE 0 0").set("particleSpriteElasticity", "CONSTANT 1");
		 },
		 "Invalid combination in \"@\": Sprite rotation and elasticity are mutually exclusive"},
		{"aligned and elasticity",
		 [](test::ParticleDescriptionWriter& w) {
			 w.set("particleAlignedToUserNormal", "true").set("particleSpriteElasticity", "RANGE 1 2");
		 },
		 "Invalid combination in \"@\": particleAlignedToUserNormal and elasticity are mutually exclusive"},
		{"frame rate over 100", [](test::ParticleDescriptionWriter& w) { w.set("textureFrameRate", "100.5"); },
		 "Invalid value in \"@\": textureFrameRate=100.5 (out-of-range 0-100)"},
		{"negative frame rate", [](test::ParticleDescriptionWriter& w) { w.set("textureFrameRate", "-1"); },
		 "Invalid value in \"@\": textureFrameRate=-1 (out-of-range 0-100)"},
		{"frames not square", [](test::ParticleDescriptionWriter& w) { w.set("textureFrames", "8"); },
		 "Invalid value in \"@\": TextureFrames=8 (not square of integer)"},
		{"no frames", [](test::ParticleDescriptionWriter& w) { w.set("textureFrames", "0"); },
		 "Invalid value in \"@\": TextureFrames=0 (not square of integer)"},
		{"negative frames", [](test::ParticleDescriptionWriter& w) { w.set("textureFrames", "-4"); },
		 "Invalid value in \"@\": TextureFrames=-4 (not square of integer)"},
		{"more frames than a 256 x 256 grid",
		 [](test::ParticleDescriptionWriter& w) { w.set("textureFrames", "66049"); },
		 "Invalid value in \"@\": TextureFrames=66049 (out-of-range, max is 65536)"},
		{"largest square int", [](test::ParticleDescriptionWriter& w) { w.set("textureFrames", "2147395600"); },
		 "Invalid value in \"@\": TextureFrames=2147395600 (out-of-range, max is 65536)"},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.name);
		test::ParticleDescriptionWriter writer;
		c.change(writer);
		const std::string path = writer.dir() + "d.prs";
		std::string expected = c.message;
		for (size_t at; (at = expected.find('@')) != std::string::npos;)
			expected.replace(at, 1, path);
		EXPECT_EQ(ioMessage([&] { readDescription(writer); }), expected);
	}
}

TEST(ParticleDescription, FrameRateNotANumberIsRefused) {
	test::ParticleDescriptionWriter writer;
	writer.set("textureFrameRate", "nan");
	EXPECT_NE(ioMessage([&] { readDescription(writer); }).find("textureFrameRate="), std::string::npos);
}

// Values a file cannot hold but a description built in code can.
TEST(ParticleDescription, InvalidEnumerationsRefusedByValidation) {
	struct Case {
		const char* name;
		void (*change)(Description&);
		const char* message;
	};
	const Case cases[] = {
		{"system kill", [](Description& d) { d.systemLimitKill = 3; },
		 "Invalid value  in \"f.prs\": systemLimitKill invalid"},
		{"emission kill", [](Description& d) { d.emissionLimitKill = 3; },
		 "Invalid value  in \"f.prs\": emissionLimitKill invalid"},
		{"animation", [](Description& d) { d.textureAnimation = 3; },
		 "Invalid value  in \"f.prs\": textureAnimation invalid"},
		{"view", [](Description& d) { d.textureView = 2; }, "Invalid value  in \"f.prs\": particleView invalid"},
	};
	for (const Case& c : cases) {
		SCOPED_TRACE(c.name);
		test::ParticleDescriptionWriter writer;
		lang::Ptr<Description> d = readDescription(writer);
		c.change(*d);
		EXPECT_EQ(ioMessage([&] { d->validate("f.prs"); }), c.message);
	}
}

TEST(ParticleDescription, ShortReadIsRefused) {
	lang::Ptr<Description> d = new Description;
	lang::Ptr<ShortStream> in = new ShortStream;
	EXPECT_EQ(ioMessage([&] { d->read(in); }), "Failed to read particle system short.prs");
}

TEST(ParticleDescription, MissingFileIsRefused) {
	test::ParticleDescriptionWriter writer;
	const std::string path = writer.dir() + "absent.prs";
	lang::Ptr<test::FakeContext> context = new test::FakeContext;
	lang::Ptr<hgr::DefaultResourceManager> manager = new hgr::DefaultResourceManager(context);
	EXPECT_EQ(ioMessage([&] {
				  lang::Ptr<hgr::ParticleSystem> s = new hgr::ParticleSystem(context, path.c_str(), manager, "", "");
			  }),
			  "Failed to open " + path);
}

TEST(ParticleDescription, FrameTableRunsAlongRows) {
	test::ParticleDescriptionWriter writer;
	writer.set("textureFrames", "16");
	lang::Ptr<Description> d = readDescription(writer);
	d->buildFrameTable();
	ASSERT_EQ(d->textureFrameTable.size(), 16);
	EXPECT_EQ(d->textureFrameSize, 0.25f);
	EXPECT_EQ(d->textureFrameTable[0].u, 0.f);
	EXPECT_EQ(d->textureFrameTable[0].v, 0.f);
	EXPECT_EQ(d->textureFrameTable[1].u, 0.25f);
	EXPECT_EQ(d->textureFrameTable[1].v, 0.f);
	EXPECT_EQ(d->textureFrameTable[6].u, 0.5f);
	EXPECT_EQ(d->textureFrameTable[6].v, 0.25f);
	EXPECT_EQ(d->textureFrameTable[15].u, 0.75f);
	EXPECT_EQ(d->textureFrameTable[15].v, 0.75f);
}

TEST(ParticleDescription, SquareRoot) {
	const int values[][2] = {
		{0, 0}, {1, 1}, {3, 1}, {4, 2}, {15, 3}, {16, 4}, {65536, 256}, {2147395600, 46340}, {2147483647, 46340}};
	for (const auto& v : values)
		EXPECT_EQ(Description::squareRoot(v[0]), v[1]) << v[0];
}

} // namespace
