// What the level session reads from a freshly loaded level scene: node
// properties, fog, the helper meshes that are not drawn, the clear colour.
#pragma once

#include <lang/Ptr.h>

#include <cstdint>
#include <string>
#include <vector>

namespace gr {
class GLES2_Context;
}
namespace hgr {
class Node;
class Scene;
} // namespace hgr

namespace lumaroll {

// The default clear colour of a level, 0xAARRGGBB: the background without a
// "bgcolor" and the clear colour of the water reflection pass.
constexpr std::uint32_t kDefaultClearColor = 0xff6688aa;

// The whole property text of the scene's node name; empty when the scene or
// the node has none.
std::string nodePropertyText(hgr::Scene* scene, const std::string& nodeName);

// propertyValue (text/PropertyText.h) of the scene's property text for nodeName; empty when the
// scene or the node has none.
std::string nodeProperty(hgr::Scene* scene, const std::string& nodeName, const std::string& key);

// Linear fog with end above start goes to the context (and prints "fog:");
// anything else switches the context's fog off.
void applyFog(hgr::Scene* scene, gr::GLES2_Context* context);

// Disables the meshes that are not meant to be seen (collision and trigger
// helpers): meshes without a named shader, and nodes whose "group=" property
// has bit 0x100 unless their name starts with "T_". Prints their count;
// returns them.
std::vector<lang::Ptr<hgr::Node>> hideHelperMeshes(hgr::Scene* scene);

// "bgcolor" of the node "D_start" (six hex digits) as an opaque colour;
// kDefaultClearColor when absent or shorter.
std::uint32_t sceneClearColor(hgr::Scene* scene);

// Whether node is top or lies below it.
bool isInSubtree(const hgr::Node* node, const hgr::Node* top);

// Every camera node of the scene in depth-first order.
std::vector<lang::Ptr<hgr::Node>> sceneCameraNodes(hgr::Scene* scene);

} // namespace lumaroll
