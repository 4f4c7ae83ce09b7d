// Draws the level's skybox mesh behind everything, centred on the eye, with a
// program of its own; the engine's renderer no longer sees that mesh.
#pragma once

#include <GLES2/gl2.h>

#include <cstdint>
#include <vector>

namespace hgr {
class Camera;
class Node;
} // namespace hgr

namespace lumaroll {

class SkyRenderer {
public:
    SkyRenderer() = default;
    ~SkyRenderer() { release(); }
    SkyRenderer(const SkyRenderer&) = delete;
    SkyRenderer& operator=(const SkyRenderer&) = delete;

    // Copies the first mesh of node's subtree (the node itself first): its
    // first primitive's positions in world orientation around their centroid,
    // texture coordinates, indices and "BASEMAP" texture. Prints the "sky:"
    // line. Returns whether a texture was found (the caller then disables the
    // node's subtree); false without a mesh or primitive.
    bool build(hgr::Node* node);

    // Draws the sky for the camera's orientation over a width x height target;
    // nothing without texture or indices. Depth test and writes are on
    // afterwards, culling and blending off.
    void draw(hgr::Camera* camera, int width, int height);

    // Deletes the program (and its shaders); the next draw builds it again.
    void release();

    // What build copied, drawn by draw; empty until a build succeeds.
    std::vector<float> vertices; // x, y, z, u, v per vertex
    std::vector<std::uint16_t> indices;
    GLuint texture = 0;         // GL name of the mesh's "BASEMAP" texture (not owned); 0: nothing is drawn
    GLuint program = 0;         // the sky program, built on the first draw; 0 after release
    GLenum mode = GL_TRIANGLES; // from the primitive's type

private:
    GLint rotationUniform = -1;
    GLint projectionUniform = -1;
    GLint textureUniform = -1;
};

} // namespace lumaroll
