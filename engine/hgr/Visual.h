#ifndef HGR_VISUAL_H
#define HGR_VISUAL_H

#include <hgr/Node.h>
#include <lang/Array.h>
#include <math/Vector3.h>

namespace gr {
class Context;
class Primitive;
class Shader;
}

namespace hgr {

class Camera;

/**
 * Base of every node that draws: a bounding box (in local coordinates, or in
 * world coordinates when flag bit 9 is set) and a bounding sphere radius about
 * the node's origin, where exactly 1e10 means never culled.
 */
class Visual : public Node {
public:
	/** Radius that exempts a visual from culling. */
	static constexpr float UNBOUNDED_RADIUS = 1e10f;

	/** Class id 8, box (-1e10..1e10), radius 1e10, enabled. */
	Visual();
	Visual(const Visual& other);

	/** The base has nothing to copy of its own and returns null; concrete visuals return a copy. */
	Visual* clone() const override;

	/** Draws the parts whose shader has render priority `priority`, with the camera's transforms of this frame. */
	virtual void render(gr::Context* context, Camera* camera, int priority) = 0;

	/** Appends the shaders the visual draws with (duplicates allowed). */
	virtual void getShaders(lang::Array<gr::Shader*>& out) = 0;

	/** Recomputes the bounds from the content. */
	virtual void computeBoundBox() = 0;

	/** Local box: stores both corners and clears flag bit 9. */
	void setBoundBox(const math::Vector3& boxMin, const math::Vector3& boxMax);
	/** World box: stores both corners and sets flag bit 9. */
	void setWorldBoundBox(const math::Vector3& boxMin, const math::Vector3& boxMax);
	void setBoundRadius(float radius) { m_boundRadius = radius; }
	/** Box (-1e10..1e10); flag bit 9 and the radius stay. */
	void resetBoundBox();

	const math::Vector3& getBoundBoxMin() const { return m_boundMin; }
	const math::Vector3& getBoundBoxMax() const { return m_boundMax; }
	float getBoundRadius() const { return m_boundRadius; }
	bool hasWorldBoundBox() const { return (getFlags() & NODE_WORLDBOUNDS) != 0; }

	/** Index of the frustum plane that culled the visual last. */
	int& cullPlane() { return m_cullPlane; }

protected:
	/**
	 * Draws primitive once per pass of shader, whose begin() returned passes.
	 * An exception from a pass still ends that pass; ending the shader is the
	 * caller's (it began it).
	 */
	static void renderPasses(gr::Shader* shader, gr::Primitive* primitive, int passes);

private:
	int m_cullPlane;
	math::Vector3 m_boundMin;
	math::Vector3 m_boundMax;
	float m_boundRadius;
};

} // namespace hgr

#endif
