// The world's work on the scene: links, unlinks, animation and transform jobs,
// the fade, and the per-frame update that steps triggers and jobs.
#include "logic/SceneWorld.h"

#include "logic/ProcessFlags.h"
#include "logic/Trigger.h"

#include <gr/Shader.h>
#include <hgr/Mesh.h>
#include <hgr/TransformAnimation.h>
#include <hgr/TransformAnimationSet.h>
#include <math/Matrix3x3.h>
#include <math/Vector4.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace lumaroll {

namespace {

bool isMesh(const hgr::Node* node)
{
    return node->getClassId() == hgr::Node::NODE_MESH;
}

// Whether node is candidate or lies below it.
bool isInSubtree(const hgr::Node* node, const hgr::Node* candidate)
{
    for (const hgr::Node* n = node; n; n = n->getParent()) {
        if (n == candidate)
            return true;
    }
    return false;
}

// Sections the original game leaves in place: three-letter "N_" nodes, water
// surfaces, and whatever the link, unlink and checkpoint triggers remove.
bool isSpared(const std::string& name, const std::string* runningTrigger)
{
    if (name.size() == 3 && name.compare(0, 2, "N_") == 0)
        return true;
    if (name.compare(0, 7, "O_water") == 0)
        return true;
    if (!runningTrigger)
        return false;
    const std::string& t = *runningTrigger;
    return t.compare(0, 7, "T_link_") == 0 || t.compare(0, 9, "T_unlink_") == 0 ||
           t.compare(0, 12, "T_checkpoint") == 0;
}

const lang::String& texOffsetName()
{
    static const lang::String name("TEX0_OFFSET");
    return name;
}

} // namespace

void SceneWorld::link(const std::string& parentName, const std::vector<std::string>& children)
{
    const std::string& resolvedParent = resolveThis(parentName);
    hgr::Node* parent = findNode(resolvedParent);
    if (!parent) {
        std::fprintf(stderr, "[world] link: parent '%s' does not exist\n", resolvedParent.c_str());
        return;
    }
    for (const std::string& childName : children) {
        const std::string& resolved = resolveThis(childName);
        hgr::Node* child = findNode(resolved);
        if (!child) {
            std::fprintf(stderr, "[world] link: '%s' does not exist\n", resolved.c_str());
            continue;
        }
        if (child->getParent() == parent)
            continue;
        // The engine refuses (throws) a link below the node itself.
        if (isInSubtree(parent, child)) {
            std::fprintf(stderr, "[world] link: '%s' would become its own ancestor\n", resolved.c_str());
            continue;
        }
        child->linkTo(parent);
    }
}

void SceneWorld::unlink(const std::vector<std::string>& names)
{
    for (const std::string& written : names) {
        const std::string& name = resolveThis(written);
        hgr::Node* node = findNode(name);
        if (!node || !node->getParent())
            continue;
        if (traceEnabled() && reportOnce("unlink " + name)) {
            int meshes = 0;
            std::string listed;
            for (hgr::Node* n = node; n; n = n->next(node)) {
                if (!isMesh(n))
                    continue;
                if (++meshes <= 12)
                    listed += (meshes > 1 ? ", " : "") + std::string(n->getName().c_str());
            }
            std::printf("[trace] unlink %s removes %d meshes: %s%s\n", name.c_str(), meshes, listed.c_str(),
                        meshes >= 13 ? ", ..." : "");
        }
        if (!originalSections() && isSpared(name, currentTrigger))
            continue;
        node->unlink();
    }
}

int SceneWorld::playAnimation(const std::string& nodeName, const std::string& animationName, bool loop,
                              float start, float end)
{
    const std::string& resolved = resolveThis(nodeName);
    hgr::Node* node = findNode(resolved);
    if (!node) {
        if (reportOnce("no animation node " + resolved))
            std::printf("[world] animation: node '%s' does not exist\n", resolved.c_str());
        return -1;
    }
    hgr::TransformAnimation* animation = nullptr;
    bool fromExtraSet = false;
    const std::string* names[] = {&animationName, &resolved};
    for (const std::string* name : names) {
        const lang::String key(name->c_str());
        for (size_t set = 0; set <= extraAnimationSets.size() && !animation; ++set) {
            hgr::TransformAnimationSet* animations = set == 0 ? scene->getAnimations()
                                                              : extraAnimationSets[set - 1];
            if (!animations)
                continue;
            const lang::Ptr<hgr::TransformAnimation>* found =
                static_cast<const hgr::TransformAnimationSet*>(animations)->find(key);
            if (found && *found) {
                animation = *found;
                fromExtraSet = set > 0;
            }
        }
        if (animation)
            break;
    }
    if (!animation) {
        if (reportOnce("no animation " + animationName + "/" + resolved))
            std::printf("[world] animation '%s' for node '%s' not found\n", animationName.c_str(),
                        resolved.c_str());
        return -1;
    }
    if (std::getenv("LUMAROLL_TRACE"))
        std::printf("[trace] animation '%s' on '%s' from %.2f to %.2f s\n", animationName.c_str(),
                    resolved.c_str(), start, end);
    AnimationJob job;
    job.node = node;
    job.animation = animation;
    job.time = start;
    job.start = start;
    job.end = end < 0.f ? animation->getEndTime() : end;
    job.loop = loop;
    if (fromExtraSet) {
        job.blendFrom = node->getTransform();
        job.blendDuration = 0.12f;
    }
    const int id = nextJobId++;
    animationJobs.emplace(id, job);
    return id;
}

bool SceneWorld::isAnimationDone(int id)
{
    auto it = animationJobs.find(id);
    return it == animationJobs.end() || it->second.done;
}

int SceneWorld::startTransform(TransformKind kind, const std::string& objectName, const std::string& subnodeName,
                               float x, float y, float z, float duration)
{
    const std::string& object = resolveThis(objectName);
    const std::string& subnode = resolveThis(subnodeName);
    hgr::Node* objectNode = findNode(object);
    if (!objectNode) {
        if (reportOnce("no node " + object))
            std::fprintf(stderr, "[world] transform: object '%s' does not exist\n", object.c_str());
        return -1;
    }
    if (duration <= 0.f)
        duration = 0.001f;
    const float velocity[3] = {x / duration, y / duration, z / duration};
    if (!std::isfinite(duration) || !std::isfinite(velocity[0]) || !std::isfinite(velocity[1]) ||
        !std::isfinite(velocity[2])) {
        if (reportOnce("not finite " + object))
            std::fprintf(stderr, "[world] transform: vector of '%s' is not finite\n", object.c_str());
        return -1;
    }
    hgr::Node* target = objectNode;
    if (!subnode.empty() && subnode != object) {
        if (hgr::Node* found = objectNode->findInSubtree(lang::String(subnode.c_str())))
            target = found;
    }
    if (traceEnabled() && reportOnce("trace " + object + "/" + subnode)) {
        int meshes = 0, primitives = 0;
        for (hgr::Node* n = target; n; n = n->next(target)) {
            if (isMesh(n)) {
                ++meshes;
                primitives += static_cast<hgr::Mesh*>(n)->getPrimitiveCount();
            }
        }
        std::printf(
            "[trace] transform type %d on '%s' (subnode '%s' %s) vector (%g %g %g) in %g s; meshes %d, "
            "primitives %d\n",
            static_cast<int>(kind), object.c_str(), subnode.c_str(),
            target != objectNode ? "found" : "not found or same", x, y, z, duration, meshes, primitives);
    }
    for (auto& entry : transformJobs) {
        TransformJob& other = entry.second;
        if (other.node == target && other.kind == kind && !other.done) {
            other.done = true;
            other.elapsed = other.duration + 100.f;
        }
    }
    TransformJob job;
    job.kind = kind;
    job.node = target;
    job.velocity[0] = velocity[0];
    job.velocity[1] = velocity[1];
    job.velocity[2] = velocity[2];
    job.duration = duration;
    if (kind == TransformKind::ScrollTexture) {
        auto offset = uvOffsets.find(target);
        if (offset != uvOffsets.end()) {
            job.u = offset->second.first;
            job.v = offset->second.second;
        }
    }
    const int id = nextJobId++;
    transformJobs.emplace(id, job);
    return id;
}

bool SceneWorld::isTransformDone(int id)
{
    auto it = transformJobs.find(id);
    return it == transformJobs.end() || it->second.done;
}

void SceneWorld::setFade(int target, float amount)
{
    fadeTarget = target;
    fadeAmount = amount;
}

void SceneWorld::update(float dt)
{
    setVariable("_dt", dt);
    updating = true;
    budget->refill();
    for (auto& entry : triggers) {
        Trigger& trigger = *entry.second;
        const int state = trigger.getState();
        if (state != Trigger::RunningMain && state != Trigger::RunningEnd)
            continue;
        currentTrigger = &entry.first;
        runTrigger(trigger, dt);
    }
    currentTrigger = nullptr;
    updating = false;
    stepAnimations(dt);
    stepTransforms(dt);
}

void SceneWorld::stepAnimations(float dt)
{
    for (auto it = animationJobs.begin(); it != animationJobs.end();) {
        AnimationJob& job = it->second;
        if (!job.done) {
            job.time += dt;
            if (job.time >= job.end) {
                if (!job.loop) {
                    job.done = true;
                    job.time = job.end;
                } else if (job.end > job.start) {
                    job.time = job.start + std::fmod(job.time - job.start, job.end - job.start);
                } else {
                    job.time = job.start;
                }
            }
            math::Matrix3x4 transform = job.animation->getTransform(job.time);
            if (job.blendDuration > 0.f && job.blendElapsed < job.blendDuration) {
                job.blendElapsed += dt;
                const float t = std::min(job.blendElapsed / job.blendDuration, 1.f);
                const float s = t * t * (3.f - 2.f * t);
                for (int row = 0; row < 3; ++row) {
                    for (int column = 0; column < 4; ++column) {
                        const float from = job.blendFrom.m[row][column];
                        transform.m[row][column] = from + (transform.m[row][column] - from) * s;
                    }
                }
            }
            job.node->setTransform(transform);
        }
        if (job.done) {
            if (job.time > job.end + 10.f) {
                it = animationJobs.erase(it);
                continue;
            }
            job.time += dt;
        }
        ++it;
    }
}

void SceneWorld::stepTransforms(float dt)
{
    for (auto it = transformJobs.begin(); it != transformJobs.end();) {
        TransformJob& job = it->second;
        if (!job.done) {
            hgr::Node* node = job.node;
            if (job.kind == TransformKind::ScrollTexture) {
                job.u = std::fmod(job.u + dt * job.velocity[0], 1.f);
                job.v = std::fmod(job.v + dt * job.velocity[1], 1.f);
                const math::Vector4 offset(job.u, job.v, 0.f, 0.f);
                for (hgr::Node* n = node; n; n = n->next(node)) {
                    if (!isMesh(n))
                        continue;
                    hgr::Mesh* mesh = static_cast<hgr::Mesh*>(n);
                    for (int p = 0; p < mesh->getPrimitiveCount(); ++p) {
                        if (gr::Shader* shader = mesh->getPrimitive(p)->getShader())
                            shader->setVector(texOffsetName(), offset);
                    }
                }
                uvOffsets[node] = std::make_pair(job.u, job.v);
                ++it;
                continue;
            }
            float step = dt;
            if (job.elapsed + dt >= job.duration) {
                step = job.duration - job.elapsed;
                job.done = true;
            }
            job.elapsed += step;
            const math::Vector3 velocity(job.velocity[0], job.velocity[1], job.velocity[2]);
            if (job.kind == TransformKind::Move) {
                node->setPosition(node->getPosition() + velocity * step);
            } else if (job.kind == TransformKind::Rotate) {
                const float w = velocity.length();
                if (w > 0.f) {
                    const math::Matrix3x3 current(node->getTransform());
                    const math::Matrix3x3 turn =
                        math::Matrix3x3::rotation(velocity * (1.f / w), w * step * 3.14159265f / 180.f);
                    node->setRotation(current * turn);
                }
            } else if (job.kind == TransformKind::Scale) {
                math::Matrix3x4 transform = node->getTransform();
                const float factors[3] = {1.f + step * velocity.x, 1.f + step * velocity.y,
                                          1.f + step * velocity.z};
                for (int row = 0; row < 3; ++row) {
                    for (int column = 0; column < 3; ++column)
                        transform.m[row][column] *= factors[column];
                }
                node->setTransform(transform);
            }
        }
        if (job.done) {
            job.elapsed += dt;
            if (job.elapsed > job.duration + 10.f) {
                it = transformJobs.erase(it);
                continue;
            }
        }
        ++it;
    }
}

} // namespace lumaroll
