#include "app/ParticleEffects.h"

#include <lang/Throwable.h>

#include <cstddef>
#include <cstdio>

namespace lumaroll {

void ParticleEffects::attach(hgr::DefaultResourceManager* resources, gr::GLES2_Context* context,
                             const std::string& particlesFolder)
{
    this->resources = resources;
    this->context = context;
    folder = particlesFolder;
}

void ParticleEffects::spawn(const std::string& file, hgr::Node* parent, const math::Matrix3x4& transform,
                            float seconds)
{
    // The engine caches no description that failed, so asking again would
    // read the file and print again every time the effect fires.
    if (failed.count(file))
        return;
    try {
        lang::Ptr<hgr::ParticleSystem> description =
            resources->getParticleSystem((folder + file).c_str(), context->textureDirectory.c_str(),
                                         context->shaderDirectory.c_str());
        if (!description)
            return;
        lang::Ptr<hgr::ParticleSystem> system = new hgr::ParticleSystem(*description);
        system->setTransform(transform);
        system->linkTo(parent);
        effects.push_back(TimedEffect{system, seconds});
    } catch (const lang::Throwable& e) {
        failed.insert(file);
        std::fprintf(stderr, "particles '%s': %s\n", file.c_str(), lang::String(e.getMessage()).c_str());
    }
}

void ParticleEffects::update(float gameDt)
{
    for (size_t i = 0; i < effects.size();) {
        effects[i].secondsLeft -= gameDt;
        if (effects[i].secondsLeft <= 0.f) {
            effects[i].node->unlink();
            effects.erase(effects.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            ++i;
        }
    }
}

} // namespace lumaroll
