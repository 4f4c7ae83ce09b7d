// Library objects: a level scene's placeholder nodes (a property line
// "load=file" or "load=file,subnode") stand for models kept in the data
// folder's "resources/models". While the level loads, each placeholder gets
// its model: the whole model below the placeholder, or the named node of the
// model in the placeholder's place, with the model's shadow meshes and a
// trigger script for the level logic.
#pragma once

#include <hgr/Node.h>
#include <lang/Ptr.h>

#include <string>
#include <vector>

namespace gr {
class Context;
}
namespace hgr {
class ResourceManager;
class Scene;
} // namespace hgr

namespace lumaroll {

// One library object with its trigger script, written by the loader and read
// by the session's world and player set-up.
struct LibraryTrigger {
    std::string name;          // the name the object bears in the level scene
    lang::Ptr<hgr::Node> node; // the object
    std::string text;          // its property text (a trigger script when it holds "a01")
    std::string trigger;       // the name of its trigger
};

// Whether node is a mesh whose name holds "shadow" in any case: the shadow
// meshes of a library object.
bool isShadowMesh(const hgr::Node* node);

// Replaces the level scene's placeholders by their models while the level
// loads (scene, context, resources, data folder), appending one record per
// object taken from a subnode to out. Returns the number of objects loaded.
//
// A placeholder with "load=file,subnode": that node of the model takes the
// placeholder's name, local transform and parent (the scene when it has
// none); the placeholder is renamed "T_" + its name. Unless its text holds
// "shadow=0", the model's other meshes whose name holds "shadow" (any case)
// move under the object keeping their place relative to it; with it, the
// object's own shadow meshes are disabled. Without a subnode, or one the
// model lacks, the model's top nodes go below the placeholder.
//
// Prints "library objects: <loaded> of <requests> loaded"; a model that
// cannot be loaded prints "library object '<placeholder>' (<path>): <message>"
// on stderr and is not counted. A missing placeholder node or models folder
// skips the request silently. Returns 0 and prints nothing when the scene has
// no property table or dataDir is empty. With LUMAROLL_TRACE set, prints
// "[trace] library object <placeholder> -> <value>" per request.
int loadLibraryObjects(hgr::Scene* scene, gr::Context* context, hgr::ResourceManager* resources,
                       const std::string& dataDir, std::vector<LibraryTrigger>& out);

} // namespace lumaroll
