#include "render/WaterReflection.h"

#include <gr/ContextObject.h>
#include <gr/DIPrimitive.h>
#include <gr/Rect.h>
#include <gr/SurfaceFormat.h>
#include <gr/gles2/GLES2_Effect.h>
#include <gr/gles2/GLES2_Shader.h>
#include <gr/gles2/GLES2_Texture.h>
#include <hgr/Mesh.h>
#include <math/Vector3.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace lumaroll {

namespace {

// The normal-map animation: at most this many frames, 15 a second in a
// 2 second loop.
constexpr int kMaxNormalMaps = 30;

bool isWaterShader(const gr::Shader* shader)
{
    const gr::GLES2_Shader* gles = dynamic_cast<const gr::GLES2_Shader*>(shader);
    if (!gles)
        return false;
    for (const std::string& technique : gles->techniqueNames()) {
        if (technique == "Water")
            return true;
    }
    return gr::GLES2_Effect::baseName(gles->effect()->name).compare(0, 5, "water") == 0;
}

// What measuring a water mesh found.
enum class Measured { Area, NoVertices, HeightNotFinite, ExtentNotFinite };

// Measures a water mesh in world space; the area is filled only for Area.
Measured measure(hgr::Mesh* mesh, WaterArea& area)
{
    const math::Matrix3x4 world = mesh->getWorldTransform();
    double sumY = 0.0;
    long count = 0;
    bool finiteExtent = true;
    float minX = FLT_MAX, minZ = FLT_MAX;
    float maxX = -FLT_MAX, maxZ = -FLT_MAX;
    std::vector<math::Vector4> positions;
    for (int i = 0; i < mesh->getPrimitiveCount(); ++i) {
        gr::DIPrimitive* primitive = dynamic_cast<gr::DIPrimitive*>(mesh->getPrimitive(i));
        if (!primitive || primitive->getVertexCount() <= 0)
            continue;
        const int vertices = primitive->getVertexCount();
        positions.resize(static_cast<size_t>(vertices));
        {
            gr::ContextObjectLock lock(primitive, gr::ContextObject::LOCK_READ);
            primitive->getPositions(0, positions.data(), vertices);
        }
        for (const math::Vector4& p : positions) {
            const math::Vector3 w = world.transform(p.xyz());
            sumY += w.y;
            // min and max pass over a NaN without a trace, so it is looked for here.
            finiteExtent = finiteExtent && std::isfinite(w.x) && std::isfinite(w.z);
            minX = std::min(minX, w.x);
            maxX = std::max(maxX, w.x);
            minZ = std::min(minZ, w.z);
            maxZ = std::max(maxZ, w.z);
        }
        count += vertices;
    }
    if (count == 0)
        return Measured::NoVertices;
    // The sum of floats in a double stays finite, so the mean is finite
    // exactly when every vertex height is.
    const float height = static_cast<float>(sumY / static_cast<double>(count));
    if (!std::isfinite(height))
        return Measured::HeightNotFinite;
    if (!finiteExtent)
        return Measured::ExtentNotFinite;
    area.mesh = mesh;
    area.height = height;
    area.minX = minX;
    area.maxX = maxX;
    area.minZ = minZ;
    area.maxZ = maxZ;
    return Measured::Area;
}

bool isLinkedTo(const hgr::Node* node, const hgr::Node* top)
{
    for (const hgr::Node* n = node->getParent(); n; n = n->getParent()) {
        if (n == top)
            return true;
    }
    return false;
}

// Puts the context's pass state back however the reflection pass ends (its
// drawing may throw).
class PassState {
public:
    PassState(gr::GLES2_Context* context, int width, int height) : context(context), width(width), height(height)
    {
    }
    ~PassState()
    {
        context->mirrored = false;
        context->clipPlaneEnabled = false;
        context->techniqueOverride.clear();
        context->setRenderTarget(nullptr);
        context->setViewport(gr::Rect(width, height));
    }
    PassState(const PassState&) = delete;
    PassState& operator=(const PassState&) = delete;

private:
    gr::GLES2_Context* context;
    int width;
    int height;
};

} // namespace

bool isWaterMesh(const hgr::Node* node)
{
    if (node->getClassId() != hgr::Node::NODE_MESH)
        return false;
    const hgr::Mesh* mesh = static_cast<const hgr::Mesh*>(node);
    for (int i = 0; i < mesh->getPrimitiveCount(); ++i) {
        if (isWaterShader(mesh->getPrimitive(i)->getShader()))
            return true;
    }
    return false;
}

WaterReflection::WaterReflection(gr::GLES2_Context* context, hgr::Scene* sceneRoot)
    : context(context), scene(sceneRoot)
{
    for (hgr::Node* node = sceneRoot; node; node = node->next(sceneRoot)) {
        if (!isWaterMesh(node))
            continue;
        WaterArea area;
        const char* notFinite = nullptr;
        switch (measure(static_cast<hgr::Mesh*>(node), area)) {
        case Measured::Area:
            areas.push_back(area);
            break;
        case Measured::NoVertices:
            break;
        case Measured::HeightNotFinite:
            notFinite = "height";
            break;
        case Measured::ExtentNotFinite:
            notFinite = "extent";
            break;
        }
        if (notFinite)
            std::fprintf(stderr, "water: mesh %s ignored: its %s is not a finite number\n", node->getName().c_str(),
                         notFinite);
    }

    // The frames run from "water01.pvr" without gaps. The context gives a
    // placeholder for a file it cannot load, so the end is where the file is
    // absent or failed to load; without water no frame is wanted at all.
    for (int i = 1; i <= kMaxNormalMaps && !areas.empty(); ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "water%02d.pvr", i);
        if (gr::GLES2_Context::resolvePath(context->textureDirectory, name).empty())
            break;
        lang::Ptr<gr::Texture> frame = context->loadTexture(name);
        const gr::GLES2_Texture* texture = dynamic_cast<const gr::GLES2_Texture*>(frame.ptr());
        if (!texture || !texture->isLoaded() || texture->glName() == 0)
            break;
        normalMaps.push_back(frame);
    }

    camera = new hgr::Camera;
    camera->setName("reflejo_agua");
    camera->linkTo(sceneRoot);
}

void WaterReflection::targetSize(int width, int height, int& tw, int& th)
{
    tw = width < 4 ? 1 : width / 2;
    th = height <= 3 ? 1 : height / 2;
}

math::Matrix3x4 WaterReflection::mirroredTransform(const math::Matrix3x4& eyeWorld, float waterHeight)
{
    math::Matrix3x4 mirror(1.f);
    mirror.m[1][1] = -1.f;
    mirror.m[1][3] = 2.f * waterHeight;
    return mirror * eyeWorld;
}

math::Vector4 WaterReflection::clipPlaneFor(const math::Matrix3x4& cameraWorld, float waterHeight)
{
    // World y of a camera-space point p is R1 . p + t_y: the plane keeps y > H.
    return math::Vector4(cameraWorld.m[1][0], cameraWorld.m[1][1], cameraWorld.m[1][2],
                         cameraWorld.m[1][3] - waterHeight);
}

const WaterArea* WaterReflection::nearestArea(const math::Vector3& eye) const
{
    const WaterArea* best = nullptr;
    float bestDistance = 0.f;
    for (const WaterArea& area : areas) {
        if (!area.mesh->isEnabled() || !isLinkedTo(area.mesh, scene))
            continue;
        const math::Vector3 d = area.mesh->getWorldTransform().getTranslation() - eye;
        const float distance = d.x * d.x + d.y * d.y + d.z * d.z;
        if (!best || distance < bestDistance) {
            best = &area;
            bestDistance = distance;
        }
    }
    return best;
}

void WaterReflection::traceState(const WaterArea* area, bool below, float time, float eyeY) const
{
    // One remembered text for the process; both strings keep their storage.
    static std::string last;
    static std::string state;
    state.clear();
    if (!area) {
        state += "no reflection: no water linked to the scene";
    } else {
        state += below ? "no reflection: camera below the water of " : "reflejando ";
        state += area->mesh->getName().c_str();
    }
    if (state == last)
        return;
    last = state;
    std::printf("[trace] %s (t=%.1f s, camera y=%g, water y=%g)\n", state.c_str(), time, eyeY,
                area ? area->height : 0.f);
}

void WaterReflection::render(hgr::Camera* eye, int width, int height, std::uint32_t clearColor, float time)
{
    if (!normalMaps.empty()) {
        const int count = static_cast<int>(normalMaps.size());
        int index = static_cast<int>(std::fmod(time, 2.f) * 15.f) % count;
        if (index < 0)
            index += count;
        context->waterNormalMap = normalMaps[static_cast<size_t>(index)];
    }
    if (!enabled) {
        context->reflectionMap = nullptr;
        return;
    }

    const math::Matrix3x4 eyeWorld = eye->getWorldTransform();
    const float eyeY = eyeWorld.m[1][3];
    const WaterArea* area = nearestArea(eyeWorld.getTranslation());
    // At the water's height exactly the reflection is still drawn.
    const bool below = area && area->height > eyeY;
    if (std::getenv("LUMAROLL_TRACE"))
        traceState(area, below, time, eyeY);
    if (!area || below) {
        context->reflectionMap = nullptr;
        return;
    }

    int tw = 0, th = 0;
    targetSize(width, height, tw, th);
    if (!reflectionTexture || tw != targetWidth || th != targetHeight) {
        reflectionTexture = context->createTexture(tw, th, gr::SurfaceFormat::A8R8G8B8, 0, 0);
        targetWidth = tw;
        targetHeight = th;
    }

    const math::Matrix3x4 reflected = mirroredTransform(eyeWorld, area->height);
    camera->setHorizontalFov(eye->getHorizontalFov());
    camera->setFront(eye->getFront());
    camera->setBack(eye->getBack());
    camera->setTransform(reflected);

    {
        PassState restore(context, width, height);
        context->setRenderTarget(reflectionTexture);
        context->setViewport(gr::Rect(tw, th));
        context->clear(clearColor);
        context->techniqueOverride = "Reflected";
        context->mirrored = true;
        context->clipPlaneEnabled = true;
        context->clipPlane = clipPlaneFor(reflected, area->height);
        // The water must not sample the texture it is drawn into.
        context->reflectionMap = nullptr;
        camera->render(context);
    }
    context->reflectionMap = reflectionTexture;
}

bool WaterReflection::waterHeightAt(float x, float z, float& height) const
{
    bool found = false;
    float highest = 0.f;
    for (const WaterArea& area : areas) {
        if (x < area.minX || x > area.maxX || z < area.minZ || z > area.maxZ)
            continue;
        if (!found || area.height > highest)
            highest = area.height;
        found = true;
    }
    if (found)
        height = highest;
    return found;
}

} // namespace lumaroll
