#include <gr/DIPrimitive.h>
#include <algorithm>

namespace gr {

namespace {

enum { BONE_TABLE = 255 };

// Bone number of a decoded index truncated toward zero, or -1 when that
// lies outside 0..limit-1 (NaN included), so that no table is indexed out
// of bounds.
inline int boneNumber(float index, int limit) {
	if (!(index > -1.f && index < float(limit)))
		return -1;
	return int(index);
}

inline float component(const math::Vector4& v, int k) {
	return k == 0 ? v.x : k == 1 ? v.y : k == 2 ? v.z : v.w;
}

inline void setComponent(math::Vector4& v, int k, float f) {
	(k == 0 ? v.x : k == 1 ? v.y : k == 2 ? v.z : v.w) = f;
}

// Unlocks on scope exit without touching the reference count, so that a
// primitive nobody counts yet is not deleted.
class ScopedLock {
public:
	ScopedLock(ContextObject* object, int mode) : m_object(object) { m_object->lock(mode); }
	~ScopedLock() { m_object->unlock(); }

private:
	ContextObject* m_object;
};

} // namespace

void DIPrimitive::updateUsedBones() {
	if (m_format.getDataFormat(VertexFormat::DT_BONEINDICES) == VertexFormat::NONE)
		return;

	m_usedBoneCount = 0;
	bool flags[BONE_TABLE] = {};
	const int n = m_vertexCount;
	lang::Array<math::Vector4> weights(n);
	lang::Array<math::Vector4> indices(n);
	getBoneWeights(0, weights.begin(), n);
	getBoneIndices(0, indices.begin(), n);
	for (int i = 0; i < n; ++i) {
		for (int k = 0; k < 4; ++k) {
			if (!(component(weights[i], k) > 0.f))
				continue;
			const int bone = boneNumber(component(indices[i], k), BONE_TABLE);
			if (bone >= 0)
				flags[bone] = true;
		}
	}

	uint8_t list[BONE_TABLE];
	int count = 0;
	for (int b = 0; b < BONE_TABLE; ++b) {
		if (flags[b])
			list[count++] = uint8_t(b);
	}
	setUsedBones(list, count);

	int remap[BONE_TABLE] = {};
	for (int j = 0; j < count; ++j)
		remap[list[j]] = j;

	for (int i = 0; i < n; ++i) {
		for (int k = 0; k < 4; ++k) {
			const int bone = boneNumber(component(indices[i], k), BONE_TABLE);
			setComponent(indices[i], k, bone >= 0 ? float(remap[bone]) : 0.f);
		}
	}
	setBoneIndices(0, indices.begin(), n);
}

void DIPrimitive::collectBoneBatch(Primitive* primitive, int maxBones, lang::Array<int>& taken,
								   lang::Array<int>& remaining) {
	ScopedLock lock(primitive, LOCK_READ);

	remaining.clear();
	const int indexCount = primitive->getIndexCount();
	const int triangles = indexCount / 3;
	for (int t = 0; t < triangles; ++t)
		remaining.add(t);
	if (triangles == 0)
		return;

	// Bones of each triangle (weight above 0, inside the used-bone list),
	// sorted and without duplicates: at most 12.
	const int usedCount = primitive->getUsedBoneCount();
	const int vertexCount = primitive->getVertexCount();
	lang::Array<int> indices(3 * triangles);
	primitive->getIndices(0, indices.begin(), 3 * triangles);
	lang::Array<math::Vector4> weights(vertexCount);
	lang::Array<math::Vector4> bones(vertexCount);
	primitive->getBoneWeights(0, weights.begin(), vertexCount);
	primitive->getBoneIndices(0, bones.begin(), vertexCount);

	lang::Array<int> triangleBones(12 * triangles, -1);
	for (int t = 0; t < triangles; ++t) {
		int* list = &triangleBones[12 * t];
		int n = 0;
		for (int c = 0; c < 3; ++c) {
			const int v = indices[3 * t + c];
			if (v < 0 || v >= vertexCount)
				continue;
			for (int k = 0; k < 4; ++k) {
				if (!(component(weights[v], k) > 0.f))
					continue;
				const int bone = boneNumber(component(bones[v], k), usedCount);
				if (bone >= 0)
					list[n++] = bone;
			}
		}
		std::sort(list, list + n);
		std::fill(std::unique(list, list + n), list + 12, -1);
	}

	lang::Array<bool> flags(usedCount > 0 ? usedCount : 1, false);
	int batchBones = 0;
	while (remaining.size() > 0) {
		int winner = -1;
		int winnerNew = 0;
		for (int r = 0; r < remaining.size(); ++r) {
			const int* list = &triangleBones[12 * remaining[r]];
			int added = 0;
			for (int k = 0; k < 12 && list[k] >= 0; ++k) {
				if (!flags[list[k]])
					++added;
			}
			if (winner < 0 || added < winnerNew) {
				winner = r;
				winnerNew = added;
			}
		}

		if (batchBones + winnerNew > maxBones)
			break;

		const int triangle = remaining[winner];
		const int* list = &triangleBones[12 * triangle];
		for (int k = 0; k < 12 && list[k] >= 0; ++k)
			flags[list[k]] = true;
		batchBones += winnerNew;
		for (int r = winner; r + 1 < remaining.size(); ++r)
			remaining[r] = remaining[r + 1];
		remaining.resize(remaining.size() - 1);
		taken.add(triangle);
	}
}

} // gr
