#ifndef HGR_PIPESETUP_H
#define HGR_PIPESETUP_H

#include <hgr/LightSorter.h>
#include <gr/Context.h>
#include <lang/Array.h>
#include <lang/Object.h>
#include <lang/Ptr.h>
#include <lang/String.h>

namespace gr {
class Shader;
}

namespace hgr {

class Camera;
class Node;
class Visual;

/**
 * The lists of a camera's render pass (nodes, visible visuals, lights,
 * shaders, priorities) prepared once for later use. The node and visual
 * lists are plain pointers: valid while the tree stays as it was.
 */
class PipeSetup : public lang::Object {
public:
	/** Takes a reference to the context; empty lists, stamp -1. */
	explicit PipeSetup(gr::Context* context);
	~PipeSetup() override;

	/** Runs the camera's collection, transforms and culling into these lists and stores the context's stamp. */
	virtual void setup(Camera* camera);

	/** Selects the technique on every shader of the list. */
	void setTechnique(const lang::String& name);

	gr::Context* getContext() const { return m_context.ptr(); }

	/** True while the context's stamp equals the one stored by the last setup. */
	bool isValid() const;

	/**
	 * The context's stamp: the graphics context keeps no counter of its own,
	 * so the stamp follows its size, which is what invalidates the prepared
	 * projection and culling.
	 */
	static int contextStamp(const gr::Context* context);

	const lang::Array<Node*>& getNodes() const { return m_nodes; }
	const lang::Array<Visual*>& getVisuals() const { return m_visuals; }
	LightSorter& getLightSorter() { return m_lightSorter; }
	const lang::Array<gr::Shader*>& getShaders() const { return m_shaders; }
	const lang::Array<int>& getPriorities() const { return m_priorities; }

private:
	lang::Array<Node*> m_nodes;
	lang::Array<Visual*> m_visuals;
	LightSorter m_lightSorter;
	lang::Array<gr::Shader*> m_shaders;
	lang::Array<int> m_priorities;
	int m_stamp;
	lang::Ptr<gr::Context> m_context;

	PipeSetup(const PipeSetup&) = delete;
	PipeSetup& operator=(const PipeSetup&) = delete;
};

} // namespace hgr

#endif
