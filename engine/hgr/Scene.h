#ifndef HGR_SCENE_H
#define HGR_SCENE_H

#include <hgr/Node.h>
#include <hgr/TransformAnimationSet.h>
#include <hgr/UserPropertySet.h>
#include <lang/Ptr.h>
#include <lang/String.h>
#include <math/Vector3.h>

namespace gr {
class Context;
}

namespace hgr {

class Camera;
class ResourceManager;

/**
 * Root node of a scene file's tree. Besides the tree it holds what belongs
 * to the file as a whole: the transform animations by node name, the user
 * property texts by node name and the fog values. Copies share the
 * animation set and the user property set.
 */
class Scene : public Node {
public:
	/** Fog modes as scene files store them. */
	enum FogMode { FOG_NONE = 0, FOG_LINEAR = 1 };

	/** Empty scene: no animations, no user properties, white fog from 0 to 1000, mode 0. */
	Scene();

	/**
	 * Loads the scene file fileName (the scene's name becomes fileName).
	 * resources may be null: the process-wide default manager is used. An
	 * empty directory stands for the directory of fileName. Throws
	 * io::IOException, naming the file, when the file cannot be read, is
	 * malformed or was made for another platform than the context's;
	 * exceptions of the resource manager and of the node lookups pass through.
	 * Missing textures and effects are left to the context (placeholders).
	 */
	Scene(gr::Context* context, const lang::String& fileName, ResourceManager* resources,
		  const lang::String& textureDir, const lang::String& shaderDir, const lang::String& particleDir);

	/** Copies the node part with a clone of the subtree; shares the animation and user property sets. */
	Scene(const Scene& other);
	~Scene() override;

	Node* clone() const override;

	/** The animation set; null for a scene that was not loaded. */
	TransformAnimationSet* getAnimations() const { return m_animations; }
	/** The user property set; null when the file had none. */
	UserPropertySet* getUserProperties() const { return m_userProperties; }
	void setAnimations(TransformAnimationSet* animations) { m_animations = animations; }
	void setUserProperties(UserPropertySet* properties) { m_userProperties = properties; }

	/** Stores the fog values as given (mode 1 is linear fog). */
	void setFog(int mode, const math::Vector3& color, float start, float end);
	int getFogMode() const { return m_fogMode; }
	/** Red, green and blue. */
	const math::Vector3& getFogColor() const { return m_fogColor; }
	float getFogStart() const { return m_fogStart; }
	float getFogEnd() const { return m_fogEnd; }

	/**
	 * Sets each node that has an animation to its transform at time (the
	 * scene included, depth first), then advances every particle system by dt.
	 */
	void update(float time, float dt);

	/** The first camera depth first from the scene; a new camera linked under the scene when there is none. */
	Camera* getCamera();

	/** Unlinks every camera and light of the tree that has no children. */
	void removeCamerasAndLights();

	/**
	 * Box of the visuals in the scene's own space: lines, meshes, visuals and
	 * particle systems with a local box and a finite radius. (0, 0, 0) twice
	 * when there are none.
	 */
	void getBoundBox(math::Vector3& boxMin, math::Vector3& boxMax) const;

	/**
	 * Moves other's children under this scene (they arrive in reverse order)
	 * and takes over its animations; user properties are not merged.
	 */
	void merge(Scene* other);

	/** Writes the tree and the user property texts to the debug log. */
	void dump() const;

private:
	lang::Ptr<TransformAnimationSet> m_animations;
	lang::Ptr<UserPropertySet> m_userProperties;
	math::Vector3 m_fogColor;
	float m_fogStart;
	float m_fogEnd;
	int m_fogMode;

	Scene& operator=(const Scene&) = delete;
};

} // namespace hgr

#endif
