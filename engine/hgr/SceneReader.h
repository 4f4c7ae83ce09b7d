#ifndef HGR_SCENEREADER_H
#define HGR_SCENEREADER_H

#include <hgr/ParentTable.h>
#include <hgr/TransformAnimation.h>
#include <gr/BaseTexture.h>
#include <gr/Primitive.h>
#include <gr/Shader.h>
#include <lang/Array.h>
#include <lang/Format.h>
#include <lang/Ptr.h>
#include <lang/String.h>
#include <math/Matrix3x4.h>
#include <cstdint>

namespace gr {
class Context;
}

namespace hgr {

class KeyframeSequence;
class Mesh;
class Node;
class ResourceManager;
class Scene;
class SceneInputStream;

/**
 * Reads the body of a scene file (everything after the header) into a
 * scene: textures and materials through the resource manager, primitives
 * through the context, the node records, hierarchy, bones, mesh lights,
 * animations, user properties and the particle systems they name.
 *
 * Every count of the file is checked against the bytes left in the stream
 * before anything is allocated for it, and every index against the list it
 * points into. All failures throw io::IOException naming the file; what was
 * built until then is released with the scene.
 */
class SceneReader {
public:
	/**
	 * context and resources must not be null. Empty directories stand for
	 * the directory of fileName; particle systems are asked for with the
	 * texture and shader directories as given.
	 */
	SceneReader(gr::Context* context, ResourceManager* resources, const lang::String& fileName,
				const lang::String& textureDir, const lang::String& shaderDir, const lang::String& particleDir);
	~SceneReader();

	/** Reads in (its header already read) into scene. */
	void read(Scene* scene, SceneInputStream& in);

private:
	struct NodeEntry {
		lang::Ptr<Node> node;
		int parent = -1;
	};
	struct BoneEntry {
		int mesh = 0;
		int node = 0;
		math::Matrix3x4 rest;
	};

	gr::Context* m_context;
	ResourceManager* m_resources;
	lang::String m_fileName;
	lang::String m_textureDirArg;
	lang::String m_shaderDirArg;
	lang::String m_textureDir;
	lang::String m_shaderDir;
	lang::String m_particleDir;

	Scene* m_scene;
	SceneInputStream* m_in;
	int m_version;
	lang::Array<lang::Ptr<gr::BaseTexture>> m_textures;
	lang::Array<lang::Ptr<gr::Shader>> m_materials;
	lang::Array<lang::Ptr<gr::Primitive>> m_primitives;
	lang::Array<NodeEntry> m_nodes;
	ParentTable m_hierarchy; // the parent indices of m_nodes, once all are read
	lang::Array<lang::Ptr<Mesh>> m_meshes;
	lang::Array<int> m_meshNodes; // index in m_nodes of each mesh
	lang::Array<BoneEntry> m_bones;
	lang::Array<math::Matrix3x4> m_worldTransforms; // of each of m_nodes, once linked
	lang::Array<uint8_t> m_scratch;
	lang::Array<char> m_chars;

	// Sections
	void readTextures();
	void readMaterials();
	void readPrimitives();
	void readPrimitive();
	void readMeshes();
	void readCameras();
	void readLights();
	void readDummies();
	void readLineSets();
	void readPlainNodes();
	void readNodeRecord(Node* node);
	void readAnimations();
	lang::Ptr<TransformAnimation> readAnimation();
	/** A keyframe sequence record; null for an empty one of files up to 191. */
	lang::Ptr<KeyframeSequence> readSequence();
	lang::Ptr<TransformAnimation::Float3Anim> readFloat3Channel();
	void readUserProperties();

	// After the sections
	void linkHierarchy();
	void attachBones();
	void checkUsedBones();
	void assignMeshLights();
	/** Fills m_worldTransforms, parents first: one product per node. */
	void computeWorldTransforms();
	void applyUserProperties();

	// Helpers
	/** A section's record count: 0 or less means none; more than the bytes left for minBytes each fails. */
	int readSectionCount(const char* what, int minBytes);
	/** Fails unless 0 <= count and count * bytesEach bytes are left. */
	void checkCount(int count, int64_t bytesEach, const char* what);
	/** Bytes left in the stream. */
	int64_t left() const;
	/** Reads n big-endian floats with one read. */
	void readFloats(float* out, int n);
	math::Matrix3x4 readMatrix();
	/** Makes the scratch buffer at least n bytes long (it never shrinks, so it is not cleared again). */
	void reserveScratch(int n);
	/** The directory of the file for an empty dir, else dir. */
	lang::String resolveDirectory(const lang::String& dir) const;
	lang::String joinPath(const lang::String& dir, const lang::String& name) const;
	[[noreturn]] void fail(const lang::Format& message) const;

	SceneReader(const SceneReader&) = delete;
	SceneReader& operator=(const SceneReader&) = delete;
};

} // namespace hgr

#endif
