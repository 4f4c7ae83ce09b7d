// STAND-IN for the water reflection: it finds no water, so each frame only
// clears the context's reflection map, and no point lies over water. The
// water reflection capability (planar reflection pass, animated normal map,
// water heights) replaces it with this interface.
#pragma once

#include <gr/gles2/GLES2_Context.h>
#include <hgr/Camera.h>
#include <hgr/Scene.h>
#include <lang/Ptr.h>

#include <cstdint>

namespace lumaroll {

class WaterReflection {
public:
    // Built by the level session once the level (and its ball) is set up:
    // finds the scene's water meshes and the normal-map frames.
    WaterReflection(gr::GLES2_Context* context, hgr::Scene*) : context(context) {}

    // First thing of every rendered frame: the reflection pass through a
    // mirror of the eye camera into a half-size texture, for a frame of
    // width x height cleared to clearColor at the context's time in seconds;
    // sets the context's reflection and normal maps for the main pass.
    void render(hgr::Camera*, int, int, std::uint32_t, float) { context->reflectionMap = nullptr; }
    // True when (x, z) lies over water, with the highest water height there;
    // the player's water-height callback (for the follow camera) calls it.
    bool waterHeightAt(float, float, float&) const { return false; }

    // The reflection pass is drawn: true from construction, toggled by the
    // session's developer key.
    bool enabled = true;

private:
    gr::GLES2_Context* context;
};

} // namespace lumaroll
