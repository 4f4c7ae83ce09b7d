#ifndef HGR_CAMERA_H
#define HGR_CAMERA_H

#include <hgr/LightSorter.h>
#include <hgr/Node.h>
#include <hgr/ViewFrustum.h>
#include <lang/Array.h>
#include <math/Matrix3x4.h>
#include <math/Matrix4x4.h>
#include <math/Vector4.h>

namespace gr {
class Context;
class Shader;
}

namespace hgr {

class Visual;

/**
 * Camera node and the scene render pass. render() collects every node of the
 * camera's tree, computes all world transforms once, sets the projection,
 * culls the visuals against the view frustum, sorts them by view depth and
 * draws them priority by priority. The per-frame data read by the visuals is
 * valid during render() only; every array keeps its storage, so a steady
 * frame allocates nothing.
 */
class Camera : public Node {
public:
	/** Lowest and highest render priority drawn. */
	enum { MIN_PRIORITY = -100, MAX_PRIORITY = 100 };

	/** Most nodes one pass can place: the transform slot is 16 bits and 0xFFFF means none. */
	enum { MAX_NODES = 0xFFFF };

	/** A visual and its view depth. */
	struct DepthEntry {
		Visual* visual;
		float depth;
	};

	/** Class id 1, default frustum, identity matrices, empty lists. */
	Camera();
	/** Copies the node part, frustum, matrices and the reset flag; lists start empty. */
	Camera(const Camera& other);
	~Camera() override;
	Node* clone() const override;

	/** The horizontal value is converted with the frustum's current aspect. */
	void setHorizontalFov(float radians) { m_frustum.setHorizontalFov(radians); }
	void setVerticalFov(float radians) { m_frustum.setVerticalFov(radians); }
	void setFront(float front) { m_frustum.setFront(front); }
	void setBack(float back) { m_frustum.setBack(back); }
	float getHorizontalFov() const { return m_frustum.getHorizontalFov(); }
	float getVerticalFov() const { return m_frustum.getVerticalFov(); }
	float getFront() const { return m_frustum.getFront(); }
	float getBack() const { return m_frustum.getBack(); }
	ViewFrustum& getFrustum() { return m_frustum; }
	const ViewFrustum& getFrustum() const { return m_frustum; }

	/** Inverse of the camera's world transform computed now up the parent chain. */
	math::Matrix3x4 getViewTransform() const;

	/** Passed to the context's resetProjection every frame. */
	void setResetProjection(bool reset) { m_resetProjection = reset; }

	/**
	 * Draws the camera's tree. Throws lang::Exception, before drawing or
	 * changing anything, when the tree has more than 65535 nodes; exceptions
	 * from a visual's drawing pass through.
	 */
	void render(gr::Context* context);

	/** Appends root and its subtree, depth first. Throws lang::Exception past 65535 nodes. */
	static void collectNodes(Node* root, lang::Array<Node*>& nodes);

	/**
	 * Sets the projection (with the aspect of the context's current size) and
	 * computes every node's world transform and slot, the camera's world, view
	 * and view-projection matrices. The camera must be among the nodes.
	 */
	void setupTransforms(gr::Context* context, lang::Array<Node*>& nodes);

	/** Fills visuals with the enabled visuals of nodes inside the frustum, nearest first. */
	void prepareVisuals(lang::Array<Node*>& nodes, lang::Array<Visual*>& visuals);

	/** Sorted distinct shaders of the visuals, and their sorted distinct priorities. */
	static void collectShaders(const lang::Array<Visual*>& visuals, lang::Array<gr::Shader*>& shaders);
	static void collectPriorities(const lang::Array<gr::Shader*>& shaders, lang::Array<int>& priorities);

	// Per-frame data read by the visuals while they draw

	/** The world transform of node in this frame: its slot when it is one of this pass's nodes, else computed now. */
	math::Matrix3x4 getFrameWorldTransform(const Node* node) const {
		const int i = node->getTransformIndex();
		if (i < m_nodes.size() && m_nodes[i] == node)
			return m_worldTransforms[i];
		return node->getWorldTransform();
	}
	const lang::Array<math::Matrix3x4>& getWorldTransforms() const { return m_worldTransforms; }
	const math::Matrix3x4& getCameraWorldTransform() const { return m_worldTransform; }
	const math::Matrix3x4& getCameraViewTransform() const { return m_viewTransform; }
	const math::Matrix4x4& getViewProjection() const { return m_viewProjection; }
	/** The tree's lights while visuals draw, null otherwise. */
	LightSorter* getCurrentLights() const { return m_currentLights; }
	lang::Array<math::Matrix4x4>& getBoneMatrices() { return m_boneMatrices; }
	lang::Array<const math::Matrix4x4*>& getBonePointers() { return m_bonePointers; }

	const lang::Array<Node*>& getNodes() const { return m_nodes; }
	const lang::Array<Visual*>& getVisuals() const { return m_visuals; }
	const lang::Array<gr::Shader*>& getShaders() const { return m_shaders; }
	const lang::Array<int>& getPriorities() const { return m_priorities; }
	LightSorter& getLightSorter() { return m_lightSorter; }
	const math::Vector4* getPlanes() const { return m_planes; }

private:
	ViewFrustum m_frustum;
	math::Matrix3x4 m_worldTransform;
	math::Matrix3x4 m_viewTransform;
	math::Matrix4x4 m_viewProjection;
	lang::Array<math::Matrix4x4> m_boneMatrices;
	lang::Array<const math::Matrix4x4*> m_bonePointers;
	lang::Array<math::Matrix3x4> m_worldTransforms;
	lang::Array<Node*> m_nodes;
	lang::Array<Visual*> m_visuals;
	lang::Array<gr::Shader*> m_shaders;
	lang::Array<int> m_priorities;
	LightSorter m_lightSorter;
	LightSorter* m_currentLights;
	lang::Array<DepthEntry> m_depthList;
	int m_roomForNodes; // node count the per-frame arrays last got room for; -1 before
	bool m_resetProjection;
	math::Vector4 m_planes[ViewFrustum::PLANE_COUNT];

	// Gives the arrays rebuilt every frame room for every visual of nodes.
	void makeRoom(const lang::Array<Node*>& nodes);

	Camera& operator=(const Camera&) = delete;
};

} // namespace hgr

#endif
