#include "app/LevelScene.h"

#include "text/PropertyText.h"

#include <gr/Primitive.h>
#include <gr/Shader.h>
#include <gr/gles2/GLES2_Context.h>
#include <hgr/Mesh.h>
#include <hgr/Scene.h>
#include <hgr/UserPropertySet.h>

#include <cstdio>
#include <cstdlib>

namespace lumaroll {

namespace {

// The property text of a node; null when the scene has none for it.
const lang::String* propertyText(hgr::Scene* scene, const lang::String& name)
{
    const hgr::UserPropertySet* properties = scene ? scene->getUserProperties() : nullptr;
    return properties ? properties->find(name) : nullptr;
}

bool hasNamedShader(hgr::Mesh* mesh)
{
    for (int i = 0; i < mesh->getPrimitiveCount(); ++i) {
        gr::Shader* shader = mesh->getPrimitive(i)->getShader();
        if (shader && shader->name().length() > 0)
            return true;
    }
    return false;
}

bool isDrawable(int classId)
{
    return classId == hgr::Node::NODE_LINES || classId == hgr::Node::NODE_MESH ||
           classId == hgr::Node::NODE_VISUAL || classId == hgr::Node::NODE_PARTICLESYSTEM;
}

} // namespace

std::string nodePropertyText(hgr::Scene* scene, const std::string& nodeName)
{
    const lang::String* text = propertyText(scene, lang::String(nodeName.c_str()));
    return text ? wholeText(*text) : std::string();
}

std::string nodeProperty(hgr::Scene* scene, const std::string& nodeName, const std::string& key)
{
    return propertyValue(nodePropertyText(scene, nodeName), key);
}

void applyFog(hgr::Scene* scene, gr::GLES2_Context* context)
{
    const float start = scene->getFogStart();
    const float end = scene->getFogEnd();
    if (scene->getFogMode() == hgr::Scene::FOG_LINEAR && end > start) {
        context->fogRange = math::Vector4(start, end, 1.f / (end - start), 0.f);
        const math::Vector3& c = scene->getFogColor();
        context->fogColor = math::Vector4(c.x, c.y, c.z, 1.f);
        std::printf("fog: linear from %g to %g\n", start, end);
    } else {
        context->fogRange = math::Vector4(0.f, 0.f, 0.f, 0.f);
    }
}

std::vector<lang::Ptr<hgr::Node>> hideHelperMeshes(hgr::Scene* scene)
{
    std::vector<lang::Ptr<hgr::Node>> hidden;
    for (hgr::Node* node = scene; node; node = node->next(scene)) {
        const int classId = node->getClassId();
        if (!isDrawable(classId))
            continue;
        bool hide = false;
        if (classId == hgr::Node::NODE_MESH && !hasNamedShader(static_cast<hgr::Mesh*>(node))) {
            hide = true;
        } else if (const lang::String* text = propertyText(scene, node->getName())) {
            // A "group=" line with bit 0x100 marks a helper; trigger volumes stay visible.
            if (!node->getName().startsWith("T_"))
                hide = (std::strtol(propertyValue(wholeText(*text), "group").c_str(), nullptr, 10) & 0x100) != 0;
        }
        if (hide) {
            node->setEnabled(false);
            hidden.push_back(node);
        }
    }
    std::printf("hidden collision/trigger meshes: %d\n", static_cast<int>(hidden.size()));
    if (std::getenv("LUMAROLL_TRACE")) {
        for (const auto& node : hidden) {
            const std::string name = node->getName().c_str();
            std::printf("[trace] hidden '%s'\n", name.c_str());
        }
    }
    return hidden;
}

std::uint32_t sceneClearColor(hgr::Scene* scene)
{
    const std::string value = nodeProperty(scene, "D_start", "bgcolor");
    if (value.size() < 6)
        return kDefaultClearColor;
    const unsigned long rgb = std::strtoul(value.substr(0, 6).c_str(), nullptr, 16);
    return static_cast<std::uint32_t>(rgb) | 0xff000000u;
}

bool isInSubtree(const hgr::Node* node, const hgr::Node* top)
{
    for (const hgr::Node* n = node; n; n = n->getParent()) {
        if (n == top)
            return true;
    }
    return false;
}

std::vector<lang::Ptr<hgr::Node>> sceneCameraNodes(hgr::Scene* scene)
{
    std::vector<lang::Ptr<hgr::Node>> cameras;
    for (hgr::Node* node = scene; node; node = node->next(scene)) {
        if (node->getClassId() == hgr::Node::NODE_CAMERA)
            cameras.push_back(node);
    }
    return cameras;
}

} // namespace lumaroll
