#include <hgr/Camera.h>
#include <hgr/Dummy.h>
#include <hgr/Light.h>
#include <hgr/LightSorter.h>
#include <hgr/Lines.h>
#include <hgr/Mesh.h>
#include <hgr/ParticleSystem.h>
#include <hgr/ResourceManager.h>
#include <hgr/Scene.h>
#include <hgr/SceneInputStream.h>
#include <hgr/SceneReader.h>
#include <gr/Context.h>
#include <gr/CubeTexture.h>
#include <gr/Texture.h>
#include <io/IOException.h>
#include <io/PathName.h>
#include <io/PropertyParser.h>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>

namespace hgr {

namespace {

const int FIRST_CHECK_ID = 0x12345600;

// Fewest bytes of the records, used to bound counts before anything is allocated.
const int MIN_TEXTURE_BYTES = 2 + 4;
const int MIN_MATERIAL_BYTES = 2 + 2 + 4 + 3;
const int MIN_PRIMITIVE_BYTES = 4 + 1 + 4 + 1;
const int MIN_USER_PROPERTY_BYTES = 2 + 2;
const int MAX_USER_PROPERTIES = 1000000;
const int MAX_LINES = 100000;

// Bytes of a node record without its name text.
int nodeRecordBytes(int version) {
	return 2 + 12 * 4 + 4 + (version > 190 ? 4 : 0) + 4;
}

// A node of the file with its index in the node list, for lookups by pointer.
struct IndexedNode {
	const Node* node = nullptr;
	int index = -1;
};

bool operator<(const IndexedNode& a, const IndexedNode& b) {
	return std::less<const Node*>()(a.node, b.node);
}

} // namespace

SceneReader::SceneReader(gr::Context* context, ResourceManager* resources, const lang::String& fileName,
						 const lang::String& textureDir, const lang::String& shaderDir, const lang::String& particleDir)
	: m_context(context), m_resources(resources), m_fileName(fileName), m_textureDirArg(textureDir),
	  m_shaderDirArg(shaderDir), m_textureDir(resolveDirectory(textureDir)), m_shaderDir(resolveDirectory(shaderDir)),
	  m_particleDir(resolveDirectory(particleDir)), m_scene(nullptr), m_in(nullptr), m_version(0) {}

SceneReader::~SceneReader() {}

void SceneReader::fail(const lang::Format& message) const {
	throw io::IOException(message);
}

int64_t SceneReader::left() const {
	return m_in->available();
}

void SceneReader::checkCount(int count, int64_t bytesEach, const char* what) {
	if (count < 0 || int64_t(count) * bytesEach > left())
		fail(lang::Format("Failed to load scene \"{0}\". Invalid {1} count ({2}).", m_fileName, what, count));
}

int SceneReader::readSectionCount(const char* what, int minBytes) {
	const int count = m_in->readInt();
	if (count <= 0)
		return 0;
	checkCount(count, minBytes, what);
	return count;
}

void SceneReader::readFloats(float* out, int n) {
	uint8_t bytes[64];
	while (n > 0) {
		const int chunk = n < 16 ? n : 16;
		m_in->readFully(bytes, chunk * 4);
		for (int i = 0; i < chunk; ++i) {
			const uint8_t* b = bytes + 4 * i;
			const uint32_t bits = uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3];
			std::memcpy(out + i, &bits, 4);
		}
		out += chunk;
		n -= chunk;
	}
}

void SceneReader::reserveScratch(int n) {
	if (m_scratch.size() < n)
		m_scratch.resize(n);
}

math::Matrix3x4 SceneReader::readMatrix() {
	float v[12];
	readFloats(v, 12);
	math::Matrix3x4 m;
	for (int r = 0; r < 3; ++r)
		for (int c = 0; c < 4; ++c)
			m.m[r][c] = v[4 * r + c];
	return m;
}

lang::String SceneReader::resolveDirectory(const lang::String& dir) const {
	if (dir.length() > 0)
		return dir;
	io::PathName file;
	file.join(m_fileName);
	io::PathName directory;
	directory.directoryOf(file);
	return lang::String(directory.path());
}

lang::String SceneReader::joinPath(const lang::String& dir, const lang::String& name) const {
	io::PathName path;
	path.join(dir, name);
	return lang::String(path.path());
}

void SceneReader::read(Scene* scene, SceneInputStream& in) {
	m_scene = scene;
	m_in = &in;
	m_version = in.getVersion();

	const int platform = in.getPlatform();
	if (platform != m_context->getPlatform())
		fail(lang::Format("Cannot load scene file {0}, invalid platform (file:{1}, current:{2})", m_fileName,
						  gr::Context::platformShortName(platform),
						  gr::Context::platformShortName(m_context->getPlatform())));

	const int fogMode = in.readByte();
	float fog[5];
	readFloats(fog, 5);
	scene->setFog(fogMode, math::Vector3(fog[2], fog[3], fog[4]), fog[0], fog[1]);

	int checkId = FIRST_CHECK_ID;
	in.readCheckId(checkId++);
	readTextures();
	readMaterials();
	in.readCheckId(checkId++);
	readPrimitives();
	in.readCheckId(checkId++);
	readMeshes();
	in.readCheckId(checkId++);
	readCameras();
	in.readCheckId(checkId++);
	readLights();
	in.readCheckId(checkId++);
	readDummies();
	in.readCheckId(checkId++);
	readLineSets();
	in.readCheckId(checkId++);
	readPlainNodes();
	in.readCheckId(checkId++);
	readAnimations();
	in.readCheckId(checkId++);
	readUserProperties();

	linkHierarchy();
	attachBones();
	checkUsedBones();
	assignMeshLights();
	applyUserProperties();
}

// Textures and materials

void SceneReader::readTextures() {
	const int count = readSectionCount("texture", MIN_TEXTURE_BYTES);
	m_textures.resize(count);
	for (int i = 0; i < count; ++i) {
		m_in->readUTFChars(m_chars);
		const int type = m_in->readInt();
		const lang::String path = joinPath(m_textureDir, lang::String(m_chars.begin()));
		if (type == 0)
			m_textures[i] = m_resources->getTexture(path);
		else if (type == 1)
			m_textures[i] = m_resources->getCubeTexture(path);
		else
			fail(lang::Format("Failed to load scene \"{0}\". Invalid texture type (\"{1}\" type was {2})", m_fileName,
							  path, type));
	}
}

void SceneReader::readMaterials() {
	const int count = readSectionCount("material", MIN_MATERIAL_BYTES);
	m_materials.resize(count);
	for (int i = 0; i < count; ++i) {
		const lang::String name = m_in->readUTF();
		const lang::String effect = m_in->readUTF();
		const int variant = m_in->readInt();
		lang::Ptr<gr::Shader> shader = m_resources->createShader(joinPath(m_shaderDir, effect), variant);
		if (shader)
			shader->setName(name);

		const int textureParams = m_in->readByte();
		for (int k = 0; k < textureParams; ++k) {
			const lang::String param = m_in->readUTF();
			const int index = m_in->readShort();
			if (index < 0 || index >= m_textures.size())
				fail(lang::Format("Failed to load scene \"{0}\". Invalid texture index ({1}) in material \"{2}\"",
								  m_fileName, index, name));
			if (shader)
				shader->setTexture(param, m_textures[index]);
		}
		const int vectorParams = m_in->readByte();
		for (int k = 0; k < vectorParams; ++k) {
			const lang::String param = m_in->readUTF();
			float v[4];
			readFloats(v, 4);
			if (shader)
				shader->setVector(param, math::Vector4(v[0], v[1], v[2], v[3]));
		}
		const int floatParams = m_in->readByte();
		for (int k = 0; k < floatParams; ++k) {
			const lang::String param = m_in->readUTF();
			const float v = m_in->readFloat();
			if (shader)
				shader->setFloat(param, v);
		}
		m_materials[i] = shader;
	}
}

void SceneReader::readPrimitives() {
	const int count = readSectionCount("primitive", MIN_PRIMITIVE_BYTES);
	for (int i = 0; i < count; ++i)
		readPrimitive();
}

// Nodes

void SceneReader::readNodeRecord(Node* node) {
	node->setName(m_in->readUTF());
	node->setTransform(readMatrix());
	const int flags = m_in->readInt();
	// The class bits stay those of the node's own class.
	node->setFlags((flags & 0xFE0F) | node->getClassId());
	if (m_version > 190)
		node->setId(m_in->readInt());
	NodeEntry entry;
	entry.node = node;
	entry.parent = m_in->readInt();
	m_nodes.add(entry);
}

void SceneReader::readMeshes() {
	const int count = readSectionCount("mesh", nodeRecordBytes(m_version) + 8);
	for (int i = 0; i < count; ++i) {
		lang::Ptr<Mesh> mesh = new Mesh;
		readNodeRecord(mesh);
		m_meshes.add(mesh);
		m_meshNodes.add(m_nodes.size() - 1);

		const int primitives = m_in->readInt();
		checkCount(primitives, 4, "primitive index");
		for (int k = 0; k < primitives; ++k) {
			const int index = m_in->readInt();
			if (index < 0 || index >= m_primitives.size())
				fail(lang::Format("Failed to load scene \"{0}\". Invalid primitive index ({1}) in primitive {2}.",
								  m_fileName, index, i));
			mesh->addPrimitive(m_primitives[index]);
		}

		const int bones = m_in->readInt();
		checkCount(bones, 4 + 12 * 4, "bone");
		for (int k = 0; k < bones; ++k) {
			BoneEntry bone;
			bone.mesh = m_meshes.size() - 1;
			bone.node = m_in->readInt();
			bone.rest = readMatrix();
			m_bones.add(bone);
		}
		mesh->computeBoundBox();
	}
}

void SceneReader::readCameras() {
	const int count = readSectionCount("camera", nodeRecordBytes(m_version) + 12);
	for (int i = 0; i < count; ++i) {
		lang::Ptr<Camera> camera = new Camera;
		readNodeRecord(camera);
		float v[3];
		readFloats(v, 3);
		const float front = v[0], back = v[1], fov = v[2];
		// Written so that NaN fails every test.
		if (!(front >= 0.0001f) || !(front <= back) || !(back <= 1e9f))
			fail(lang::Format("Failed to load scene \"{0}\". Invalid front/back plane ({1}/{2}) in \"{3}\".",
							  m_fileName, front, back, camera->getName()));
		if (!(fov >= 0.02617994f) || !(fov <= 3.1241393f))
			fail(lang::Format("Failed to load scene \"{0}\". Invalid horizontal field-of-view ({1}) in \"{2}\".",
							  m_fileName, fov, camera->getName()));
		camera->setFront(front);
		// Equal planes are accepted; the back one moves a little beyond the
		// front one so that the projection never divides by zero.
		camera->setBack(back > front ? back : front * 1.001f);
		camera->setVerticalFov(fov);
	}
}

void SceneReader::readLights() {
	const int count = readSectionCount("light", nodeRecordBytes(m_version) + 9 * 4 + 1);
	for (int i = 0; i < count; ++i) {
		lang::Ptr<Light> light = new Light;
		readNodeRecord(light);
		float v[9];
		readFloats(v, 9);
		const int type = m_in->readByte();
		const float inner = v[7], outer = v[8];
		if (!(inner >= 0.f) || !(inner <= 3.1415927f))
			fail(lang::Format("Failed to load scene \"{0}\". Light inner cone ({1}) invalid in object \"{2}\".",
							  m_fileName, inner, light->getName()));
		if (!(outer >= 0.f) || !(outer <= 3.1415927f))
			fail(lang::Format("Failed to load scene \"{0}\". Light outer cone ({1}) invalid in object \"{2}\".",
							  m_fileName, outer, light->getName()));
		if (type < 1 || type > 3)
			fail(lang::Format("Failed to load scene \"{0}\". Light type ({1}) invalid in object \"{2}\".", m_fileName,
							  type, light->getName()));
		light->setColor(math::Vector3(v[0], v[1], v[2]));
		light->setNearRange(v[5]);
		light->setFarRange(v[6]);
		light->setInnerCone(inner);
		light->setOuterCone(outer);
		light->setType(type);
	}
}

void SceneReader::readDummies() {
	const int count = readSectionCount("dummy", nodeRecordBytes(m_version) + 6 * 4);
	for (int i = 0; i < count; ++i) {
		lang::Ptr<Dummy> dummy = new Dummy;
		readNodeRecord(dummy);
		float v[6];
		readFloats(v, 6);
		dummy->setBox(math::Vector3(v[0], v[1], v[2]), math::Vector3(v[3], v[4], v[5]));
	}
}

void SceneReader::readLineSets() {
	const int count = readSectionCount("line set", nodeRecordBytes(m_version) + 8);
	for (int i = 0; i < count; ++i) {
		lang::Ptr<Lines> lines = new Lines(m_context, "lines-alpha");
		readNodeRecord(lines);
		const int lineCount = m_in->readInt();
		const int pathCount = m_in->readInt();
		const int maxPaths = lineCount < MAX_LINES ? lineCount : MAX_LINES;
		if (lineCount < 0 || lineCount > MAX_LINES || pathCount < 0 || pathCount > maxPaths ||
			int64_t(lineCount) * 24 + int64_t(pathCount) * 8 > left())
			fail(lang::Format("Failed to load scene \"{0}\". Invalid line/path count ({1}/{2})", m_fileName, lineCount,
							  pathCount));
		lines->reserve(lineCount, pathCount);
		const math::Vector4 white(1.f, 1.f, 1.f, 1.f);
		for (int k = 0; k < lineCount; ++k) {
			float v[6];
			readFloats(v, 6);
			lines->addLine(math::Vector3(v[0], v[1], v[2]), math::Vector3(v[3], v[4], v[5]), white);
		}
		for (int k = 0; k < pathCount; ++k) {
			const int a = m_in->readInt();
			const int b = m_in->readInt();
			lines->addPath(a, b);
		}
		lines->computeBoundBox();
	}
}

void SceneReader::readPlainNodes() {
	const int count = readSectionCount("node", nodeRecordBytes(m_version));
	for (int i = 0; i < count; ++i) {
		lang::Ptr<Node> node = new Node;
		readNodeRecord(node);
	}
}

// User properties

void SceneReader::readUserProperties() {
	const int count = m_in->readInt();
	if (count < 0 || count > MAX_USER_PROPERTIES || int64_t(count) * MIN_USER_PROPERTY_BYTES > left())
		fail(lang::Format("Failed to load scene \"{0}\". Invalid user property set size ({1}).", m_in->toString(),
						  count));
	if (count == 0)
		return;
	lang::Ptr<UserPropertySet> properties = new UserPropertySet(count);
	for (int i = 0; i < count; ++i) {
		const lang::String name = m_in->readUTF();
		const lang::String text = m_in->readUTF();
		properties->put(name, text);
	}
	m_scene->setUserProperties(properties);
}

// After the sections

void SceneReader::linkHierarchy() {
	// The whole table is checked before anything is linked, so that no node
	// needs a walk up the tree to refuse a loop (a chain as long as the file
	// would make that quadratic). The node reported is the one at which
	// linking in file order would have stopped.
	const int count = m_nodes.size();
	for (int i = 0; i < count; ++i)
		m_hierarchy.add(m_nodes[i].parent);
	const int bad = m_hierarchy.findFirstBadNode();
	if (bad >= 0)
		fail(lang::Format("Failed to load scene \"{0}\". Invalid node parent index ({1}) in \"{2}\".", m_fileName,
						  m_nodes[bad].parent, m_nodes[bad].node->getName()));

	// In file order, each at the head of its parent's children.
	for (int i = 0; i < count; ++i) {
		Node* node = m_nodes[i].node;
		const int parent = m_nodes[i].parent;
		if (parent < 0)
			node->linkTo(m_scene);
		else
			node->attachTo(m_nodes[parent].node);
	}
	m_hierarchy.walkDepthFirst();
}

void SceneReader::attachBones() {
	for (int i = 0; i < m_bones.size(); ++i) {
		const BoneEntry& bone = m_bones[i];
		Mesh* mesh = m_meshes[bone.mesh];
		// Any node of the file may be a bone, the mesh itself and its
		// ancestors included: the mesh does not own its bones.
		if (bone.node < 0 || bone.node >= m_nodes.size())
			fail(lang::Format("Failed to load scene \"{0}\". Invalid bone index ({1}) in \"{2}\".", m_fileName,
							  bone.node, mesh->getName()));
		mesh->addBone(m_nodes[bone.node].node, bone.rest);
	}
}

void SceneReader::checkUsedBones() {
	for (int i = 0; i < m_meshes.size(); ++i) {
		const Mesh* mesh = m_meshes[i];
		const int bones = mesh->getBoneCount();
		if (bones == 0)
			continue; // a mesh without bones never reads the lists
		for (int k = 0; k < mesh->getPrimitiveCount(); ++k) {
			const gr::Primitive* primitive = mesh->getPrimitive(k);
			const uint8_t* used = primitive->getUsedBones();
			for (int b = 0; b < primitive->getUsedBoneCount(); ++b)
				if (used[b] >= bones)
					fail(lang::Format("Failed to load scene \"{0}\". Invalid used bone ({1}) in \"{2}\".", m_fileName,
									  int(used[b]), mesh->getName()));
		}
	}
}

void SceneReader::computeWorldTransforms() {
	// Node::getWorldTransform() walks to the root: asked of every node of a
	// deep chain that would be quadratic.
	const math::Matrix3x4 sceneWorld = m_scene->getWorldTransform();
	const int count = m_hierarchy.size();
	m_worldTransforms.resize(count);
	for (int k = 0; k < count; ++k) {
		const int n = m_hierarchy.getNodeInWalk(k);
		const int parent = m_hierarchy.getParent(n);
		const math::Matrix3x4& parentWorld = parent < 0 ? sceneWorld : m_worldTransforms[parent];
		m_worldTransforms[n] = parentWorld * m_nodes[n].node->getTransform();
	}
}

void SceneReader::assignMeshLights() {
	// The enabled lights below the scene in tree-walk order (the order
	// LightSorter::collectLights gives), placed from the transforms worked
	// out here instead of a walk to the root for each.
	lang::Array<Light*> enabled;
	for (Node* n = m_scene; n; n = n->next(m_scene))
		if (n->getClassId() == Node::NODE_LIGHT && n->isEnabled())
			enabled.add(static_cast<Light*>(n));
	if (enabled.size() == 0)
		return;
	computeWorldTransforms();

	// The file's lights by address, to take their world positions from the table.
	lang::Array<IndexedNode> lights;
	for (int i = 0; i < m_nodes.size(); ++i) {
		if (m_nodes[i].node->getClassId() == Node::NODE_LIGHT) {
			IndexedNode entry;
			entry.node = m_nodes[i].node;
			entry.index = i;
			lights.add(entry);
		}
	}
	std::sort(lights.begin(), lights.end());
	auto fileIndexOf = [&lights](const Node* light) {
		IndexedNode key;
		key.node = light;
		const IndexedNode* found = std::lower_bound(lights.begin(), lights.end(), key);
		return found != lights.end() && found->node == light ? found->index : -1;
	};

	LightSorter sorter;
	for (int k = 0; k < enabled.size(); ++k) {
		Light* light = enabled[k];
		const int index = fileIndexOf(light);
		sorter.addLight(light, index >= 0 ? m_worldTransforms[index].getTranslation()
										  : light->getWorldTransform().getTranslation());
	}

	for (int i = 0; i < m_meshes.size(); ++i) {
		Mesh* mesh = m_meshes[i];
		const math::Vector3 centre = (mesh->getBoundBoxMin() + mesh->getBoundBoxMax()) * 0.5f;
		sorter.sortByDistance(m_worldTransforms[m_meshNodes[i]].transform(centre), Mesh::MAX_LIGHTS);
		// The nearest, wherever it stands: a light above the mesh too, since
		// the mesh does not own its lights.
		if (sorter.getResultCount() > 0)
			mesh->addLight(sorter.getResult(0));
	}
}

void SceneReader::applyUserProperties() {
	UserPropertySet* properties = m_scene->getUserProperties();
	if (!properties)
		return;
	io::PropertyParser parser;
	for (UserPropertySet::Iterator it = properties->begin(); it != properties->end(); ++it) {
		const lang::String nodeName = it->key;
		parser.parse(it->value, nodeName);
		float time = 0.f;
		for (io::PropertyParser::Iterator p = parser.begin(); p != parser.end(); ++p) {
			const char* key = p.key();
			if (std::strcmp(key, "perspectivecorrection") == 0) {
				float level = 0.f;
				// The integer part must be 0..10 (NaN fails too).
				if (std::sscanf(p.value(), "%g", &level) != 1 || !(level > -1.f && level < 11.f))
					fail(
						lang::Format("Failed parse PerspectiveCorrection=<level 0-10> User Property field from "
									 "object \"{0}\" in scene \"{1}\"",
									 nodeName, m_scene->getName()));
				Node* node = m_scene->getNodeByName(nodeName);
				if (node->getClassId() == Node::NODE_MESH) {
					Mesh* mesh = static_cast<Mesh*>(node);
					for (int k = 0; k < mesh->getPrimitiveCount(); ++k)
						mesh->getPrimitive(k)->prepare(int(level));
				}
			} else if (std::strcmp(key, "time") == 0) {
				if (std::sscanf(p.value(), "%g", &time) != 1)
					fail(
						lang::Format("Failed parse Time=<seconds> User Property field from object \"{0}\" in scene "
									 "\"{1}\"",
									 nodeName, m_scene->getName()));
			} else if (std::strcmp(key, "particle") == 0) {
				const lang::String path = joinPath(m_particleDir, lang::String(p.value())) + ".prs";
				lang::Ptr<ParticleSystem> system =
					m_resources->getParticleSystem(path, m_textureDirArg, m_shaderDirArg);
				if (system) {
					system->setStartTime(time);
					system->linkTo(m_scene->getNodeByName(nodeName));
				}
			}
		}
	}
}

} // namespace hgr
