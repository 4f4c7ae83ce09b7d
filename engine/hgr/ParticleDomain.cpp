#include <hgr/ParticleDomain.h>
#include <math/Matrix3x3.h>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace hgr {

namespace {

const char* const TYPE_NAMES[] = {"NONE", "CONSTANT", "RANGE", "POINT",		"SPHERE",  "LINE",
								  "BOX",  "CYLINDER", "DISK",  "RECTANGLE", "TRIANGLE"};
const int PARAMETER_COUNTS[] = {0, 1, 2, 3, 5, 6, 6, 8, 8, 9, 9};
const int TYPE_COUNT = int(sizeof(PARAMETER_COUNTS) / sizeof(PARAMETER_COUNTS[0]));

const float TWO_PI = 6.2831853f;

/** U and V of a disk or cylinder: the first two columns of the basis along axis (zero for a zero axis). */
void diskAxes(const math::Vector3& axis, math::Vector3& u, math::Vector3& v) {
	const math::Matrix3x3 b = math::Matrix3x3::basisFromDirectionUpY(axis.normalize());
	u = b.getColumn(0);
	v = b.getColumn(1);
}

} // namespace

ParticleSystem::Domain::Domain() : p{}, type(NONE) {}

ParticleSystem::Domain::Domain(int t, float p1, float p2, float p3, float p4, float p5, float p6, float p7, float p8,
							   float p9)
	: p{p1, p2, p3, p4, p5, p6, p7, p8, p9}, type(t) {}

int ParticleSystem::Domain::parameterCount(int t) {
	return t >= 0 && t < TYPE_COUNT ? PARAMETER_COUNTS[t] : 0;
}

int ParticleSystem::Domain::parseType(const char* name) {
	for (int i = 0; i < TYPE_COUNT; ++i)
		if (std::strcmp(name, TYPE_NAMES[i]) == 0)
			return i;
	return UNKNOWN;
}

const char* ParticleSystem::Domain::typeName(int t) {
	return t >= 0 && t < TYPE_COUNT ? TYPE_NAMES[t] : "";
}

ParticleSystem::Domain::ParseResult ParticleSystem::Domain::parse(const char* text) {
	*this = Domain();
	const char* s = text ? text : "";
	while (*s && std::isspace((unsigned char)*s))
		++s;
	const char* wordEnd = s;
	while (*wordEnd && !std::isspace((unsigned char)*wordEnd))
		++wordEnd;
	const int wordLength = int(wordEnd - s);
	if (wordLength == 0)
		return PARSE_NO_TYPE;
	// The word is measured before it is copied, so a long one is refused instead of overrunning.
	if (wordLength > MAX_TYPE_NAME)
		return PARSE_UNKNOWN_TYPE;
	char word[MAX_TYPE_NAME + 1];
	std::memcpy(word, s, size_t(wordLength));
	word[wordLength] = 0;
	const int t = parseType(word);
	if (t == UNKNOWN)
		return PARSE_UNKNOWN_TYPE;

	Domain d;
	d.type = t;
	const char* rest = wordEnd;
	for (int i = 0; i < PARAMETER_COUNTS[t]; ++i) {
		int used = 0;
		if (std::sscanf(rest, " %g%n", &d.p[i], &used) != 1)
			return PARSE_TOO_FEW;
		rest += used;
	}
	*this = d;
	return PARSE_OK;
}

float ParticleSystem::Domain::random() {
	return unit(std::rand());
}

float ParticleSystem::Domain::unit(int value) {
	// rand() * 2^-31 rounded to float reaches 1.0 for the largest values;
	// the quotient is formed in double and kept below 1.
	const float u = float(double(value) / (double(RAND_MAX) + 1.0));
	return u < 1.f ? u : 0x1.fffffep-1f;
}

float ParticleSystem::Domain::drawScalar() const {
	switch (type) {
	case NONE:
		return 0.f;
	case CONSTANT:
		return p[0];
	case RANGE:
		return p[0] + random() * (p[1] - p[0]);
	default:
		return drawVector().x;
	}
}

math::Vector3 ParticleSystem::Domain::drawVector() const {
	switch (type) {
	case CONSTANT:
		return math::Vector3(p[0], 0.f, 0.f);
	case RANGE:
		return math::Vector3(p[0] + random() * (p[1] - p[0]), 0.f, 0.f);
	case POINT:
		return math::Vector3(p[0], p[1], p[2]);
	case SPHERE: {
		const float c = (random() - 0.5f) * 2.f;
		const float s = std::sqrt(std::max(0.f, 1.f - c * c));
		const float angle = random() * TWO_PI;
		const float u3 = random();
		const float radius = p[4] + u3 * u3 * u3 * (p[3] - p[4]);
		return math::Vector3(p[0], p[1], p[2]) + math::Vector3(std::cos(angle) * s, std::sin(angle) * s, c) * radius;
	}
	case LINE: {
		const math::Vector3 a(p[0], p[1], p[2]), b(p[3], p[4], p[5]);
		return a + (b - a) * random();
	}
	case BOX: {
		const float z = p[2] + random() * (p[5] - p[2]);
		const float y = p[1] + random() * (p[4] - p[1]);
		const float x = p[0] + random() * (p[3] - p[0]);
		return math::Vector3(x, y, z);
	}
	case CYLINDER: {
		const math::Vector3 a(p[0], p[1], p[2]), b(p[3], p[4], p[5]);
		const float u1 = random();
		const float radius = p[7] + u1 * u1 * (p[6] - p[7]);
		const float angle = random() * TWO_PI;
		math::Vector3 u, v;
		diskAxes(b - a, u, v);
		const float along = random();
		return a + (b - a) * along + u * (std::cos(angle) * radius) + v * (std::sin(angle) * radius);
	}
	case DISK: {
		const math::Vector3 origin(p[0], p[1], p[2]), normal(p[3], p[4], p[5]);
		const float u1 = random();
		const float radius = p[7] + u1 * u1 * (p[6] - p[7]);
		const float angle = random() * TWO_PI;
		math::Vector3 u, v;
		diskAxes(normal, u, v);
		return origin + u * (std::cos(angle) * radius) + v * (std::sin(angle) * radius);
	}
	case RECTANGLE: {
		const float u1 = random();
		const float u2 = random();
		return math::Vector3(p[0], p[1], p[2]) + math::Vector3(p[3], p[4], p[5]) * u2 +
			   math::Vector3(p[6], p[7], p[8]) * u1;
	}
	case TRIANGLE: {
		float u1 = random();
		float u2 = random();
		if (u1 + u2 >= 1.f) {
			u1 = 1.f - u1;
			u2 = 1.f - u2;
		}
		return math::Vector3(p[0], p[1], p[2]) + math::Vector3(p[3], p[4], p[5]) * u1 +
			   math::Vector3(p[6], p[7], p[8]) * u2;
	}
	default:
		return math::Vector3();
	}
}

} // namespace hgr
