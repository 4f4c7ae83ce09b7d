// STAND-IN for the library objects of a level: no placeholder is replaced
// and no trigger record is handed on. Replaced by the library-object loader.
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

struct LibraryTrigger {
    std::string name;
    lang::Ptr<hgr::Node> node;
    std::string text;
    std::string trigger;
};

// Returns the number of objects loaded.
inline int loadLibraryObjects(hgr::Scene*, gr::Context*, hgr::ResourceManager*, const std::string&,
                              std::vector<LibraryTrigger>&)
{
    return 0;
}

} // namespace lumaroll
