#ifndef HGR_DEFAULTRESOURCEMANAGER_H
#define HGR_DEFAULTRESOURCEMANAGER_H

#include <hgr/ParticleSystem.h>
#include <hgr/ResourceManager.h>
#include <gr/Context.h>
#include <gr/CubeTexture.h>
#include <gr/Texture.h>
#include <lang/Hashtable.h>
#include <lang/Ptr.h>
#include <lang/String.h>

namespace hgr {

/**
 * Caches in front of one gr::Context: textures and cube textures by the name
 * as asked (case-sensitive), particle systems by the base name of their
 * description file. The caches keep one reference to each resource; only
 * releaseUnusedTextures() and the destructor let go of them.
 *
 * Particle systems are handed out as copies of the cached one, so what a
 * caller does to its system (start time, transform, flags, links) never
 * reaches the next caller's.
 */
class DefaultResourceManager : public ResourceManager {
public:
	/** Cache record of one texture; null until a load succeeds. */
	struct TextureResource {
		lang::Ptr<gr::Texture> texture;
	};

	/** context may be null; then only the caches' bookkeeping may be used. */
	explicit DefaultResourceManager(gr::Context* context);
	~DefaultResourceManager() override;

	/** The context's shader instance, passed through uncached. */
	gr::Shader* createShader(const lang::String& name, int variant) override;

	/**
	 * The cached texture of name, loaded through the context on a miss (with
	 * the last four characters of a name longer than four replaced by the
	 * suffix when one is set). A failed load is tried again next time. An
	 * empty name loads nothing and returns null.
	 */
	gr::Texture* getTexture(const lang::String& name) override;

	/** As getTexture, without the suffix. */
	gr::CubeTexture* getCubeTexture(const lang::String& name) override;

	/**
	 * A new copy of the cached system of the description file name (reading
	 * the file on the first request). Files in different directories with the
	 * same base name share one entry. Throws io::IOException when the file
	 * cannot be read or is invalid; nothing is cached then.
	 */
	ParticleSystem* getParticleSystem(const lang::String& name, const lang::String& textureDir,
									  const lang::String& shaderDir) override;

	/** Replacement for the last four characters of texture names when loading; empty for none. */
	void setTextureSuffix(const lang::String& suffix) { m_textureSuffix = suffix; }

	/**
	 * Drops every cached texture nobody else holds and returns the bytes they
	 * took (width x height x bytes per pixel of the format). Their entries
	 * stay; the next request loads them again.
	 */
	int releaseUnusedTextures();

	/** The cache key of a description file: its base name without directory and extension. */
	static lang::String particleSystemKey(const lang::String& name);

	gr::Context* getContext() const { return m_context; }
	/** Cache sizes (entries in use, also empty ones). */
	int textureEntryCount() const { return m_textures.size(); }
	int particleSystemEntryCount() const { return m_particleSystems.size(); }

private:
	lang::String m_textureSuffix;
	lang::Ptr<gr::Context> m_context;
	lang::Hashtable<lang::String, TextureResource> m_textures;
	lang::Hashtable<lang::String, lang::Ptr<gr::CubeTexture>> m_cubeTextures;
	lang::Hashtable<lang::String, lang::Ptr<ParticleSystem>> m_particleSystems;

	DefaultResourceManager(const DefaultResourceManager&) = delete;
	DefaultResourceManager& operator=(const DefaultResourceManager&) = delete;
};

} // namespace hgr

#endif
