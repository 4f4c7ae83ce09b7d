// STAND-IN for the library objects of a level: no placeholder is replaced
// and no trigger record is handed on. The library-object loader (placeholders
// "load=" replaced by models of the data folder's "resources/models")
// replaces it with this interface.
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

// Replaces the level scene's placeholders by their models while the level
// loads (scene, context, resources, data folder), appending one record per
// object to out. Returns the number of objects loaded.
inline int loadLibraryObjects(hgr::Scene*, gr::Context*, hgr::ResourceManager*, const std::string&,
                              std::vector<LibraryTrigger>&)
{
    return 0;
}

} // namespace lumaroll
