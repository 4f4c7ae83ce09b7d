#include "support/ParticleDescriptionWriter.h"

#include "support/Files.h"

#include <gtest/gtest.h>

#include <strings.h>
#include <utility>

namespace test {

namespace {

const std::pair<const char*, const char*> DEFAULTS[] = {
	{"systemMaxEmissions", "4"},
	{"systemRate", "CONSTANT 1"},
	{"systemStopTime", "CONSTANT -1"},
	{"systemLifeTime", "CONSTANT -1"},
	{"emissionMaxParticles", "16"},
	{"emissionRate", "CONSTANT 4"},
	{"emissionStopTime", "CONSTANT -1"},
	{"emissionLifeTime", "CONSTANT -1"},
	{"emissionPosition", "POINT 0 0 0"},
	{"particleAlignedToUserNormal", "false"},
	{"particleLifeTime", "CONSTANT 2"},
	{"particleStartVelocity", "POINT 0 1 0"},
	{"particleStartPosition", "POINT 0 0 0"},
	{"particleStartSize", "CONSTANT 1"},
	{"particleEndSize", "CONSTANT 1"},
	{"particleStartAlpha", "CONSTANT 1"},
	{"particleEndAlpha", "CONSTANT 0"},
	{"particleStartColor", "POINT 1 1 1"},
	{"particleEndColor", "POINT 1 1 1"},
	{"particleSpriteElasticity", "CONSTANT 0"},
	{"particleSpriteRotation", "CONSTANT 0"},
	{"particleSpriteStartRotationSpeed", "CONSTANT 0"},
	{"particleSpriteEndRotationSpeed", "CONSTANT 0"},
	{"gravity", "0"},
	{"wind", "0 0 0"},
	{"textureFrameRate", "0"},
	{"textureFrames", "1"},
	{"textureAnimation", "LOOP"},
	{"textureView", "CAMERAUP"},
	{"emissionLimitKill", "NONE"},
	{"systemLimitKill", "NONE"},
	{"particleUpdateAlways", "true"},
	{"textureName", ""},
	{"shaderName", ""},
};

bool sameKey(const std::string& a, const std::string& b) {
	return a.size() == b.size() && strcasecmp(a.c_str(), b.c_str()) == 0;
}

} // namespace

const std::vector<std::string>& ParticleDescriptionWriter::keys() {
	static const std::vector<std::string> names = [] {
		std::vector<std::string> v;
		for (const auto& d : DEFAULTS)
			v.push_back(d.first);
		return v;
	}();
	return names;
}

ParticleDescriptionWriter::ParticleDescriptionWriter() {
	for (const auto& d : DEFAULTS)
		// The two optional names are absent until a test sets them.
		m_entries.push_back(Entry{d.first, d.second, *d.second == 0});
	m_dir = m_root.path() + "/";
}

ParticleDescriptionWriter::Entry* ParticleDescriptionWriter::find(const std::string& key) {
	for (Entry& e : m_entries)
		if (sameKey(e.key, key))
			return &e;
	return nullptr;
}

const ParticleDescriptionWriter::Entry* ParticleDescriptionWriter::find(const std::string& key) const {
	for (const Entry& e : m_entries)
		if (sameKey(e.key, key))
			return &e;
	return nullptr;
}

ParticleDescriptionWriter& ParticleDescriptionWriter::set(const std::string& key, const std::string& value) {
	Entry* e = find(key);
	if (!e) {
		m_entries.push_back(Entry{key, value, false});
		return *this;
	}
	e->value = value;
	e->omitted = false;
	return *this;
}

ParticleDescriptionWriter& ParticleDescriptionWriter::omit(const std::string& key) {
	if (Entry* e = find(key))
		e->omitted = true;
	else
		ADD_FAILURE() << "no key " << key;
	return *this;
}

ParticleDescriptionWriter& ParticleDescriptionWriter::spell(const std::string& key, const std::string& spelling) {
	Entry* e = find(key);
	if (!e || !sameKey(key, spelling))
		ADD_FAILURE() << spelling << " does not spell the key " << key;
	else
		e->key = spelling;
	return *this;
}

std::string ParticleDescriptionWriter::value(const std::string& key) const {
	const Entry* e = find(key);
	return e ? e->value : std::string();
}

std::string ParticleDescriptionWriter::text() const {
	std::string out;
	for (const Entry& e : m_entries)
		if (!e.omitted)
			out += e.key + " = " + e.value + "\n";
	return out;
}

std::string ParticleDescriptionWriter::write(const std::string& fileName) const {
	return writeRaw(fileName, text());
}

std::string ParticleDescriptionWriter::writeRaw(const std::string& fileName, const std::string& content) const {
	const std::string path = m_dir + fileName;
	if (!writeFile(path, content))
		ADD_FAILURE() << "cannot write " << path;
	return path;
}

} // namespace test
