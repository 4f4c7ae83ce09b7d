#include <hgr/TransformAnimation.h>

#include <gr/VertexFormat.h>
#include <lang/Exception.h>
#include <lang/Format.h>

#include <cmath>

namespace hgr {

namespace {

/** A key usable as a rotation: not zero and finite. Anything else reads as the identity. */
math::Quaternion usableKey(const math::Quaternion& q) {
	const float len2 = q.dot(q);
	if (len2 > math::MIN_NORMAL_FLOAT && math::isFiniteFloat(len2))
		return q;
	return math::Quaternion();
}

/** q scaled to unit length; the identity when q cannot be (zero, or overflowing or NaN components). */
math::Quaternion unitOrIdentity(const math::Quaternion& q) {
	const float len2 = q.dot(q);
	if (!(len2 > math::MIN_NORMAL_FLOAT) || !math::isFiniteFloat(len2))
		return math::Quaternion();
	const math::Quaternion r = q * (1.f / std::sqrt(len2));
	return r.isFinite() ? r : math::Quaternion();
}

} // namespace

math::Vector3 TransformAnimation::Float3Anim::sample(float time) const {
	const int n = m_keys.size();
	if (n == 0)
		return math::Vector3();
	if (n == 1)
		return math::Vector3(m_keys[0].x, m_keys[0].y, m_keys[0].z);
	const Key& last = m_keys[n - 1];
	if (time > last.time)
		time = std::fmod(time, last.time);
	for (int i = 0; i + 1 < n; ++i) {
		const Key& a = m_keys[i];
		const Key& b = m_keys[i + 1];
		if (a.time <= time && time < b.time) {
			const float f = (time - a.time) / (b.time - a.time);
			return math::Vector3(a.x + (b.x - a.x) * f, a.y + (b.y - a.y) * f, a.z + (b.z - a.z) * f);
		}
	}
	return math::Vector3(last.x, last.y, last.z);
}

TransformAnimation::TransformAnimation(int endBehaviour, KeyframeSequence* positions, KeyframeSequence* rotations,
									   KeyframeSequence* scales, int positionRate, int rotationRate, int scaleRate)
	: m_length(0.f), m_positions(positions), m_rotations(rotations), m_scales(scales) {
	setBehaviourAndRates(endBehaviour, positionRate, rotationRate, scaleRate);
}

TransformAnimation::TransformAnimation(int endBehaviour, Float3Anim* positionKeys, KeyframeSequence* rotations,
									   Float3Anim* scaleKeys, int positionRate, int rotationRate, int scaleRate,
									   float length)
	: m_length(length), m_rotations(rotations), m_positionKeys(positionKeys), m_scaleKeys(scaleKeys) {
	setBehaviourAndRates(endBehaviour, positionRate, rotationRate, scaleRate);
}

TransformAnimation::~TransformAnimation() {}

void TransformAnimation::setBehaviourAndRates(int endBehaviour, int positionRate, int rotationRate, int scaleRate) {
	if (endBehaviour < 0 || endBehaviour >= KeyframeSequence::END_BEHAVIOUR_COUNT)
		throw lang::Exception(lang::Format("Invalid transform animation end behaviour ({0})", endBehaviour));
	const int rates[3] = {positionRate, rotationRate, scaleRate};
	for (int rate : rates)
		if (rate < 0 || rate > 255)
			throw lang::Exception(lang::Format("Invalid transform animation rate ({0})", rate));
	m_endBehaviour = (uint8_t)endBehaviour;
	m_positionRate = (uint8_t)positionRate;
	m_rotationRate = (uint8_t)rotationRate;
	m_scaleRate = (uint8_t)scaleRate;
}

float TransformAnimation::getKeyLength(int keyCount, int rate) {
	if (rate <= 0 || keyCount <= 0)
		return 0.f;
	return (float)keyCount / (float)rate;
}

math::Vector3 TransformAnimation::sampleSequence(const KeyframeSequence& seq, int rate, float time) const {
	int idx[4];
	float u = 0.f;
	KeyframeSequence::getKeyframeIndices(m_endBehaviour, seq.getKeyCount(), idx, &u, time, (float)rate);
	float k[4][3];
	for (int i = 0; i < 4; ++i)
		seq.getKey(idx[i], k[i], 12, gr::VertexFormat::V3_32, 1);
	math::Vector3 out;
	KeyframeSequence::interpolateCatmullRom(3, k[0], k[1], k[2], k[3], &out.x, u);
	return out;
}

void TransformAnimation::eval(math::Vector3& position, math::Quaternion& rotation, math::Vector3& scale,
							  float time) const {
	// An empty channel is never read: key 0 of an empty sequence has no bytes behind it.
	if (m_positions)
		position = m_positions->getKeyCount() > 0 ? sampleSequence(*m_positions, m_positionRate, time)
												  : math::Vector3();
	else if (m_positionKeys)
		position = m_positionKeys->sample(time);
	else
		position = math::Vector3();

	rotation = math::Quaternion();
	if (m_rotations && m_rotations->getKeyCount() > 0) {
		int idx[4];
		float u = 0.f;
		KeyframeSequence::getKeyframeIndices(m_endBehaviour, m_rotations->getKeyCount(), idx, &u, time,
											 (float)m_rotationRate);
		math::Quaternion q1, q2;
		m_rotations->getKey(idx[1], &q1.x, 16, gr::VertexFormat::V4_32, 1);
		m_rotations->getKey(idx[2], &q2.x, 16, gr::VertexFormat::V4_32, 1);
		q1 = usableKey(q1);
		q2 = usableKey(q2);
		// q and -q are the same rotation: take the shorter arc.
		if (q1.dot(q2) < 0.f)
			q2 = -q2;
		rotation = unitOrIdentity(math::Quaternion::slerp(q1, q2, u));
	}

	if (m_scales)
		scale = m_scales->getKeyCount() > 0 ? sampleSequence(*m_scales, m_scaleRate, time)
											: math::Vector3(1.f, 1.f, 1.f);
	else if (m_scaleKeys && m_scaleKeys->getKeyCount() > 0)
		scale = m_scaleKeys->sample(time);
	else
		scale = math::Vector3(1.f, 1.f, 1.f);
}

void TransformAnimation::getTransform(math::Matrix3x4& transform, float time) const {
	math::Vector3 position, scale;
	math::Quaternion rotation;
	eval(position, rotation, scale, time);
	transform.compose(rotation, position, scale);
}

} // namespace hgr
