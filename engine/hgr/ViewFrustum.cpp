#include <hgr/ViewFrustum.h>
#include <cmath>

namespace hgr {

namespace {

inline float planeValue(const math::Vector4& plane, const math::Vector3& p) {
	return plane.x * p.x + plane.y * p.y + plane.z * p.z + plane.w;
}

bool boxOutsidePlane(const math::Vector4& plane, const math::Vector3* corners) {
	for (int i = 0; i < 8; ++i) {
		if (planeValue(plane, corners[i]) <= 0.f)
			return false;
	}
	return true;
}

void boxCorners(const math::Vector3& a, const math::Vector3& b, math::Vector3* out) {
	for (int i = 0; i < 8; ++i)
		out[i] = math::Vector3(i & 1 ? b.x : a.x, i & 2 ? b.y : a.y, i & 4 ? b.z : a.z);
}

} // namespace

ViewFrustum::ViewFrustum() : m_aspect(1.33f), m_front(1.f), m_back(10000.f), m_verticalFov(1.2886412f) {}

float ViewFrustum::verticalFovFromHorizontal(float h, float, float aspect) {
	return 2.f * std::atan(std::fabs(std::tan(h * 0.5f)) / aspect);
}

float ViewFrustum::horizontalFovFromVertical(float v, float, float aspect) {
	return 2.f * std::atan(std::fabs(std::tan(v * 0.5f)) * aspect);
}

void ViewFrustum::setHorizontalFov(float h) {
	m_verticalFov = verticalFovFromHorizontal(h, m_front, m_aspect);
}

float ViewFrustum::getHorizontalFov() const {
	return horizontalFovFromVertical(m_verticalFov, m_front, m_aspect);
}

float ViewFrustum::getFrontWidth() const {
	return 2.f * m_front * std::fabs(std::tan(getHorizontalFov() * 0.5f));
}

float ViewFrustum::getFrontHeight() const {
	return getFrontWidth() / m_aspect;
}

void ViewFrustum::updatePlanes(const math::Matrix3x4& M, math::Vector4* planes) const {
	// Half the horizontal opening straight from the vertical one; going through
	// the front plane's size would divide 0 by 0 for a front distance of 0.
	const float halfV = m_verticalFov * 0.5f;
	const float a = std::atan(std::fabs(std::tan(halfV)) * m_aspect);

	const math::Vector3 yAxis(0.f, 1.f, 0.f);
	const math::Vector3 xAxis(1.f, 0.f, 0.f);
	const math::Vector3 left = math::Vector3(-1.f, 0.f, 0.f).rotate(yAxis, -a);
	const math::Vector3 right = math::Vector3(1.f, 0.f, 0.f).rotate(yAxis, a);
	const math::Vector3 top = math::Vector3(0.f, 1.f, 0.f).rotate(xAxis, -halfV);
	const math::Vector3 bottom = math::Vector3(0.f, -1.f, 0.f).rotate(xAxis, halfV);

	const math::Vector3 P = M.getColumn(3);
	const math::Vector3 F = M.getColumn(2);
	planes[PLANE_LEFT] = math::makePlane(M.rotate(left), P);
	planes[PLANE_RIGHT] = math::makePlane(M.rotate(right), P);
	planes[PLANE_FRONT] = math::makePlane(-F, P + F * m_front);
	planes[PLANE_BACK] = math::makePlane(F, P + F * m_back);
	planes[PLANE_TOP] = math::makePlane(M.rotate(top), P);
	planes[PLANE_BOTTOM] = math::makePlane(M.rotate(bottom), P);
}

bool ViewFrustum::testSphere(const math::Matrix3x4& T, const math::Vector4* planes, int& cached, float r) {
	float largest = 0.f;
	bool scaled = false;
	for (int c = 0; c < 3; ++c) {
		const float sq = T.m[0][c] * T.m[0][c] + T.m[1][c] * T.m[1][c] + T.m[2][c] * T.m[2][c];
		if (std::fabs(sq - 1.f) > 1e-5f)
			scaled = true;
		if (sq > largest)
			largest = sq;
	}
	if (scaled)
		r *= std::sqrt(largest);

	const math::Vector3 c(T.m[0][3], T.m[1][3], T.m[2][3]);
	const int start = (cached >= 0 && cached < PLANE_COUNT) ? cached : 0;
	for (int k = 0; k < PLANE_COUNT; ++k) {
		int i = start + k;
		if (i >= PLANE_COUNT)
			i -= PLANE_COUNT;
		if (planeValue(planes[i], c) > r) {
			cached = i;
			return false;
		}
	}
	return true;
}

bool ViewFrustum::testBox(const math::Matrix3x4& T, const math::Vector4* planes, int& cached,
						  const math::Vector3& boxMin, const math::Vector3& boxMax) {
	math::Vector3 corners[8];
	boxCorners(boxMin, boxMax, corners);
	for (int i = 0; i < 8; ++i)
		corners[i] = T.transform(corners[i]);
	if (cached < 0 || cached >= PLANE_COUNT)
		cached = 0;
	for (int k = 0; k < PLANE_COUNT; ++k) {
		int i = cached + k;
		if (i >= PLANE_COUNT)
			i -= PLANE_COUNT;
		if (boxOutsidePlane(planes[i], corners)) {
			cached = i;
			return false;
		}
	}
	return true;
}

bool ViewFrustum::testWorldBox(const math::Vector4* planes, const math::Vector3& boxMin, const math::Vector3& boxMax) {
	math::Vector3 corners[8];
	boxCorners(boxMin, boxMax, corners);
	for (int i = 0; i < PLANE_COUNT; ++i) {
		if (boxOutsidePlane(planes[i], corners))
			return false;
	}
	return true;
}

} // namespace hgr
