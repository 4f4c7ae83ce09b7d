#include "app/LibraryObjects.h"

#include "app/LevelScene.h"
#include "files/DataLayout.h"
#include "files/Paths.h"
#include "text/LowerAscii.h"
#include "text/PropertyText.h"

#include <hgr/Scene.h>
#include <hgr/UserPropertySet.h>
#include <lang/Throwable.h>
#include <math/Matrix3x4.h>

#include <cstdio>
#include <cstdlib>
#include <utility>

namespace lumaroll {

namespace {

struct Request {
    std::string placeholder;
    std::string value;
};

// The model's shadow meshes kept beside the object go below it, keeping their
// place relative to it. They are gathered first and moved afterwards: moving
// nodes while the tree is walked would send the walk into another subtree. A
// shadow mesh that holds the object itself cannot go below it and stays.
void gatherShadows(hgr::Node* model, hgr::Node* source)
{
    std::vector<lang::Ptr<hgr::Node>> shadows;
    for (hgr::Node* n = model; n; n = n->next(model)) {
        if (isShadowMesh(n) && !isInSubtree(n, source) && !isInSubtree(source, n))
            shadows.push_back(n);
    }
    const math::Matrix3x4 toSource = source->getWorldTransform().inverse();
    for (const auto& shadow : shadows) {
        shadow->setTransform(toSource * shadow->getWorldTransform());
        shadow->linkTo(source);
    }
}

void disableShadows(hgr::Node* source)
{
    for (hgr::Node* n = source; n; n = n->next(source)) {
        if (isShadowMesh(n))
            n->setEnabled(false);
    }
}

// The record of an object taken from a subnode: the placeholder's text, the
// model's entry for the subnode, and when neither holds an action line, every
// entry of the model, whose last scripted entry then names the trigger.
LibraryTrigger objectRecord(const std::string& name, hgr::Node* source, const std::string& subnode,
                            const std::string& placeholderText, hgr::Scene* model)
{
    LibraryTrigger record;
    record.name = name;
    record.node = source;
    record.text = placeholderText;
    hgr::UserPropertySet* properties = model->getUserProperties();
    if (properties) {
        if (const lang::String* own = properties->find(lang::String(subnode.c_str())))
            record.text += "\n" + wholeText(*own);
        if (record.text.find("a01") == std::string::npos) {
            for (auto it = properties->begin(); it != properties->end(); ++it) {
                const std::string entry = wholeText(it->value);
                record.text += "\n" + entry;
                if (entry.find("a01") != std::string::npos)
                    record.trigger = wholeText(it->key) + "_" + name;
            }
        }
    }
    if (record.trigger.empty())
        record.trigger = "T_" + name;
    return record;
}

// Puts the model into the level for one placeholder. Engine exceptions pass
// to the caller.
void placeModel(hgr::Scene* scene, hgr::Node* placeholder, const std::string& name, hgr::Scene* model,
                const std::string& subnode, std::vector<LibraryTrigger>& out)
{
    hgr::Node* source = subnode.empty() ? nullptr : model->findNode(lang::String(subnode.c_str()));
    if (source == model)
        source = nullptr;

    if (!source) {
        // The whole model: its top nodes, gathered before any moves, go below
        // the placeholder in the model's order.
        std::vector<lang::Ptr<hgr::Node>> top;
        for (hgr::Node* child = model->getFirstChild(); child; child = child->getNextSibling())
            top.push_back(child);
        for (auto it = top.rbegin(); it != top.rend(); ++it)
            (*it)->linkTo(placeholder);
        return;
    }

    const std::string text = nodePropertyText(scene, name);
    const bool shadowOff = text.find("shadow=0") != std::string::npos;
    if (!shadowOff)
        gatherShadows(model, source);
    hgr::Node* parent = placeholder->getParent() ? placeholder->getParent() : scene;
    source->setTransform(placeholder->getTransform());
    source->linkTo(parent);
    placeholder->setName(lang::String(("T_" + name).c_str()));
    source->setName(lang::String(name.c_str()));
    if (shadowOff)
        disableShadows(source);
    out.push_back(objectRecord(name, source, subnode, text, model));
}

} // namespace

bool isShadowMesh(const hgr::Node* node)
{
    return node->getClassId() == hgr::Node::NODE_MESH &&
           lowerAscii(node->getName().c_str()).find("shadow") != std::string::npos;
}

int loadLibraryObjects(hgr::Scene* scene, gr::Context* context, hgr::ResourceManager* resources,
                       const std::string& dataDir, std::vector<LibraryTrigger>& out)
{
    hgr::UserPropertySet* properties = scene ? scene->getUserProperties() : nullptr;
    if (!properties || dataDir.empty())
        return 0;

    std::vector<Request> requests;
    for (auto it = properties->begin(); it != properties->end(); ++it) {
        std::string value = propertyValue(wholeText(it->value), "load");
        if (!value.empty())
            requests.push_back(Request{wholeText(it->key), std::move(value)});
    }

    const std::string models = dataDir + "/" + kModelsFolder + "/";
    const bool haveModels = isDirectory(models);
    const std::string textures = texturesDir(dataDir);
    const std::string shaders = shadersDir(dataDir);
    const std::string particles = particlesDir(dataDir);
    int loaded = 0;
    for (const Request& request : requests) {
        hgr::Node* placeholder = scene->findNode(lang::String(request.placeholder.c_str()));
        if (!placeholder || !haveModels)
            continue;
        const size_t comma = request.value.find(',');
        std::string file = request.value.substr(0, comma);
        const std::string subnode = comma == std::string::npos ? std::string() : request.value.substr(comma + 1);
        if (!endsWith(file, ".hgr"))
            file += ".hgr";
        const std::string path = models + file;
        try {
            lang::Ptr<hgr::Scene> model = new hgr::Scene(context, path.c_str(), resources, textures.c_str(),
                                                         shaders.c_str(), particles.c_str());
            placeModel(scene, placeholder, request.placeholder, model, subnode, out);
            ++loaded;
        } catch (const lang::Throwable& e) {
            const std::string message = lang::String(e.getMessage()).c_str();
            std::fprintf(stderr, "library object '%s' (%s): %s\n", request.placeholder.c_str(), path.c_str(),
                         message.c_str());
        }
    }

    std::printf("library objects: %d of %d loaded\n", loaded, static_cast<int>(requests.size()));
    if (std::getenv("LUMAROLL_TRACE")) {
        for (const Request& request : requests)
            std::printf("[trace] library object %s -> %s\n", request.placeholder.c_str(), request.value.c_str());
    }
    return loaded;
}

} // namespace lumaroll
