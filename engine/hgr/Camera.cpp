#include <hgr/Camera.h>
#include <hgr/Visual.h>
#include <gr/Context.h>
#include <gr/Shader.h>
#include <lang/Exception.h>
#include <lang/Format.h>
#include <algorithm>
#include <cmath>

namespace hgr {

namespace {

/** Empties a and gives it room for n elements (the storage only grows). */
template <class T>
void emptyWithRoom(lang::Array<T>& a, int n) {
	if (a.capacity() < n)
		a.resize(n);
	a.clear();
}

/** Negates the first column of the camera's local transform; the mirror of the N3D platform. */
void mirrorFirstColumn(Node* node) {
	math::Matrix3x4 t = node->getTransform();
	t.m[0][0] = -t.m[0][0];
	t.m[1][0] = -t.m[1][0];
	t.m[2][0] = -t.m[2][0];
	node->setTransform(t);
}

/** Mirrors the camera for the length of one pass and restores it also when drawing throws. */
class MirrorScope {
public:
	MirrorScope(Node* node, bool active) : m_node(active ? node : nullptr) {
		if (m_node)
			mirrorFirstColumn(m_node);
	}
	~MirrorScope() {
		if (m_node)
			mirrorFirstColumn(m_node);
	}

private:
	Node* m_node;
};

inline bool isVisualClass(int classId) {
	return classId == Node::NODE_LINES || classId == Node::NODE_MESH || classId == Node::NODE_VISUAL ||
		   classId == Node::NODE_PARTICLESYSTEM;
}

} // namespace

Camera::Camera() : m_currentLights(nullptr), m_roomForNodes(-1), m_resetProjection(false) {
	setClassId(NODE_CAMERA);
}

Camera::Camera(const Camera& other)
	: Node(other), m_frustum(other.m_frustum), m_worldTransform(other.m_worldTransform),
	  m_viewTransform(other.m_viewTransform), m_viewProjection(other.m_viewProjection), m_currentLights(nullptr),
	  m_roomForNodes(-1), m_resetProjection(other.m_resetProjection) {}

Camera::~Camera() {}

Node* Camera::clone() const {
	return new Camera(*this);
}

math::Matrix3x4 Camera::getViewTransform() const {
	return getWorldTransform().inverse();
}

void Camera::collectNodes(Node* root, lang::Array<Node*>& nodes) {
	// Counted first, so that a tree too large is refused before the list changes.
	int count = 0;
	for (Node* n = root; n; n = n->next(root)) {
		if (++count > MAX_NODES) {
			throw lang::Exception(lang::Format("Scene \"{0}\" has more than {1} nodes and cannot be drawn.",
											   root->getName(), int(MAX_NODES)));
		}
	}
	nodes.resize(count);
	int i = 0;
	for (Node* n = root; n; n = n->next(root))
		nodes[i++] = n;
}

void Camera::setupTransforms(gr::Context* context, lang::Array<Node*>& nodes) {
	context->resetProjection(m_resetProjection);

	// The aspect of the target as it is now: a frame projected with the
	// previous size would come out stretched after a resize. A target
	// without area keeps the aspect it had.
	const float aspect = context->getAspectRatio();
	if (std::isfinite(aspect) && aspect > 0.f)
		m_frustum.setAspect(aspect);
	context->setPerspectiveProjection(m_frustum.getHorizontalFov(), m_frustum.getFront(), m_frustum.getBack(),
									  m_frustum.getAspect());

	const int count = nodes.size();
	m_worldTransforms.resize(count);
	for (int i = 0; i < count; ++i) {
		Node* n = nodes[i];
		n->setTransformIndex(i);
		const Node* parent = n->getParent();
		// Depth-first order puts every parent before its children; a parent
		// outside the list (a subtree drawn on its own) counts as the identity.
		if (parent && parent->getTransformIndex() < i && nodes[parent->getTransformIndex()] == parent)
			m_worldTransforms[i] = m_worldTransforms[parent->getTransformIndex()] * n->getTransform();
		else
			m_worldTransforms[i] = n->getTransform();
	}

	const int self = getTransformIndex();
	if (self < count && nodes[self] == this)
		m_worldTransform = m_worldTransforms[self];
	else
		m_worldTransform = getWorldTransform();
	m_viewTransform = m_worldTransform.inverse();
	m_viewProjection = context->getProjectionMatrix().multiply3x4(m_viewTransform);
}

void Camera::prepareVisuals(lang::Array<Node*>& nodes, lang::Array<Visual*>& visuals) {
	m_frustum.updatePlanes(m_worldTransform, m_planes);

	m_depthList.clear();
	visuals.clear();
	const float* viewRow = m_viewTransform.m[2];
	for (int i = 0; i < nodes.size(); ++i) {
		Node* n = nodes[i];
		if (!n->isEnabled() || !isVisualClass(n->getClassId()))
			continue;
		Visual* v = static_cast<Visual*>(n);
		const math::Matrix3x4& W = m_worldTransforms[n->getTransformIndex()];

		const float boundRadius = v->getBoundRadius();
		if (boundRadius != Visual::UNBOUNDED_RADIUS) {
			float radius = boundRadius;
			if (!v->hasWorldBoundBox())
				radius = std::max(radius, std::max(v->getBoundBoxMin().length(), v->getBoundBoxMax().length()));
			if (!ViewFrustum::testSphere(W, m_planes, v->cullPlane(), radius))
				continue;
		}

		math::Vector3 c = (v->getBoundBoxMin() + v->getBoundBoxMax()) * 0.5f;
		if (!v->hasWorldBoundBox())
			c = W.transform(c);
		DepthEntry entry;
		entry.visual = v;
		entry.depth = viewRow[0] * c.x + viewRow[1] * c.y + viewRow[2] * c.z + viewRow[3];
		m_depthList.add(entry);
	}

	std::sort(m_depthList.begin(), m_depthList.end(),
			  [](const DepthEntry& a, const DepthEntry& b) { return a.depth < b.depth; });
	visuals.resize(m_depthList.size());
	for (int i = 0; i < m_depthList.size(); ++i)
		visuals[i] = m_depthList[i].visual;
}

void Camera::collectShaders(const lang::Array<Visual*>& visuals, lang::Array<gr::Shader*>& shaders) {
	shaders.clear();
	for (int i = 0; i < visuals.size(); ++i)
		visuals[i]->getShaders(shaders);
	std::sort(shaders.begin(), shaders.end());
	gr::Shader** end = std::unique(shaders.begin(), shaders.end());
	// A primitive without a shader adds a null entry, which sorts first.
	gr::Shader** begin = shaders.begin();
	const int skip = (begin != end && !*begin) ? 1 : 0;
	const int count = int(end - begin) - skip;
	for (int i = 0; i < count; ++i)
		shaders[i] = shaders[i + skip];
	shaders.resize(count);
}

void Camera::collectPriorities(const lang::Array<gr::Shader*>& shaders, lang::Array<int>& priorities) {
	priorities.clear();
	for (int i = 0; i < shaders.size(); ++i)
		priorities.add(shaders[i]->getPriority());
	std::sort(priorities.begin(), priorities.end());
	priorities.resize(int(std::unique(priorities.begin(), priorities.end()) - priorities.begin()));
}

void Camera::makeRoom(const lang::Array<Node*>& nodes) {
	m_roomForNodes = nodes.size();
	emptyWithRoom(m_depthList, nodes.size());
	emptyWithRoom(m_visuals, nodes.size());
	m_shaders.clear();
	for (int i = 0; i < nodes.size(); ++i)
		if (isVisualClass(nodes[i]->getClassId()))
			static_cast<Visual*>(nodes[i])->getShaders(m_shaders);
	emptyWithRoom(m_priorities, m_shaders.size());
	m_shaders.clear();
}

void Camera::render(gr::Context* context) {
	// Collect first: a tree too large to place is refused before anything changes.
	Node* top = root();
	collectNodes(top, m_nodes);
	// Room for the whole tree whenever its node count changes, so that frames
	// in which more of it comes into view (a reflection the ball rolls into)
	// allocate nothing.
	if (m_nodes.size() != m_roomForNodes)
		makeRoom(m_nodes);

	MirrorScope mirror(this, context->getPlatform() == gr::Context::PLATFORM_N3D);

	m_lightSorter.clear();
	for (int i = 0; i < m_nodes.size(); ++i) {
		Node* n = m_nodes[i];
		if (n->getClassId() == NODE_LIGHT && n->isEnabled())
			m_lightSorter.addLight(n);
	}

	setupTransforms(context, m_nodes);
	prepareVisuals(m_nodes, m_visuals);
	collectShaders(m_visuals, m_shaders);
	collectPriorities(m_shaders, m_priorities);

	struct CurrentLightsScope {
		Camera* camera;
		~CurrentLightsScope() {
			camera->m_currentLights = nullptr;
			// The camera holds no light between frames, so a light that is one
			// of the camera's ancestors cannot keep its own subtree alive.
			camera->m_lightSorter.clear();
		}
	} lightsScope{this};
	m_currentLights = &m_lightSorter;

	for (int k = 0; k < m_priorities.size(); ++k) {
		const int p = m_priorities[k];
		if (p < MIN_PRIORITY || p > MAX_PRIORITY)
			continue;
		if (p % 2 != 0) {
			for (int i = m_visuals.size() - 1; i >= 0; --i)
				m_visuals[i]->render(context, this, p);
		} else {
			for (int i = 0; i < m_visuals.size(); ++i)
				m_visuals[i]->render(context, this, p);
		}
	}
}

} // namespace hgr
