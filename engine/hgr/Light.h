#ifndef HGR_LIGHT_H
#define HGR_LIGHT_H

#include <hgr/Node.h>
#include <math/Vector3.h>

namespace hgr {

/**
 * Light node: a colour, a distance range, a cone and a type (flag bits 2-3),
 * placed by its node transform. Shaders receive only its world position and
 * colour; range, cone and type feed the falloff functions.
 */
class Light : public Node {
public:
	/** Ranges at or above this value mean unlimited. */
	static constexpr float UNLIMITED_RANGE = 1e9f;

	/** Type whose strength depends on the cone. */
	enum { TYPE_SPOT = 3 };

	/** Class id 4, white, unlimited ranges, cone 0 to 3.1384511, type 2. */
	Light();
	Light(const Light& other);
	Node* clone() const override;

	void setColor(const math::Vector3& color) { m_color = color; }
	const math::Vector3& getColor() const { return m_color; }

	/** Values above 1e9 are stored as 1e9. */
	void setNearRange(float range);
	void setFarRange(float range);
	float getNearRange() const { return m_nearRange; }
	float getFarRange() const { return m_farRange; }

	/** Stores the angle (radians) and its cosine. */
	void setInnerCone(float angle);
	void setOuterCone(float angle);
	float getInnerCone() const { return m_innerCone; }
	float getOuterCone() const { return m_outerCone; }

	/** Replaces flag bits 2-3 with type (0..3; other values are masked to two bits). */
	void setType(int type);
	int getType() const { return (getFlags() & NODE_LIGHTTYPE_MASK) >> 2; }

	/** 1 within nearRange, 0 from farRange on, a smooth step in between; 1 for an unlimited light. */
	float getDistanceFalloff(float distance) const;

	/** For a spot light: 0 outside the outer cone, 1 inside the inner one, a smooth step in between; 1 otherwise. */
	float getConeFalloff(float cosAngle) const;

	/** Diffuse light reaching a surface point with the given normal; black for a disabled light. */
	void illuminate(const math::Vector3& point, const math::Vector3& normal, math::Vector3& color) const;

private:
	math::Vector3 m_color;
	float m_nearRange;
	float m_farRange;
	float m_innerCone;
	float m_outerCone;
	float m_cosInner;
	float m_cosOuter;
};

} // namespace hgr

#endif
