#include <hgr/Camera.h>
#include <hgr/ParticleSystem.h>
#include <hgr/ResourceManager.h>
#include <hgr/Scene.h>
#include <hgr/SceneInputStream.h>
#include <hgr/SceneReader.h>
#include <hgr/Visual.h>
#include <io/FileInputStream.h>
#include <lang/Debug.h>
#include <algorithm>

namespace hgr {

Scene::Scene() : m_fogColor(1.f, 1.f, 1.f), m_fogStart(0.f), m_fogEnd(1000.f), m_fogMode(FOG_NONE) {
	setClassId(NODE_SCENE);
}

Scene::Scene(gr::Context* context, const lang::String& fileName, ResourceManager* resources,
			 const lang::String& textureDir, const lang::String& shaderDir, const lang::String& particleDir)
	: Scene() {
	setName(fileName);
	io::FileInputStream file(fileName);
	SceneInputStream in(&file);
	SceneReader reader(context, resources ? resources : ResourceManager::getDefault(context), fileName, textureDir,
					   shaderDir, particleDir);
	reader.read(this, in);
}

Scene::Scene(const Scene& other)
	: Node(other), m_animations(other.m_animations), m_userProperties(other.m_userProperties),
	  m_fogColor(other.m_fogColor), m_fogStart(other.m_fogStart), m_fogEnd(other.m_fogEnd), m_fogMode(other.m_fogMode) {
}

Scene::~Scene() {}

Node* Scene::clone() const {
	return new Scene(*this);
}

void Scene::setFog(int mode, const math::Vector3& color, float start, float end) {
	m_fogMode = mode;
	m_fogColor = color;
	m_fogStart = start;
	m_fogEnd = end;
}

void Scene::update(float time, float dt) {
	if (m_animations) {
		const TransformAnimationSet& set = *m_animations;
		for (Node* node = this; node; node = node->next(this)) {
			const lang::Ptr<TransformAnimation>* animation = set.find(node->getName());
			if (animation && *animation)
				node->setTransform((*animation)->getTransform(time));
		}
	}
	for (Node* node = this; node; node = node->next(this))
		if (node->getClassId() == NODE_PARTICLESYSTEM)
			static_cast<ParticleSystem*>(node)->update(dt);
}

Camera* Scene::getCamera() {
	for (Node* node = this; node; node = node->next(this))
		if (node->getClassId() == NODE_CAMERA)
			return static_cast<Camera*>(node);
	Camera* camera = new Camera;
	camera->linkTo(this);
	return camera;
}

void Scene::removeCamerasAndLights() {
	Node* node = this;
	while (node) {
		const int classId = node->getClassId();
		if ((classId == NODE_CAMERA || classId == NODE_LIGHT) && !node->getFirstChild()) {
			Node* successor = node->next(this);
			node->unlink();
			node = successor;
		} else {
			node = node->next(this);
		}
	}
}

void Scene::getBoundBox(math::Vector3& boxMin, math::Vector3& boxMax) const {
	const float big = 3.4028235e38f;
	boxMin = math::Vector3(big, big, big);
	boxMax = math::Vector3(-big, -big, -big);
	const math::Matrix3x4 S = getWorldTransform().inverse();
	for (const Node* node = this; node; node = node->next(this)) {
		const int classId = node->getClassId();
		if (classId != NODE_LINES && classId != NODE_MESH && classId != NODE_VISUAL && classId != NODE_PARTICLESYSTEM)
			continue;
		const Visual* visual = static_cast<const Visual*>(node);
		if (visual->hasWorldBoundBox() || visual->getBoundRadius() == Visual::UNBOUNDED_RADIUS)
			continue;
		const math::Matrix3x4 T = S * visual->getWorldTransform();
		const math::Vector3& a = visual->getBoundBoxMin();
		const math::Vector3& b = visual->getBoundBoxMax();
		for (int corner = 0; corner < 8; ++corner) {
			const math::Vector3 p =
				T.transform(math::Vector3(corner & 1 ? b.x : a.x, corner & 2 ? b.y : a.y, corner & 4 ? b.z : a.z));
			boxMin = math::Vector3(std::min(boxMin.x, p.x), std::min(boxMin.y, p.y), std::min(boxMin.z, p.z));
			boxMax = math::Vector3(std::max(boxMax.x, p.x), std::max(boxMax.y, p.y), std::max(boxMax.z, p.z));
		}
	}
	if (boxMin.x > boxMax.x) {
		boxMin = math::Vector3();
		boxMax = math::Vector3();
	}
}

void Scene::merge(Scene* other) {
	if (!other || other == this)
		return;
	while (Node* child = other->getFirstChild())
		child->linkTo(this);
	if (!other->m_animations)
		return;
	if (!m_animations) {
		m_animations = other->m_animations;
		return;
	}
	if (m_animations == other->m_animations)
		return;
	for (TransformAnimationSet::Iterator it = other->m_animations->begin(); it != other->m_animations->end(); ++it)
		m_animations->put(it->key, it->value);
}

void Scene::dump() const {
	static const char line[] = "---------------------------------------------------------";
	char indent[264];
	lang::debugPrintf("%s\n", line);
	for (const Node* node = this; node; node = node->next(this)) {
		int depth = 0;
		for (const Node* p = node->getParent(); p; p = p->getParent())
			++depth;
		const int spaces = std::min(depth * 4, int(sizeof(indent)) - 1);
		std::fill(indent, indent + spaces, ' ');
		indent[spaces] = 0;
		lang::debugPrintf("%s%s\n", indent, node->getName().c_str());
	}
	if (!m_userProperties)
		return;
	lang::debugPrintf("%s\n", line);
	for (const Node* node = this; node; node = node->next(this)) {
		lang::debugPrintf("%s:\n", node->getName().c_str());
		const lang::String* text = static_cast<const UserPropertySet&>(*m_userProperties).find(node->getName());
		lang::debugPrintf("  %s\n", text ? text->c_str() : "");
	}
}

} // namespace hgr
