#ifndef HGR_KEYFRAMESEQUENCE_H
#define HGR_KEYFRAMESEQUENCE_H

#include <lang/Array.h>
#include <lang/Object.h>
#include <lang/String.h>
#include <cstdint>

namespace hgr {

/**
 * Equally spaced animation keys stored packed in one gr::VertexFormat data
 * format, with a scale and a bias that expand quantised keys back to floats:
 * component k of a key reads as stored component k * scale + bias[k].
 */
class KeyframeSequence : public lang::Object {
public:
	/** What a sequence does after its last key. */
	enum EndBehaviour {
		/** Starts again from the first key. */
		REPEAT,
		/** Runs back to the first key, then forward again. */
		OSCILLATE,
		/** Blends back to the first key over the last interval, then holds it. */
		RESET,
		/** Holds the last key. */
		STOP,
		END_BEHAVIOUR_COUNT
	};

	/**
	 * keyCount zeroed keys of data format `format` (gr::VertexFormat::S_32 to
	 * V4_5); scale 1, bias 0. Throws lang::Exception for a negative count or,
	 * when there are keys, a format outside that range; throws
	 * lang::OutOfMemoryException when the keys would not fit in an int byte count.
	 */
	KeyframeSequence(int keyCount, int format);
	~KeyframeSequence() override;

	/** The packed key bytes, writable so that a reader can fill them. */
	uint8_t* getKeyData() { return m_data.begin(); }
	const uint8_t* getKeyData() const { return m_data.begin(); }
	/** Bytes of key data: the packed keys rounded up to a multiple of 4. */
	int getKeyDataSize() const { return m_data.size(); }

	void setScale(float scale) { m_scale = scale; }
	void setBias(float x, float y, float z, float w);

	int getKeyCount() const { return m_keyCount; }
	int getFormat() const { return m_format; }
	float getScale() const { return m_scale; }
	/** The four bias components. */
	const float* getBias() const { return m_bias; }

	/**
	 * Writes keys first .. first + count - 1, expanded with scale and bias, to
	 * dst as dstFormat elements dstStride bytes apart. Writes nothing when the
	 * range does not lie within the keys.
	 */
	void getKey(int first, void* dst, int dstStride, int dstFormat, int count) const;

	/**
	 * The keys around time * rate under endBehaviour for a sequence of keyCount
	 * keys: idx[0..3] become the keys before, at, after and two after the
	 * current interval (idx[1] to idx[2]), all within 0 .. keyCount - 1 when
	 * keyCount > 0 (all 0 for fewer than two keys). Returns the position u in
	 * [0, 1] inside the interval, also stored through fraction when given.
	 * An unknown end behaviour returns -1 and leaves idx unchanged. A
	 * negative or NaN time * rate counts as 0, an infinite one as the
	 * largest float.
	 */
	static float getKeyframeIndices(int endBehaviour, int keyCount, int* idx, float* fraction, float time, float rate);

	/**
	 * Catmull-Rom spline through k1 (u = 0) and k2 (u = 1) with k0 and k3 giving
	 * the tangents, for each of `components` floats; nothing for components < 1.
	 */
	static void interpolateCatmullRom(int components, const float* k0, const float* k1, const float* k2,
									  const float* k3, float* out, float u);

	/** "REPEAT", "OSCILLATE", "RESET", "STOP"; "INVALID" for any other value. */
	static const char* getEndBehaviourName(int endBehaviour);

	/**
	 * The end behaviour of an exact, case-sensitive name. Throws
	 * lang::Exception ("Invalid animation end behavior: ...") for any other text.
	 */
	static int parseEndBehaviour(const lang::String& name);

private:
	lang::Array<uint8_t> m_data;
	int m_keyCount;
	int m_format;
	float m_scale;
	float m_bias[4];

	KeyframeSequence(const KeyframeSequence&) = delete;
	KeyframeSequence& operator=(const KeyframeSequence&) = delete;
};

} // namespace hgr

#endif
