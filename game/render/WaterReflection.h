// STAND-IN for the water reflection: finds no water, so each frame only
// clears the context's reflection map. Replaced by the water reflection.
#pragma once

#include <gr/gles2/GLES2_Context.h>
#include <hgr/Camera.h>
#include <hgr/Scene.h>
#include <lang/Ptr.h>

#include <cstdint>

namespace lumaroll {

class WaterReflection {
public:
    WaterReflection(gr::GLES2_Context* context, hgr::Scene*) : context(context) {}

    void render(hgr::Camera*, int, int, std::uint32_t, float) { context->reflectionMap = nullptr; }
    // True when (x, z) lies over water, with its height; never, here.
    bool waterHeightAt(float, float, float&) const { return false; }

    bool enabled = true;

private:
    gr::GLES2_Context* context;
};

} // namespace lumaroll
