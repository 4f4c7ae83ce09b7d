// The level's timed particle effects: the world's effect callback and the
// boost start them from the level's particle descriptions, each lives a given
// time of game time and is then unlinked from the scene.
#pragma once

#include <gr/gles2/GLES2_Context.h>
#include <hgr/DefaultResourceManager.h>
#include <hgr/Node.h>
#include <hgr/ParticleSystem.h>
#include <lang/Ptr.h>
#include <math/Matrix3x4.h>

#include <set>
#include <string>
#include <vector>

namespace lumaroll {

class ParticleEffects {
public:
    // Descriptions are read from particlesFolder (ending in '/') through
    // resources, their textures and shaders from context's folders. Both must
    // outlive the effects. Called once, before the first spawn.
    void attach(hgr::DefaultResourceManager* resources, gr::GLES2_Context* context,
                const std::string& particlesFolder);

    // Starts the description file as a new system linked under parent with
    // the given local transform, living seconds of game time. Nothing when
    // the description cannot be had; an engine exception prints "particles
    // '<file>': <message>" on stderr, and that file is not asked for again
    // by these effects (the engine caches no description that failed).
    void spawn(const std::string& file, hgr::Node* parent, const math::Matrix3x4& transform, float seconds);

    // Counts gameDt off each effect's time and unlinks those whose time is up.
    void update(float gameDt);

private:
    struct TimedEffect {
        lang::Ptr<hgr::ParticleSystem> node;
        float secondsLeft;
    };

    hgr::DefaultResourceManager* resources = nullptr;
    gr::GLES2_Context* context = nullptr;
    std::string folder;
    std::vector<TimedEffect> effects;
    // Description files that failed to load.
    std::set<std::string> failed;
};

} // namespace lumaroll
