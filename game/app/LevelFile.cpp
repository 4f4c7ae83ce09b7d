#include "app/LevelFile.h"

#include <hgr/ResourceManager.h>
#include <hgr/Scene.h>
#include <hgr/SceneReader.h>

namespace lumaroll {

LevelFile::LevelFile(const std::string& path) : path(path), file(lang::String(path.c_str())), header(&file) {}

lang::Ptr<hgr::Scene> LevelFile::readScene(gr::Context* context, hgr::ResourceManager* resources,
                                           const std::string& textureDir, const std::string& shaderDir,
                                           const std::string& particleDir)
{
    const lang::String name(path.c_str());
    lang::Ptr<hgr::Scene> scene = new hgr::Scene;
    scene->setName(name);
    hgr::SceneReader reader(context, resources ? resources : hgr::ResourceManager::getDefault(context), name,
                            textureDir.c_str(), shaderDir.c_str(), particleDir.c_str());
    reader.read(scene, header);
    return scene;
}

} // namespace lumaroll
