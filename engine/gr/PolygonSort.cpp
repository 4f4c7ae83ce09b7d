#include <gr/DIPrimitive.h>
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>

namespace gr {

namespace {

// Bone matrix transform of the skinned sort: upper 3x3 rows and the fourth
// row as translation. A bone outside the table leaves the point unchanged.
math::Vector3 boneTransform(const math::Matrix4x4* bones, int boneCount, float index, const math::Vector3& p) {
	if (!(index > -1.f && index < float(boneCount)))
		return p;
	const math::Matrix4x4& M = bones[int(index)];
	return math::Vector3(M.m[0][0] * p.x + M.m[0][1] * p.y + M.m[0][2] * p.z + M.m[3][0],
						 M.m[1][0] * p.x + M.m[1][1] * p.y + M.m[1][2] * p.z + M.m[3][1],
						 M.m[2][0] * p.x + M.m[2][1] * p.y + M.m[2][2] * p.z + M.m[3][2]);
}

} // namespace

void DIPrimitive::sortPolygons(const math::Vector3& eye, const math::Matrix4x4& transform, bool scaled,
							   const math::Matrix4x4* boneMatrices, int boneMatrixCount, PolygonSortBuffer& buffer,
							   bool descending) {
	uint16_t* indices = indexList();
	if (m_indexCount < 3 || !indices)
		return;

	const int n = m_indexCount / 3;
	buffer.reserve(m_indexCount + n, n);
	float* keys = buffer.floats();
	uint16_t* order = buffer.shorts();
	uint16_t* scratch = order + n;

	const uint8_t* positions = array(VertexFormat::DT_POSITION);
	const int positionFormat = m_format.getDataFormat(VertexFormat::DT_POSITION);
	const int positionSize = VertexFormat::getDataFormatSize(positionFormat);
	const uint8_t* weights = array(VertexFormat::DT_BONEWEIGHTS);
	const int weightFormat = m_format.getDataFormat(VertexFormat::DT_BONEWEIGHTS);
	const int weightSize = VertexFormat::getDataFormatSize(weightFormat);
	const uint8_t* bones = array(VertexFormat::DT_BONEINDICES);
	const int boneFormat = m_format.getDataFormat(VertexFormat::DT_BONEINDICES);
	const int boneSize = VertexFormat::getDataFormatSize(boneFormat);
	const bool skinned = weights && boneMatrices && boneMatrixCount > 0;

	// Stored positions stand for position * scale + bias, and the transform
	// applies to those.
	const float scale = scaled ? m_positionScale.x : 1.f;
	const math::Vector3 bias = scaled ? math::Vector3(m_positionScale.y, m_positionScale.z, m_positionScale.w)
									  : math::Vector3();
	const float third = 1.f / 3.f;

	for (int i = 0; i < n; ++i) {
		math::Vector3 sum;
		for (int c = 0; c < 3; ++c) {
			const int v = indices[3 * i + c];
			float e[4] = {0.f, 0.f, 0.f, 0.f};
			// An index past the vertices reads as the origin.
			if (positions && v < m_vertexCount)
				VertexFormat::readElement(positionFormat, positions + ptrdiff_t(v) * positionSize, e);
			math::Vector3 p(e[0] * scale + bias.x, e[1] * scale + bias.y, e[2] * scale + bias.z);
			if (skinned) {
				float w[4] = {0.f, 0.f, 0.f, 0.f};
				float b[4] = {0.f, 0.f, 0.f, 0.f};
				if (v < m_vertexCount) {
					VertexFormat::readElement(weightFormat, weights + ptrdiff_t(v) * weightSize, w);
					if (bones)
						VertexFormat::readElement(boneFormat, bones + ptrdiff_t(v) * boneSize, b);
				}
				const float w0 = w[0];
				p = boneTransform(boneMatrices, boneMatrixCount, b[0], p) * w0 +
					boneTransform(boneMatrices, boneMatrixCount, b[1], p) * (1.f - w0);
			}
			sum += p;
		}

		math::Vector4 centre(sum.x * third, sum.y * third, sum.z * third, 1.f);
		if (!skinned)
			centre = transform.transform(centre);
		const float dx = centre.x - eye.x, dy = centre.y - eye.y, dz = centre.z - eye.z, dw = centre.w - 1.f;
		float key = dx * dx + dy * dy + dz * dz + dw * dw;
		// NaN would break the ordering the sort relies on.
		if (std::isnan(key))
			key = FLT_MAX;
		keys[i] = key;
		order[i] = uint16_t(i);
	}

	if (descending)
		std::sort(order, order + n, [keys](uint16_t a, uint16_t b) { return keys[a] > keys[b]; });
	else
		std::sort(order, order + n, [keys](uint16_t a, uint16_t b) { return keys[a] < keys[b]; });

	for (int i = 0; i < n; ++i) {
		const uint16_t* t = indices + 3 * order[i];
		scratch[3 * i] = t[0];
		scratch[3 * i + 1] = t[1];
		scratch[3 * i + 2] = t[2];
	}
	memcpy(indices, scratch, size_t(3 * n) * 2);
}

void DIPrimitive::sortPolygonsBackToFront(const math::Vector3& eye, const math::Matrix4x4& transform,
										  const math::Matrix4x4* boneMatrices, int boneMatrixCount,
										  PolygonSortBuffer& buffer) {
	sortPolygons(eye, transform, true, boneMatrices, boneMatrixCount, buffer, true);
}

void DIPrimitive::sortPolygonsFrontToBack(const math::Vector3& eye, const math::Matrix4x4& transform,
										  const math::Matrix4x4* boneMatrices, int boneMatrixCount,
										  PolygonSortBuffer& buffer) {
	sortPolygons(eye, transform, true, boneMatrices, boneMatrixCount, buffer, false);
}

void DIPrimitive::sortPolygonsInsideOut(PolygonSortBuffer& buffer) {
	sortPolygons(computeCenter(), math::Matrix4x4(1.f), false, nullptr, 0, buffer, false);
}

void DIPrimitive::sortPolygonsOutsideIn(PolygonSortBuffer& buffer) {
	sortPolygons(computeCenter(), math::Matrix4x4(1.f), false, nullptr, 0, buffer, true);
}

math::Vector3 DIPrimitive::computeCenter() const {
	float lo[3] = {FLT_MAX, FLT_MAX, FLT_MAX};
	float hi[3] = {-FLT_MAX, -FLT_MAX, -FLT_MAX};
	const uint8_t* positions = array(VertexFormat::DT_POSITION);
	const int df = m_format.getDataFormat(VertexFormat::DT_POSITION);
	const int size = VertexFormat::getDataFormatSize(df);
	for (int v = 0; positions && v < m_vertexCount; ++v) {
		float e[4] = {0.f, 0.f, 0.f, 0.f};
		VertexFormat::readElement(df, positions + ptrdiff_t(v) * size, e);
		for (int k = 0; k < 3; ++k) {
			lo[k] = std::min(lo[k], e[k]);
			hi[k] = std::max(hi[k], e[k]);
		}
	}
	return math::Vector3((lo[0] + hi[0]) * 0.5f, (lo[1] + hi[1]) * 0.5f, (lo[2] + hi[2]) * 0.5f);
}

} // gr
