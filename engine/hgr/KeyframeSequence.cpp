#include <hgr/KeyframeSequence.h>

#include <gr/VertexFormat.h>
#include <lang/Exception.h>
#include <lang/Format.h>
#include <lang/OutOfMemoryException.h>

#include <cfloat>
#include <climits>
#include <cmath>

namespace hgr {

namespace {

const char* const END_BEHAVIOUR_NAMES[KeyframeSequence::END_BEHAVIOUR_COUNT] = {"REPEAT", "OSCILLATE", "RESET", "STOP"};

/** Largest element of any data format: the bound that keeps byte counts in range. */
const int MAX_ELEMENT_SIZE = 16;

} // namespace

KeyframeSequence::KeyframeSequence(int keyCount, int format)
	: m_keyCount(0), m_format(format), m_scale(1.f), m_bias{0.f, 0.f, 0.f, 0.f} {
	if (keyCount < 0)
		throw lang::Exception(lang::Format("Invalid keyframe count ({0})", keyCount));
	if (keyCount > 0 && gr::VertexFormat::getDataFormatSize(format) == 0)
		throw lang::Exception(lang::Format("Invalid keyframe data format ({0})", format));
	if (keyCount > INT_MAX / MAX_ELEMENT_SIZE)
		throw lang::OutOfMemoryException();
	m_data.resize(gr::VertexFormat::getDataSize(format, keyCount), 0);
	m_keyCount = keyCount;
}

KeyframeSequence::~KeyframeSequence() {}

void KeyframeSequence::setBias(float x, float y, float z, float w) {
	m_bias[0] = x;
	m_bias[1] = y;
	m_bias[2] = z;
	m_bias[3] = w;
}

void KeyframeSequence::getKey(int first, void* dst, int dstStride, int dstFormat, int count) const {
	if (first < 0 || count <= 0 || first > m_keyCount - count)
		return;
	const int size = gr::VertexFormat::getDataFormatSize(m_format);
	const float scale[4] = {m_scale, m_scale, m_scale, m_scale};
	gr::VertexFormat::copyVertexDataScaled(dst, dstStride, dstFormat, m_data.begin() + first * size, size, m_format,
										   scale, m_bias, count);
}

float KeyframeSequence::getKeyframeIndices(int endBehaviour, int keyCount, int* idx, float* fraction, float time,
										   float rate) {
	float u = 0.f;
	float p = time * rate;
	if (!(p >= 0.f))
		p = 0.f;
	else if (p > FLT_MAX)
		p = FLT_MAX;
	const int n = keyCount;

	if (n < 2) {
		idx[0] = idx[1] = idx[2] = idx[3] = 0;
	} else if (endBehaviour == REPEAT) {
		// In double, fmod and the truncation stay exact for any key count.
		const double f = std::fmod((double)p, (double)n);
		const int i = (int)f;
		u = (float)(f - std::floor(f));
		idx[0] = (n + i - 1) % n;
		idx[1] = i;
		idx[2] = (i + 1) % n;
		idx[3] = (i + 2) % n;
	} else if (endBehaviour == OSCILLATE) {
		// Keys run 0 .. n-1, n-1 .. 0 over a period of 2n intervals.
		const int m = 2 * n;
		const double f = std::fmod((double)p, (double)m);
		u = (float)(f - std::floor(f));
		const int j = (int)std::floor(f);
		for (int k = 0; k < 4; ++k) {
			const int h = (m + j + k - 1) % m;
			idx[k] = h < n ? h : m - 1 - h;
		}
	} else if (endBehaviour == RESET || endBehaviour == STOP) {
		// Past n + 1 every index is out of range, so g is bounded there to keep the cast defined.
		int g;
		if ((double)p >= (double)n + 1.0)
			g = n + 1;
		else
			g = (int)p;
		if (g >= n)
			u = endBehaviour == STOP ? 1.f : 0.f;
		else
			u = p - std::floor(p);
		const int past = endBehaviour == STOP ? n - 1 : 0;
		for (int k = 0; k < 4; ++k) {
			const int i = g + k - 1;
			idx[k] = i < 0 ? 0 : (i >= n ? past : i);
		}
	} else {
		u = -1.f;
	}

	if (fraction)
		*fraction = u;
	return u;
}

void KeyframeSequence::interpolateCatmullRom(int components, const float* k0, const float* k1, const float* k2,
											 const float* k3, float* out, float u) {
	const float u2 = u * u;
	const float u3 = u2 * u;
	const float h00 = 2.f * u3 - 3.f * u2 + 1.f;
	const float h01 = 3.f * u2 - 2.f * u3;
	const float h10 = u3 - 2.f * u2 + u;
	const float h11 = u3 - u2;
	for (int j = 0; j < components; ++j) {
		const float m1 = (k2[j] - k0[j]) * 0.5f;
		const float m2 = (k3[j] - k1[j]) * 0.5f;
		out[j] = h00 * k1[j] + h01 * k2[j] + h10 * m1 + h11 * m2;
	}
}

const char* KeyframeSequence::getEndBehaviourName(int endBehaviour) {
	if (endBehaviour < 0 || endBehaviour >= END_BEHAVIOUR_COUNT)
		return "INVALID";
	return END_BEHAVIOUR_NAMES[endBehaviour];
}

int KeyframeSequence::parseEndBehaviour(const lang::String& name) {
	for (int i = 0; i < END_BEHAVIOUR_COUNT; ++i)
		if (name.compareTo(END_BEHAVIOUR_NAMES[i]) == 0)
			return i;
	throw lang::Exception(lang::Format("Invalid animation end behavior: {0}", name));
}

} // namespace hgr
