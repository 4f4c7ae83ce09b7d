#ifndef HGR_TRANSFORMANIMATION_H
#define HGR_TRANSFORMANIMATION_H

#include <hgr/KeyframeSequence.h>
#include <lang/Array.h>
#include <lang/Object.h>
#include <lang/Ptr.h>
#include <math/Matrix3x4.h>
#include <math/Quaternion.h>
#include <math/Vector3.h>
#include <cstdint>

namespace hgr {

/**
 * Animation of one node's local transform: a position, a rotation and a scale
 * channel sampled at a time. Rotations are always an equally spaced quaternion
 * sequence; positions and scales are either equally spaced sequences or timed
 * keys (Float3Anim). One end behaviour governs all sequence channels; timed
 * keys always repeat.
 */
class TransformAnimation : public lang::Object {
public:
	/** Three-component keys, each at its own time; the times rise from key to key. */
	class Float3Anim : public lang::Object {
	public:
		/** One timed key: value x, y, z at time. */
		struct Key {
			float x, y, z, time;
		};

		/** No keys. */
		Float3Anim() {}

		/** Appends a key; the caller keeps the times rising. */
		void addKey(const math::Vector3& value, float time) { m_keys.add(Key{value.x, value.y, value.z, time}); }

		int getKeyCount() const { return m_keys.size(); }
		/** Key i, 0 <= i < getKeyCount(). */
		const Key& getKey(int i) const { return m_keys[i]; }

		/**
		 * The value at time: linear between the two keys around it, a time past
		 * the last key wrapped by fmod with the last key's time, a time before
		 * the first key (or at the last) the last key's value. (0, 0, 0) without keys.
		 */
		math::Vector3 sample(float time) const;

	private:
		lang::Array<Key> m_keys;
	};

	/**
	 * Animation from three equally spaced sequences (positions as three
	 * components, rotations as quaternions x, y, z, w, scales as three
	 * components); position and scale may be null. Rates are keys per time
	 * unit (0 to 255). Length 0. Throws lang::Exception for an end behaviour
	 * outside 0 to 3 or a rate outside 0 to 255.
	 */
	TransformAnimation(int endBehaviour, KeyframeSequence* positions, KeyframeSequence* rotations,
					   KeyframeSequence* scales, int positionRate, int rotationRate, int scaleRate);

	/**
	 * Animation from timed position and scale keys (either may be null) and a
	 * rotation sequence, with the given length in time units. Throws as the
	 * constructor above.
	 */
	TransformAnimation(int endBehaviour, Float3Anim* positionKeys, KeyframeSequence* rotations, Float3Anim* scaleKeys,
					   int positionRate, int rotationRate, int scaleRate, float length);

	~TransformAnimation() override;

	/**
	 * Length in time units of keyCount equally spaced keys at rate keys per
	 * time unit (0 for a rate of 0): the length that files storing none give
	 * their animations, from the rotation sequence's count and rate.
	 */
	static float getKeyLength(int keyCount, int rate);

	/**
	 * Position, unit rotation and scale at time. A missing or empty position
	 * channel gives (0, 0, 0), a missing or empty rotation channel the
	 * identity, a missing or empty scale channel (1, 1, 1). Rotation keys that
	 * are zero or not finite count as the identity.
	 */
	void eval(math::Vector3& position, math::Quaternion& rotation, math::Vector3& scale, float time) const;

	/** eval with the time first. */
	void eval(float time, math::Vector3& position, math::Quaternion& rotation, math::Vector3& scale) const {
		eval(position, rotation, scale, time);
	}

	/** The transform at time: [R(rotation) * diag(scale) | position]. */
	void getTransform(math::Matrix3x4& transform, float time) const;

	/** The transform at time, returned. */
	math::Matrix3x4 getTransform(float time) const {
		math::Matrix3x4 transform;
		getTransform(transform, time);
		return transform;
	}

	/** The stored length: the time at which playing to the end stops. */
	float getLength() const { return m_length; }
	float getEndTime() const { return m_length; }

	int getEndBehaviour() const { return m_endBehaviour; }

	KeyframeSequence* getPositionSequence() const { return m_positions; }
	KeyframeSequence* getRotationSequence() const { return m_rotations; }
	KeyframeSequence* getScaleSequence() const { return m_scales; }
	Float3Anim* getPositionKeys() const { return m_positionKeys; }
	Float3Anim* getScaleKeys() const { return m_scaleKeys; }

private:
	float m_length;
	lang::Ptr<KeyframeSequence> m_positions;
	lang::Ptr<KeyframeSequence> m_rotations;
	lang::Ptr<KeyframeSequence> m_scales;
	uint8_t m_positionRate;
	uint8_t m_rotationRate;
	uint8_t m_scaleRate;
	uint8_t m_endBehaviour;
	lang::Ptr<Float3Anim> m_positionKeys;
	lang::Ptr<Float3Anim> m_scaleKeys;

	void setBehaviourAndRates(int endBehaviour, int positionRate, int rotationRate, int scaleRate);

	/** Catmull-Rom sample of a three-component sequence with at least one key. */
	math::Vector3 sampleSequence(const KeyframeSequence& seq, int rate, float time) const;

	TransformAnimation(const TransformAnimation&) = delete;
	TransformAnimation& operator=(const TransformAnimation&) = delete;
};

} // namespace hgr

#endif
