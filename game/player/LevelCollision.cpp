// The collision world of the level (meshes named by "collisionmesh",
// trigger volumes of "T_" nodes) and the triggers the ball starts by
// entering a volume or touching a mesh.
#include "player/LevelCollision.h"

#include "logic/ProcessFlags.h"
#include "logic/SceneWorld.h"
#include "player/PlayerMath.h"
#include "text/LowerAscii.h"
#include "text/PropertyText.h"

#include <gr/DIPrimitive.h>
#include <hgr/Dummy.h>
#include <hgr/Mesh.h>
#include <hgr/Scene.h>
#include <hgr/UserPropertySet.h>

#include <climits>
#include <cstdio>
#include <cstdlib>

namespace lumaroll {

namespace {

// Group bit that makes a collision mesh passable.
constexpr long kPassableGroup = 1024;

int toInt(long v)
{
    return v > INT_MAX ? INT_MAX : v < INT_MIN ? INT_MIN : static_cast<int>(v);
}

// Adds the triangles of one in-memory triangle list, transformed by world.
// Triangles naming a vertex the primitive does not have are skipped.
void addPrimitive(CollisionGrid& grid, int owner, gr::Primitive* primitive, const math::Matrix3x4& world)
{
    gr::DIPrimitive* data = dynamic_cast<gr::DIPrimitive*>(primitive);
    if (!data || data->getType() != gr::PRIMITIVE_TRIANGLELIST || data->getVertexCount() <= 2)
        return;
    const int vertexCount = data->getVertexCount();
    std::vector<math::Vector4> positions(static_cast<size_t>(vertexCount));
    std::vector<int> indices;
    {
        gr::ContextObjectLock lock(data, gr::ContextObject::LOCK_READ);
        data->getPositions(0, positions.data(), vertexCount);
        void* list = nullptr;
        int pitch = 0;
        data->getIndexDataPointer(&list, &pitch);
        const int indexCount = data->getIndexCount();
        if (list && indexCount > 0) {
            const uint16_t* index16 = static_cast<const uint16_t*>(list);
            indices.assign(index16, index16 + indexCount);
        } else {
            for (int i = 0; i < vertexCount; ++i)
                indices.push_back(i);
        }
    }
    if (indices.size() <= 2)
        return;
    for (size_t i = 0; i + 2 < indices.size(); i += 3) {
        const int i0 = indices[i], i1 = indices[i + 1], i2 = indices[i + 2];
        if (i0 >= vertexCount || i1 >= vertexCount || i2 >= vertexCount)
            continue;
        const auto corner = [&](int k) {
            const math::Vector4& p = positions[static_cast<size_t>(k)];
            return world.transform(math::Vector3(p.x, p.y, p.z));
        };
        grid.addTriangle(owner, corner(i0), corner(i1), corner(i2));
    }
}

} // namespace

LevelCollision::LevelCollision(hgr::Scene* levelScene, SceneWorld* levelWorld)
    : scene(levelScene), world(levelWorld)
{
    build();
}

void LevelCollision::build()
{
    hgr::UserPropertySet* properties = scene->getUserProperties();
    if (!properties)
        return;
    for (auto it = properties->begin(); it != properties->end(); ++it) {
        const std::string key = wholeText(it->key);
        const std::string text = wholeText(it->value);
        const std::string collisionMesh = propertyValue(text, "collisionmesh");
        const std::string collisionType = propertyValue(text, "collisiontype");

        if (key.compare(0, 2, "T_") == 0 && !collisionType.empty()) {
            hgr::Node* node = scene->findNode(key.c_str());
            if (!node)
                continue;
            TriggerVolume volume;
            volume.name = key;
            volume.node = node;
            volume.sphere = collisionType == "sphere" || collisionType == "SPHERE";
            volume.radius = static_cast<float>(std::strtod(propertyValue(text, "radius").c_str(), nullptr));
            // A box node that is not a dummy keeps an empty box at its origin.
            if (node->getClassId() == hgr::Node::NODE_DUMMY) {
                const hgr::Dummy* dummy = static_cast<const hgr::Dummy*>(node);
                volume.boxMin = dummy->getBoxMin();
                volume.boxMax = dummy->getBoxMax();
            }
            volumes.push_back(volume);
            continue;
        }
        if (collisionMesh.empty())
            continue;
        const std::string meshName = collisionMesh == "this" ? key : collisionMesh;
        hgr::Node* node = scene->findNode(meshName.c_str());
        if (!node || node->getClassId() != hgr::Node::NODE_MESH)
            continue;

        CollisionOwner owner;
        owner.name = key;
        owner.group = toInt(std::strtol(propertyValue(text, "group").c_str(), nullptr, 10));
        owner.executeTrigger = propertyValue(text, "executetrigger");
        owner.solid = (owner.group & kPassableGroup) == 0;
        const std::string lower = lowerAscii(key);
        owner.marked = lower.compare(0, 4, "wall") == 0 || lower.compare(0, 6, "ground") == 0 ||
                       !owner.executeTrigger.empty();
        collisionGrid.owners.push_back(owner);
        const int ownerIndex = static_cast<int>(collisionGrid.owners.size()) - 1;

        const math::Matrix3x4 transform = node->getWorldTransform();
        hgr::Mesh* mesh = static_cast<hgr::Mesh*>(node);
        for (int i = 0; i < mesh->getPrimitiveCount(); ++i)
            addPrimitive(collisionGrid, ownerIndex, mesh->getPrimitive(i), transform);
    }
    int passable = 0;
    for (const CollisionOwner& owner : collisionGrid.owners)
        passable += owner.solid ? 0 : 1;
    std::printf("collision: %d meshes (%d passable), %d triangles, %d trigger volumes\n",
                static_cast<int>(collisionGrid.owners.size()), passable,
                static_cast<int>(collisionGrid.triangles.size()), static_cast<int>(volumes.size()));
}

void LevelCollision::addTouchable(const std::string& name, hgr::Node* node, float radius)
{
    TriggerVolume volume;
    volume.name = name;
    volume.node = node;
    volume.sphere = true;
    volume.radius = radius;
    volumes.push_back(volume);
}

void LevelCollision::checkTouches(const BallBody& ball)
{
    if (!world)
        return;
    const math::Vector3& p = ball.position;
    const float r = ball.values.radius;
    for (TriggerVolume& volume : volumes) {
        // A node that scripts took out of the scene (a collected pickup) no longer fires.
        if (!volume.node || !linkedUnder(volume.node, scene))
            continue;
        const math::Matrix3x4 m = volume.node->getWorldTransform();
        bool inside;
        if (volume.sphere) {
            const math::Vector3 d = p - m.getTranslation();
            const float reach = volume.radius + r;
            inside = d.dot(d) < reach * reach;
        } else {
            const math::Vector3 local = m.inverse().transform(p);
            inside = volume.boxMin.x - r < local.x && local.x < volume.boxMax.x + r &&
                     volume.boxMin.y - r < local.y && local.y < volume.boxMax.y + r &&
                     volume.boxMin.z - r < local.z && local.z < volume.boxMax.z + r;
        }
        const bool entered = inside && !volume.inside;
        volume.inside = inside;
        if (entered && world->getTriggerState(volume.name) == 1) {
            if (traceEnabled())
                std::printf("[trace] ball enters %s\n", volume.name.c_str());
            world->activateTrigger(volume.name);
        }
    }
    for (int index : ball.touched) {
        if (index < 0 || static_cast<size_t>(index) >= collisionGrid.owners.size())
            continue;
        const CollisionOwner& owner = collisionGrid.owners[static_cast<size_t>(index)];
        if (owner.executeTrigger.empty() || world->getTriggerState(owner.executeTrigger) != 1)
            continue;
        if (traceEnabled())
            std::printf("[trace] ball touches %s -> %s\n", owner.name.c_str(), owner.executeTrigger.c_str());
        world->activateTrigger(owner.executeTrigger);
    }
}

} // namespace lumaroll
