#include <hgr/DefaultResourceManager.h>
#include <hgr/ResourceManager.h>
#include <lang/Ptr.h>

namespace hgr {

namespace {

/** Released with the program's static objects. */
lang::Ptr<ResourceManager> g_default;

} // namespace

ResourceManager::~ResourceManager() {}

ResourceManager* ResourceManager::getDefault(gr::Context* context) {
	if (!g_default)
		g_default = new DefaultResourceManager(context);
	return g_default;
}

void ResourceManager::setDefault(ResourceManager* manager) {
	g_default = manager;
}

} // namespace hgr
