// Shadows on the ground: the ball's (the model's own shadow node, or a quad
// built here) and the shadow copies of registered objects.
#include "player/PlayerShadows.h"

#include "logic/ProcessFlags.h"
#include "player/PlayerMath.h"

#include <gr/Context.h>
#include <gr/ContextObject.h>
#include <gr/Primitive.h>
#include <gr/Shader.h>
#include <gr/Texture.h>
#include <gr/VertexFormat.h>
#include <hgr/Mesh.h>
#include <hgr/Scene.h>
#include <lang/Throwable.h>
#include <math/Vector4.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace lumaroll {

namespace {

const math::Vector3 kWorldUp(0.f, 1.f, 0.f);

// Scaling by k along x and z.
math::Matrix3x3 flatScale(float k)
{
    return math::Matrix3x3(k, 0.f, 0.f, 0.f, 1.f, 0.f, 0.f, 0.f, k);
}

} // namespace

void PlayerShadows::adoptModelShadow(hgr::Node* shadow)
{
    if (!shadow)
        return;
    math::Matrix3x4 rotation = shadow->getWorldTransform();
    rotation.setTranslation(math::Vector3());
    shadowBase = rotation;
    shadow->linkTo(scene);
    shadowNode = shadow;
    builtShadow = false;
}

void PlayerShadows::createBallShadow(gr::Context* context)
{
    if (shadowNode || !context)
        return;
    try {
        gr::VertexFormat format;
        format.addPosition(gr::VertexFormat::V3_32).addTextureCoordinate(gr::VertexFormat::V2_32);
        lang::Ptr<gr::Primitive> quad = context->createPrimitive(gr::PRIMITIVE_TRIANGLELIST, format, 4, 6, 2);
        {
            const math::Vector4 corners[4] = {{-1, 0, -1, 1}, {1, 0, -1, 1}, {1, 0, 1, 1}, {-1, 0, 1, 1}};
            const math::Vector4 uvs[4] = {{0, 0, 0, 0}, {1, 0, 0, 0}, {1, 1, 0, 0}, {0, 1, 0, 0}};
            // Both triangles face up.
            const int indices[6] = {0, 2, 1, 0, 3, 2};
            gr::ContextObjectLock lock(quad, gr::ContextObject::LOCK_WRITE);
            quad->setPositions(0, corners, 4);
            quad->setTexCoords(0, 0, uvs, 4);
            quad->setIndices(0, indices, 6);
        }
        lang::Ptr<gr::Shader> shader = context->createShader("unlit-tex-alpha", 0);
        shader->setTexture("BASEMAP", context->loadTexture("ball_shadow.pvr"));
        quad->setShader(shader);
        lang::Ptr<hgr::Mesh> mesh = new hgr::Mesh;
        mesh->setName("sombra_jugador");
        mesh->addPrimitive(quad);
        mesh->setBoundBox(math::Vector3(-1.f, -0.1f, -1.f), math::Vector3(1.f, 0.1f, 1.f));
        mesh->linkTo(scene);
        shadowNode = mesh.ptr();
        builtShadow = true;
    } catch (const lang::Throwable&) {
        std::fprintf(stderr, "could not create the ball shadow\n");
    }
}

void PlayerShadows::addCaster(hgr::Node* shadow, hgr::Node* caster, bool hideWhenHigh)
{
    if (!shadow || !caster || shadow == scene)
        return;
    ShadowCaster record;
    record.shadow = shadow;
    record.caster = caster;
    record.base = shadow->getWorldTransform();
    record.base.setTranslation(math::Vector3());
    record.hideWhenHigh = hideWhenHigh;
    shadow->linkTo(scene);
    shadowCasters.push_back(record);
}

void PlayerShadows::placeBallShadow(const BallBody& ball, bool onRail, float heading)
{
    if (!shadowNode)
        return;
    const float r = ball.values.radius;
    const math::Vector3& p = ball.position;
    math::Vector3 hit, normal;
    bool found;
    if (onRail) {
        const math::Vector3 down = unitOr(-ball.up, math::Vector3(0.f, -1.f, 0.f));
        found = grid.intersectSegment(p, down, hit, normal, false, 12.f * r, nullptr);
    } else {
        float ground = 0.f;
        found = grid.findGroundBelow(p, ground, normal, 12.f * r);
        hit = math::Vector3(p.x, ground, p.z);
    }
    const float height = found ? std::max((p - hit).length() - r, 0.f) : 0.f;
    if (!found || !(height <= 6.f * r)) {
        shadowNode->setEnabled(false);
        return;
    }
    shadowNode->setEnabled(true);

    // Smaller with height: 40 % of its size at 6 radii.
    const float k = 1.f - 0.6f * height / (6.f * r);
    math::Matrix3x3 m;
    if (builtShadow) {
        m = flatScale(k * 0.95f * r);
    } else {
        m = flatScale(k) * math::Matrix3x3::rotation(kWorldUp, heading) * math::Matrix3x3(shadowBase);
    }
    const math::Matrix3x4 transform(tiltTo(normal) * m, hit + normal * (0.12f * r));
    if (transform.isFinite())
        shadowNode->setTransform(transform);
}

void PlayerShadows::placeObjectShadows()
{
    for (ShadowCaster& c : shadowCasters) {
        if (!c.shadow)
            continue;
        if (!c.caster || !linkedUnder(c.caster, scene) || !c.caster->isEnabled()) {
            c.shadow->setEnabled(false);
            continue;
        }
        const math::Vector3 p = c.caster->getWorldTransform().getTranslation();
        const math::Vector3 from(p.x, p.y + 20.f, p.z);
        if (!c.probed || from.x != c.probedFrom.x || from.y != c.probedFrom.y || from.z != c.probedFrom.z) {
            c.groundFound = grid.findGroundBelow(from, c.groundHeight, c.groundNormal, 2000.f);
            c.probedFrom = from;
            c.probed = true;
        }
        const float ground = c.groundHeight;
        const math::Vector3 normal = c.groundNormal;
        if (!c.groundFound || (c.hideWhenHigh && p.y - ground > 120.f)) {
            c.shadow->setEnabled(false);
            continue;
        }
        c.shadow->setEnabled(true);
        const math::Matrix3x3 rotation = tiltTo(normal) * math::Matrix3x3(c.base);
        // The middle of the shadow's box lies just above the ground.
        math::Vector3 centre;
        if (c.shadow->getClassId() == hgr::Node::NODE_MESH) {
            const hgr::Visual* visual = static_cast<const hgr::Visual*>(c.shadow.ptr());
            centre = (visual->getBoundBoxMin() + visual->getBoundBoxMax()) * 0.5f;
        }
        const math::Vector3 placed = math::Vector3(p.x, ground, p.z) + normal * 4.f;
        c.shadow->setTransform(math::Matrix3x4(rotation, placed - rotation.transform(centre)));
        if (!c.traced && traceEnabled()) {
            c.traced = true;
            std::printf("[trace] shadow '%s' of '%s' placed at (%.0f, %.0f, %.0f), ground y=%.0f\n",
                        c.shadow->getName().c_str(), c.caster->getName().c_str(), placed.x, placed.y, placed.z,
                        ground);
        }
    }
}

} // namespace lumaroll
