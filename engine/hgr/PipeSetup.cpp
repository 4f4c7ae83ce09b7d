#include <hgr/Camera.h>
#include <hgr/PipeSetup.h>
#include <gr/Shader.h>

namespace hgr {

PipeSetup::PipeSetup(gr::Context* context) : m_stamp(-1), m_context(context) {}

PipeSetup::~PipeSetup() {}

int PipeSetup::contextStamp(const gr::Context* context) {
	return int((unsigned(context->getWidth()) & 0xFFFFu) << 16 | (unsigned(context->getHeight()) & 0xFFFFu));
}

void PipeSetup::setup(Camera* camera) {
	Camera::collectNodes(camera->root(), m_nodes);
	m_lightSorter.clear();
	for (int i = 0; i < m_nodes.size(); ++i) {
		Node* n = m_nodes[i];
		if (n->getClassId() == Node::NODE_LIGHT && n->isEnabled())
			m_lightSorter.addLight(n);
	}
	camera->setupTransforms(m_context.ptr(), m_nodes);
	camera->prepareVisuals(m_nodes, m_visuals);
	Camera::collectShaders(m_visuals, m_shaders);
	Camera::collectPriorities(m_shaders, m_priorities);
	m_stamp = contextStamp(m_context.ptr());
}

void PipeSetup::setTechnique(const lang::String& name) {
	for (int i = 0; i < m_shaders.size(); ++i)
		m_shaders[i]->setTechnique(name);
}

bool PipeSetup::isValid() const {
	return m_stamp == contextStamp(m_context.ptr());
}

} // namespace hgr
