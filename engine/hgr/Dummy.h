#ifndef HGR_DUMMY_H
#define HGR_DUMMY_H

#include <hgr/Node.h>

namespace hgr {

/** A node that only carries a box given by two corners in node space. */
class Dummy : public Node {
public:
	/** Class id 3, both corners zero. */
	Dummy();
	Dummy(const Dummy& other);

	/** A copy of the node part (with the subtree) and both corners. */
	Node* clone() const override;

	/** Stores the two corners unchanged. */
	void setBox(const math::Vector3& a, const math::Vector3& b);

	/** The corners as given to setBox. */
	const math::Vector3& getBoxCorner0() const { return m_corner0; }
	const math::Vector3& getBoxCorner1() const { return m_corner1; }

	/** Componentwise minimum and maximum of the two corners. */
	math::Vector3 getBoxMin() const;
	math::Vector3 getBoxMax() const;

private:
	math::Vector3 m_corner0;
	math::Vector3 m_corner1;
};

} // namespace hgr

#endif
