#ifndef HGR_VIEWFRUSTUM_H
#define HGR_VIEWFRUSTUM_H

#include <math/Matrix3x4.h>
#include <math/Vector3.h>
#include <math/Vector4.h>

namespace hgr {

/**
 * The projection part of a camera: aspect, front and back distances and the
 * vertical field of view (the horizontal one is derived with the aspect of
 * the moment), with the world-space culling planes and the sphere and box
 * tests against them. Planes are ordered left, right, front, back, top,
 * bottom; each normal points out, so a point is inside when its signed value
 * is not above zero.
 */
class ViewFrustum {
public:
	enum { PLANE_LEFT, PLANE_RIGHT, PLANE_FRONT, PLANE_BACK, PLANE_TOP, PLANE_BOTTOM, PLANE_COUNT };

	/** Aspect 1.33, front 1, back 10000, vertical field of view 1.2886412 radians. */
	ViewFrustum();

	void setVerticalFov(float radians) { m_verticalFov = radians; }
	float getVerticalFov() const { return m_verticalFov; }
	/** Stores the vertical field of view that gives h with the current aspect. */
	void setHorizontalFov(float h);
	float getHorizontalFov() const;

	void setFront(float front) { m_front = front; }
	float getFront() const { return m_front; }
	void setBack(float back) { m_back = back; }
	float getBack() const { return m_back; }
	void setAspect(float aspect) { m_aspect = aspect; }
	float getAspect() const { return m_aspect; }

	/** Width, height and distance of the front plane. */
	float getFrontWidth() const;
	float getFrontHeight() const;
	float getFrontDistance() const { return m_front; }

	/** Field-of-view conversions for a given aspect (front does not change the result). */
	static float verticalFovFromHorizontal(float h, float front, float aspect);
	static float horizontalFovFromVertical(float v, float front, float aspect);

	/** Computes the six world-space planes for a camera with world transform M. */
	void updatePlanes(const math::Matrix3x4& M, math::Vector4* planes) const;

	/**
	 * True when the sphere of radius r about T's translation may be visible,
	 * false when it lies wholly outside one plane, whose index is then stored
	 * in cached (the plane tested first next time). The radius grows with the
	 * largest scale of T.
	 */
	static bool testSphere(const math::Matrix3x4& T, const math::Vector4* planes, int& cached, float r);

	/** True unless all eight corners of the local box, transformed by T, lie outside one plane. */
	static bool testBox(const math::Matrix3x4& T, const math::Vector4* planes, int& cached, const math::Vector3& boxMin,
						const math::Vector3& boxMax);

	/** The same for an axis-aligned world box, planes tested in order. */
	static bool testWorldBox(const math::Vector4* planes, const math::Vector3& boxMin, const math::Vector3& boxMax);

private:
	float m_aspect;
	float m_front;
	float m_back;
	float m_verticalFov;
};

} // namespace hgr

#endif
