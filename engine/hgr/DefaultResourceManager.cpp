#include <hgr/DefaultResourceManager.h>
#include <hgr/ParticleSystem.h>
#include <gr/Shader.h>
#include <gr/SurfaceFormat.h>
#include <io/PathName.h>

namespace hgr {

DefaultResourceManager::DefaultResourceManager(gr::Context* context) : m_context(context) {}

DefaultResourceManager::~DefaultResourceManager() {
	m_textures.clear();
}

gr::Shader* DefaultResourceManager::createShader(const lang::String& name, int variant) {
	return m_context->createShader(name, variant);
}

gr::Texture* DefaultResourceManager::getTexture(const lang::String& name) {
	// An empty name would load whatever the bare directory resolves to.
	if (name.length() == 0)
		return nullptr;
	TextureResource* entry = m_textures.find(name);
	if (!entry) {
		m_textures.put(name, TextureResource());
		entry = m_textures.find(name);
	}
	if (entry->texture)
		return entry->texture;

	lang::String loadName = name;
	if (m_textureSuffix.length() > 0 && name.length() > 4)
		loadName = name.substring(0, name.length() - 4) + m_textureSuffix;
	lang::Ptr<gr::Texture> texture = m_context->loadTexture(loadName);
	// The loader does not touch this table, but look again rather than trust an old entry pointer.
	entry = m_textures.find(name);
	entry->texture = texture;
	return texture;
}

gr::CubeTexture* DefaultResourceManager::getCubeTexture(const lang::String& name) {
	if (name.length() == 0)
		return nullptr;
	lang::Ptr<gr::CubeTexture>* entry = m_cubeTextures.find(name);
	if (!entry) {
		m_cubeTextures.put(name, lang::Ptr<gr::CubeTexture>());
		entry = m_cubeTextures.find(name);
	}
	if (*entry)
		return *entry;
	lang::Ptr<gr::CubeTexture> texture = m_context->createCubeTexture(name);
	m_cubeTextures.put(name, texture);
	return texture;
}

lang::String DefaultResourceManager::particleSystemKey(const lang::String& name) {
	io::PathName path;
	path.join(name);
	return lang::String(path.baseName());
}

ParticleSystem* DefaultResourceManager::getParticleSystem(const lang::String& name, const lang::String& textureDir,
														  const lang::String& shaderDir) {
	const lang::String key = particleSystemKey(name);
	lang::Ptr<ParticleSystem>* entry = m_particleSystems.find(key);
	if (!entry || !*entry) {
		// Read before anything is cached: a description that throws leaves no entry behind.
		lang::Ptr<ParticleSystem> loaded = new ParticleSystem(m_context, name, this, textureDir, shaderDir);
		m_particleSystems.put(key, loaded);
		entry = m_particleSystems.find(key);
	}
	// Callers always get a copy: the cached system stays pristine for the next one.
	return new ParticleSystem(**entry);
}

int DefaultResourceManager::releaseUnusedTextures() {
	int bytes = 0;
	for (auto it = m_textures.begin(); it != m_textures.end(); ++it) {
		lang::Ptr<gr::Texture>& texture = it->value.texture;
		if (!texture || texture->referenceCount() != 1)
			continue;
		bytes += texture->getWidth() * texture->getHeight() * (texture->getFormat().bitsPerPixel() / 8);
		texture.reset();
	}
	return bytes;
}

} // namespace hgr
