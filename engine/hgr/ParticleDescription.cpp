#include <hgr/ParticleDescription.h>
#include <io/IOException.h>
#include <io/InputStream.h>
#include <io/PropertyParser.h>
#include <lang/Format.h>
#include <lang/TempBuffer.h>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace hgr {

namespace {

using Domain = ParticleSystem::Domain;

void readDomain(io::PropertyParser& parser, const char* key, Domain& out) {
	const char* value = parser.getString(key);
	switch (out.parse(value)) {
	case Domain::PARSE_OK:
		return;
	case Domain::PARSE_NO_TYPE:
		throw io::IOException(
			lang::Format("Failed to value domain type string from variable {0} in file {1}", key, parser.name()));
	case Domain::PARSE_UNKNOWN_TYPE:
		throw io::IOException(
			lang::Format("Invalid value domain type string in variable {0} in file {1}", key, parser.name()));
	default:
		throw io::IOException(lang::Format("Failed to parse value domain {0} in file {1}", key, parser.name()));
	}
}

math::Vector3 readVector(io::PropertyParser& parser, const char* key) {
	const char* value = parser.getString(key);
	float v[3];
	if (!value || std::sscanf(value, "%g %g %g", &v[0], &v[1], &v[2]) != 3)
		throw io::IOException(lang::Format("Failed to parse 3-vector {0} in file {1}", key, parser.name()));
	return math::Vector3(v[0], v[1], v[2]);
}

/** Index of the value in names (count entries); throws the message with key and the parser's name otherwise. */
int readEnum(io::PropertyParser& parser, const char* key, const char* const* names, int count, const char* message) {
	const char* value = parser.getString(key);
	if (value)
		for (int i = 0; i < count; ++i)
			if (std::strcmp(value, names[i]) == 0)
				return i;
	throw io::IOException(lang::Format(message, key, parser.name()));
}

const char* const ANIMATION_NAMES[] = {"LOOP", "LIFE", "RANDOM"};
const char* const VIEW_NAMES[] = {"CAMERAUP", "WORLDUP"};
const char* const KILL_NAMES[] = {"NONE", "OLDEST", "RANDOM"};

} // namespace

ParticleSystem::Description::Description()
	: systemMaxEmissions(0), emissionMaxParticles(0), gravity(0.f), textureFrameRate(0.f), textureFrames(0),
	  textureAnimation(ANIMATION_INVALID), textureView(VIEW_INVALID), emissionLimitKill(KILL_NONE),
	  systemLimitKill(KILL_NONE), particleUpdateAlways(false), particleAlignedToUserNormal(false),
	  textureFrameSize(0.f), budgetReported(false) {}

void ParticleSystem::Description::read(io::InputStream* in) {
	const lang::String name = in->toString();
	const int size = in->available();
	// A description is a page of text; anything near the int range is not one.
	if (size < 0 || size > MAX_FILE_SIZE)
		throw io::IOException(lang::Format("Failed to read particle system {0}", name));
	lang::TempBuffer buffer(size + 1);
	const int got = size > 0 ? in->read(buffer.data(), size) : 0;
	if (got != size)
		throw io::IOException(lang::Format("Failed to read particle system {0}", name));
	buffer.data()[size] = 0;
	fileName = name;

	io::PropertyParser parser(lang::String(buffer.data()), name);

	systemMaxEmissions = parser.getInt("systemmaxemissions");
	readDomain(parser, "systemrate", systemRate);
	readDomain(parser, "systemstoptime", systemStopTime);
	readDomain(parser, "systemlifetime", systemLifeTime);

	emissionMaxParticles = parser.getInt("emissionmaxparticles");
	readDomain(parser, "emissionrate", emissionRate);
	readDomain(parser, "emissionstoptime", emissionStopTime);
	readDomain(parser, "emissionlifetime", emissionLifeTime);
	readDomain(parser, "emissionposition", emissionPosition);

	particleAlignedToUserNormal = parser.hasKey("particlealignedtousernormal") &&
								  parser.getBoolean("particlealignedtousernormal");
	readDomain(parser, "particlelifetime", particleLifeTime);
	readDomain(parser, "particlestartvelocity", particleStartVelocity);
	readDomain(parser, "particlestartposition", particleStartPosition);
	readDomain(parser, "particlestartsize", particleStartSize);
	readDomain(parser, "particleendsize", particleEndSize);
	readDomain(parser, "particlestartalpha", particleStartAlpha);
	readDomain(parser, "particleendalpha", particleEndAlpha);
	readDomain(parser, "particlestartcolor", particleStartColor);
	readDomain(parser, "particleendcolor", particleEndColor);
	readDomain(parser, "particlespriteelasticity", particleSpriteElasticity);
	readDomain(parser, "particlespriterotation", particleSpriteRotation);
	readDomain(parser, "particlespritestartrotationspeed", particleSpriteStartRotationSpeed);
	readDomain(parser, "particlespriteendrotationspeed", particleSpriteEndRotationSpeed);

	gravity = parser.getFloat("gravity");
	wind = readVector(parser, "wind");
	textureFrameRate = parser.getFloat("textureframerate");
	textureFrames = parser.getInt("textureframes");
	textureAnimation =
		readEnum(parser, "textureanimation", ANIMATION_NAMES, 3, "Failed to read AnimationType {0} from {1}");
	textureView = readEnum(parser, "textureview", VIEW_NAMES, 2, "Failed to read ViewType {0} from {1}");
	emissionLimitKill = readEnum(parser, "emissionlimitkill", KILL_NAMES, 3, "Failed to read KillType {0} from {1}");
	systemLimitKill = readEnum(parser, "systemlimitkill", KILL_NAMES, 3, "Failed to read KillType {0} from {1}");
	particleUpdateAlways = parser.getBoolean("particleupdatealways");

	const char* texture = parser.getString("texturename");
	textureName = texture ? lang::String(texture) : lang::String();
	const char* shader = parser.getString("shadername");
	shaderName = shader ? lang::String(shader) : lang::String();
}

void ParticleSystem::Description::validate(const lang::String& file) const {
	if (systemMaxEmissions < 1 || systemMaxEmissions > MAX_COUNT)
		throw io::IOException(
			lang::Format("Invalid value in \"{0}\": SystemMaxEmissions={1} (out-of-range, max is {2})", file,
						 systemMaxEmissions, int(MAX_COUNT)));
	if (systemLimitKill < 0 || systemLimitKill >= KILL_INVALID)
		throw io::IOException(lang::Format("Invalid value  in \"{0}\": systemLimitKill invalid", file));
	if (emissionMaxParticles < 1 || emissionMaxParticles > MAX_COUNT)
		throw io::IOException(lang::Format("Invalid value in \"{0}\": MaxParticles={1} (out-of-range, max is {2})",
										   file, emissionMaxParticles, int(MAX_COUNT)));
	if (emissionLimitKill < 0 || emissionLimitKill >= KILL_INVALID)
		throw io::IOException(lang::Format("Invalid value  in \"{0}\": emissionLimitKill invalid", file));

	const bool rotation = !(particleSpriteRotation.isConstant(0.f) && particleSpriteStartRotationSpeed.isConstant(0.f));
	const bool elasticity = !particleSpriteElasticity.isConstant(0.f);
	if (rotation && elasticity)
		throw io::IOException(lang::Format(
			"Invalid combination in \"{0}\": Sprite rotation and elasticity are mutually exclusive", file));
	if (elasticity && particleAlignedToUserNormal)
		throw io::IOException(lang::Format(
			"Invalid combination in \"{0}\": particleAlignedToUserNormal and elasticity are mutually exclusive", file));

	if (!(textureFrameRate >= 0.f && textureFrameRate <= 100.f))
		throw io::IOException(lang::Format("Invalid value in \"{0}\": textureFrameRate={1} (out-of-range 0-100)", file,
										   textureFrameRate));
	const int n = squareRoot(textureFrames);
	if (textureFrames <= 0 || n * n != textureFrames)
		throw io::IOException(
			lang::Format("Invalid value in \"{0}\": TextureFrames={1} (not square of integer)", file, textureFrames));
	if (textureFrames > MAX_TEXTURE_FRAMES)
		throw io::IOException(lang::Format("Invalid value in \"{0}\": TextureFrames={1,0} (out-of-range, max is {2})",
										   file, textureFrames, int(MAX_TEXTURE_FRAMES)));

	if (textureAnimation < 0 || textureAnimation >= ANIMATION_INVALID)
		throw io::IOException(lang::Format("Invalid value  in \"{0}\": textureAnimation invalid", file));
	if (textureView < 0 || textureView >= VIEW_INVALID)
		throw io::IOException(lang::Format("Invalid value  in \"{0}\": particleView invalid", file));
}

int ParticleSystem::Description::squareRoot(int value) {
	if (value <= 0)
		return 0;
	long long n = (long long)std::sqrt(double(value));
	while (n * n > value)
		--n;
	while ((n + 1) * (n + 1) <= value)
		++n;
	return int(n);
}

void ParticleSystem::Description::buildFrameTable() {
	const int count = textureFrames > 0 ? textureFrames : 1;
	if (textureFrameTable.size() == count)
		return;
	int n = squareRoot(count);
	if (n < 1)
		n = 1;
	textureFrameSize = 1.f / float(n);
	textureFrameTable.resize(count);
	for (int k = 0; k < count; ++k) {
		textureFrameTable[k].u = float(k % n) / float(n);
		textureFrameTable[k].v = float(k / n) / float(n);
	}
}

} // namespace hgr
