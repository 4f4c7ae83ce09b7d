#ifndef HGR_RESOURCEMANAGER_H
#define HGR_RESOURCEMANAGER_H

#include <lang/Object.h>
#include <lang/String.h>

namespace gr {
class Context;
class CubeTexture;
class Shader;
class Texture;
}

namespace hgr {

class ParticleSystem;

/**
 * Where loaders get their device resources: textures and cube textures by
 * file name, particle systems by description file, and shader instances.
 * One process-wide default serves loaders that are given no manager.
 */
class ResourceManager : public lang::Object {
public:
	~ResourceManager() override;

	/** A new shader instance of effect name; the caller takes it into a lang::Ptr. */
	virtual gr::Shader* createShader(const lang::String& name, int variant) = 0;

	/** The shared texture of name; null when the device gives none. */
	virtual gr::Texture* getTexture(const lang::String& name) = 0;

	/** The shared cube texture of name; null when the device gives none. */
	virtual gr::CubeTexture* getCubeTexture(const lang::String& name) = 0;

	/**
	 * A new particle system of the description file name, owned by the
	 * caller. Throws io::IOException when the description cannot be read or
	 * is invalid.
	 */
	virtual ParticleSystem* getParticleSystem(const lang::String& name, const lang::String& textureDir,
											  const lang::String& shaderDir) = 0;

	/**
	 * The process-wide manager. The first call (while none is set) creates a
	 * hgr::DefaultResourceManager on context; later calls ignore the argument.
	 */
	static ResourceManager* getDefault(gr::Context* context);

	/** Replaces the process-wide manager; null clears it so that the next getDefault creates a fresh one. */
	static void setDefault(ResourceManager* manager);
};

} // namespace hgr

#endif
