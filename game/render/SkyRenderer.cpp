#include "render/SkyRenderer.h"

#include "render/GLProgram.h"

#include <gr/ContextObject.h>
#include <gr/Primitive.h>
#include <gr/Shader.h>
#include <gr/gles2/GLES2_Dispatch.h>
#include <gr/gles2/GLES2_Texture.h>
#include <hgr/Camera.h>
#include <hgr/Mesh.h>
#include <math/Matrix3x4.h>
#include <math/Vector3.h>
#include <math/Vector4.h>

#include <cmath>
#include <cstdio>

namespace lumaroll {

namespace {

const char* const kSkyVertex =
    "attribute vec3 p; attribute vec2 t; varying vec2 v; uniform mat3 rot; uniform vec2 proj;\n"
    "void main() { v = t; vec3 q = rot * p; gl_Position = vec4(q.x * proj.x, q.y * proj.y, q.z * 0.9999, q.z); }";
const char* const kSkyFragment =
    "precision mediump float; varying vec2 v; uniform sampler2D tex; "
    "void main() { gl_FragColor = vec4(texture2D(tex, v).rgb, 1.0); }";

hgr::Mesh* firstMesh(hgr::Node* top)
{
    for (hgr::Node* n = top; n; n = n->next(top)) {
        if (n->getClassId() == hgr::Node::NODE_MESH)
            return static_cast<hgr::Mesh*>(n);
    }
    return nullptr;
}

// GL name of the primitive's "BASEMAP" texture; 0 when there is none or it is no 2D texture.
GLuint baseMapName(const gr::Primitive* primitive)
{
    gr::Shader* shader = primitive->getShader();
    if (!shader)
        return 0;
    gr::BaseTexture* base = shader->getTexture("BASEMAP");
    if (!base || base->classId() != gr::ContextObject::CLASSID_TEXTURE)
        return 0;
    return static_cast<gr::GLES2_Texture*>(base)->glName();
}

} // namespace

bool SkyRenderer::build(hgr::Node* node)
{
    hgr::Mesh* mesh = node ? firstMesh(node) : nullptr;
    if (!mesh || mesh->getPrimitiveCount() == 0)
        return false;
    gr::Primitive* primitive = mesh->getPrimitive(0);
    const int vertexCount = primitive->getVertexCount();
    const int indexCount = primitive->getIndexCount();

    std::vector<math::Vector4> positions(static_cast<size_t>(vertexCount));
    std::vector<math::Vector4> uvs(static_cast<size_t>(vertexCount));
    std::vector<int> rawIndices(static_cast<size_t>(indexCount));
    {
        gr::ContextObjectLock lock(primitive, gr::ContextObject::LOCK_READ);
        if (vertexCount > 0) {
            primitive->getPositions(0, positions.data(), vertexCount);
            primitive->getTexCoords(0, 0, uvs.data(), vertexCount);
        }
        if (indexCount > 0)
            primitive->getIndices(0, rawIndices.data(), indexCount);
    }

    const math::Matrix3x4 world = mesh->getWorldTransform();
    std::vector<math::Vector3> points(static_cast<size_t>(vertexCount));
    math::Vector3 centroid;
    for (int i = 0; i < vertexCount; ++i) {
        points[i] = world.transform(positions[i].xyz());
        centroid += points[i];
    }
    centroid *= 1.f / static_cast<float>(vertexCount > 1 ? vertexCount : 1);

    vertices.clear();
    vertices.reserve(static_cast<size_t>(vertexCount) * 5);
    for (int i = 0; i < vertexCount; ++i) {
        const math::Vector3 p = points[i] - centroid;
        vertices.insert(vertices.end(), {p.x, p.y, p.z, uvs[i].x, uvs[i].y});
    }
    indices.clear();
    if (indexCount > 0) {
        for (int index : rawIndices)
            indices.push_back(static_cast<std::uint16_t>(index));
    } else {
        for (int i = 0; i < vertexCount; ++i)
            indices.push_back(static_cast<std::uint16_t>(i));
    }
    switch (primitive->getType()) {
    case gr::PRIMITIVE_TRIANGLESTRIP:
        mode = GL_TRIANGLE_STRIP;
        break;
    case gr::PRIMITIVE_TRIANGLEFAN:
        mode = GL_TRIANGLE_FAN;
        break;
    default:
        mode = GL_TRIANGLES;
        break;
    }
    texture = baseMapName(primitive);
    std::printf("sky: rendered separately, %d vertices, %d indices, texture %s\n", vertexCount, indexCount,
                texture ? "BASEMAP" : "(not found)");
    return texture != 0;
}

void SkyRenderer::draw(hgr::Camera* camera, int width, int height)
{
    if (texture == 0 || indices.empty() || !camera)
        return;
    if (program == 0) {
        program = linkProgram(compileShaderStage(GL_VERTEX_SHADER, kSkyVertex),
                              compileShaderStage(GL_FRAGMENT_SHADER, kSkyFragment), {{0, "p"}, {1, "t"}});
        rotationUniform = gr::gl.GetUniformLocation(program, "rot");
        projectionUniform = gr::gl.GetUniformLocation(program, "proj");
        textureUniform = gr::gl.GetUniformLocation(program, "tex");
    }

    // The view's rotation only: the sky stays centred on the eye. GL reads
    // the matrix column by column, so element (r, c) goes to c * 3 + r.
    const math::Matrix3x4 view = camera->getViewTransform();
    GLfloat rotation[9];
    for (int c = 0; c < 3; ++c)
        for (int r = 0; r < 3; ++r)
            rotation[c * 3 + r] = view.m[r][c];
    const float f = 1.f / std::tan(camera->getHorizontalFov() * 0.5f);
    const float h = height > 0 ? static_cast<float>(height) : 1.f;

    gr::gl.UseProgram(program);
    gr::gl.UniformMatrix3fv(rotationUniform, 1, GL_FALSE, rotation);
    const GLfloat projection[2] = {f, f * static_cast<float>(width) / h};
    gr::gl.Uniform2fv(projectionUniform, 1, projection);
    gr::gl.Uniform1i(textureUniform, 0);
    gr::gl.ActiveTexture(GL_TEXTURE0);
    gr::gl.BindTexture(GL_TEXTURE_2D, texture);

    gr::gl.Disable(GL_DEPTH_TEST);
    gr::gl.DepthMask(GL_FALSE);
    gr::gl.Disable(GL_CULL_FACE);
    gr::gl.Disable(GL_BLEND);
    gr::gl.BindBuffer(GL_ARRAY_BUFFER, 0);
    gr::gl.BindBuffer(GL_ELEMENT_ARRAY_BUFFER, 0);
    gr::gl.EnableVertexAttribArray(0);
    gr::gl.EnableVertexAttribArray(1);
    gr::gl.VertexAttribPointer(0, 3, GL_FLOAT, GL_FALSE, 5 * sizeof(float), vertices.data());
    gr::gl.VertexAttribPointer(1, 2, GL_FLOAT, GL_FALSE, 5 * sizeof(float), vertices.data() + 3);
    gr::gl.DrawElements(mode, static_cast<GLsizei>(indices.size()), GL_UNSIGNED_SHORT, indices.data());
    gr::gl.DisableVertexAttribArray(0);
    gr::gl.DisableVertexAttribArray(1);

    gr::gl.DepthMask(GL_TRUE);
    gr::gl.Enable(GL_DEPTH_TEST);
}

void SkyRenderer::release()
{
    deleteProgram(program);
    rotationUniform = projectionUniform = textureUniform = -1;
}

} // namespace lumaroll
