#ifndef HGR_MESH_H
#define HGR_MESH_H

#include <hgr/Light.h>
#include <hgr/Visual.h>
#include <gr/Primitive.h>
#include <lang/Array.h>
#include <lang/Ptr.h>
#include <lang/WeakPtr.h>
#include <math/Matrix3x4.h>

namespace hgr {

/**
 * Visual made of device primitives, drawn in order, optionally skinned by
 * bones and lit by up to eight lights of its own (the nearest lights of the
 * scene when it has none).
 *
 * The mesh refers to its lights and bone nodes without owning them (weak
 * pointers): any of them may be the mesh itself or one of its ancestors, as
 * a skinned mesh below its skeleton's root is, and none is kept alive by the
 * mesh. Moving the mesh to another tree, or those nodes leaving theirs,
 * never leaves it pointing at freed nodes. A light or bone that is not in
 * the tree being drawn is placed by its own parent chain. A light that has
 * gone is passed over, and a mesh left without any draws with the nearest
 * lights of the scene; a bone whose node has gone holds its part of the
 * mesh in the bind pose (the bone matrix is the mesh's world transform).
 */
class Mesh : public Visual {
public:
	/** Most lights a mesh is drawn with. */
	enum { MAX_LIGHTS = 8 };

	/** A skinning bone: the inverse bind transform and the node that moves it (null once that node has gone). */
	struct Bone {
		math::Matrix3x4 offset;
		lang::WeakPtr<Node> node;
	};

	/** Class id 7, no primitives, lights or bones. */
	Mesh();
	/** Shares the primitives, copies the light and bone lists (same nodes). */
	Mesh(const Mesh& other);
	~Mesh() override;

	Visual* clone() const override;

	/** Appends a primitive, taking a reference. A primitive drawn must have a shader. */
	void addPrimitive(gr::Primitive* primitive);
	/** Releases entry index; later entries move down. Throws lang::Exception for an index out of range. */
	void removePrimitive(int index);
	void removeAllPrimitives();
	int getPrimitiveCount() const { return m_primitives.size(); }
	gr::Primitive* getPrimitive(int index) const { return m_primitives[index].ptr(); }

	/** Appends a fixed light; the first eight that have not gone are used. */
	void addLight(Light* light);
	/** Throws lang::Exception for an index out of range. */
	void removeLight(int index);
	void removeAllLights();
	/** Entries of the light list, those whose light has gone included. */
	int getLightCount() const { return m_lights.size(); }
	/** The light of an entry; null once that light has gone. */
	Light* getLight(int index) const { return m_lights[index].get(); }

	void addBone(Node* node, const math::Matrix3x4& offset);
	/** Throws lang::Exception for an index out of range. */
	void removeBone(int index);
	int getBoneCount() const { return m_bones.size(); }
	Bone& getBone(int index) { return m_bones[index]; }
	const Bone& getBone(int index) const { return m_bones[index]; }
	/** The node of a bone; null once that node has gone. */
	Node* getBoneNode(int index) const { return m_bones[index].node.get(); }

	void render(gr::Context* context, Camera* camera, int priority) override;
	void getShaders(lang::Array<gr::Shader*>& out) override;

	/**
	 * Local box and radius from the primitives' bounds; a box of zeros without
	 * primitives; the unbounded box (radius unchanged) for skinned geometry.
	 */
	void computeBoundBox() override;

private:
	lang::Array<lang::Ptr<gr::Primitive>> m_primitives;
	lang::Array<lang::WeakPtr<Light>> m_lights;
	lang::Array<Bone> m_bones;

	Mesh& operator=(const Mesh&) = delete;
};

} // namespace hgr

#endif
