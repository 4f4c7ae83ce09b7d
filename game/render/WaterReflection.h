// The level's water: a live planar reflection of the scene in the water
// nearest to the eye, and an animated normal map. Each frame, before the
// scene, the scene is drawn once more through a camera mirrored at the
// water's height into a half-size texture; the graphics context hands that
// texture (REFLMAP) and the current normal-map frame (NORMALMAP) to the water
// effects. It also tells the follow camera how high the water is under a point.
#pragma once

#include <gr/Texture.h>
#include <gr/gles2/GLES2_Context.h>
#include <hgr/Camera.h>
#include <hgr/Node.h>
#include <hgr/Scene.h>
#include <lang/Ptr.h>
#include <math/Matrix3x4.h>
#include <math/Vector4.h>

#include <cstdint>
#include <string>
#include <vector>

namespace lumaroll {

// One water mesh, measured once in world space; every figure is finite.
struct WaterArea {
    lang::Ptr<hgr::Node> mesh;
    float height = 0.f; // mean world y of its vertices
    float minX = 0.f, maxX = 0.f, minZ = 0.f, maxZ = 0.f; // bounds of their world x and z
};

class WaterReflection {
public:
    // Built by the level session once the level (and its ball) is set up, in
    // every session. Finds the scene's water meshes: meshes with a primitive
    // whose effect offers a technique "Water" or whose effect file name
    // begins with "water". When there is water, loads the normal-map frames
    // "water01.pvr", "water02.pvr", ... (at most 30) from the context's
    // texture folder up to the first that is missing or does not load.
    // Links the reflection camera "reflejo_agua" under the scene.
    // Each water mesh with vertices adds one area. One whose height or
    // extent is not a finite number (a damaged vertex position, or one
    // beyond the float range in world space) adds none, so neither the
    // reflection nor waterHeightAt uses it, and prints one line on stderr,
    // "water: mesh <name> ignored: its height is not a finite number" (or
    // "its extent" when the height is finite); the mesh is still drawn.
    // Every finite height is kept, however large.
    WaterReflection(gr::GLES2_Context* context, hgr::Scene* scene);
    WaterReflection(const WaterReflection&) = delete;
    WaterReflection& operator=(const WaterReflection&) = delete;

    // First thing of every rendered frame: sets the context's normal map to
    // the frame of the time (15 frames a second in a 2 second loop), then,
    // while enabled and an eye at or above the nearest water in the scene,
    // draws the reflection pass through a mirror of the eye camera into a
    // half-size texture for a frame of width x height cleared to clearColor,
    // and leaves it as the context's reflection map; otherwise the reflection
    // map is cleared. Afterwards the context's default framebuffer is bound
    // with viewport (0, 0, width, height), no technique override, no mirror
    // and no clip plane. Allocates nothing once its target exists. With
    // LUMAROLL_TRACE, prints "[trace] <state> (t=..., camera y=..., water y=...)"
    // whenever the state differs from the one last printed in the process.
    void render(hgr::Camera* eye, int width, int height, std::uint32_t clearColor, float time);

    // True when (x, z) lies over water (bounds included), with the highest
    // water height there in height; height is untouched otherwise. Every
    // area answers, also those not linked or disabled. The player's
    // water-height callback (for the follow camera) calls it.
    bool waterHeightAt(float x, float z, float& height) const;

    // The reflection pass is drawn: true from construction, toggled by the
    // session's developer key. The normal map animates either way.
    bool enabled = true;

    // Size of the reflection texture for a frame: half of it, at least 1.
    static void targetSize(int width, int height, int& targetWidth, int& targetHeight);
    // The reflection camera's transform: the eye's world transform mirrored
    // at the plane y = waterHeight.
    static math::Matrix3x4 mirroredTransform(const math::Matrix3x4& eyeWorld, float waterHeight);
    // The water plane y = waterHeight in the space of a camera with world
    // transform cameraWorld, (a, b, c, d) with the side above the water positive.
    static math::Vector4 clipPlaneFor(const math::Matrix3x4& cameraWorld, float waterHeight);

    // What construction found; read by tests and tools.
    const std::vector<WaterArea>& waterAreas() const { return areas; }
    const std::vector<lang::Ptr<gr::Texture>>& normalMapFrames() const { return normalMaps; }
    // The render target; null until the first reflection pass.
    gr::Texture* reflectionTarget() const { return reflectionTexture; }
    hgr::Camera* reflectionCamera() const { return camera; }

private:
    // The area of the enabled, linked water mesh nearest to the eye; null when none.
    const WaterArea* nearestArea(const math::Vector3& eye) const;
    void traceState(const WaterArea* area, bool below, float time, float eyeY) const;

    lang::Ptr<gr::GLES2_Context> context;
    lang::Ptr<hgr::Node> scene;
    std::vector<WaterArea> areas;
    std::vector<lang::Ptr<gr::Texture>> normalMaps;
    lang::Ptr<gr::Texture> reflectionTexture;
    lang::Ptr<hgr::Camera> camera;
    int targetWidth = 0;
    int targetHeight = 0;
};

// Whether a mesh is water: one of its primitives has an effect with a
// technique "Water", or an effect file whose name (after the last '/' or
// '\') begins with "water".
bool isWaterMesh(const hgr::Node* node);

} // namespace lumaroll
