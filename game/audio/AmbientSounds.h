// The level's music and its ambient sound emitters, read from the scene's
// user properties when the level loads: a "music=" line names the music, and
// every node named "S_..." with a .wav or .mp3 value is a looping sound whose
// gain follows the listener's distance to the node.
#pragma once

#include <hgr/Node.h>
#include <lang/Ptr.h>
#include <math/Vector3.h>

#include <vector>

namespace hgr {
class Scene;
}

namespace lumaroll {

class Audio;

class AmbientSounds {
public:
    struct Emitter {
        lang::Ptr<hgr::Node> node;  // kept alive, also once unlinked from the scene
        int voiceId = -1;           // -1 when the sound could not start
        float innerRadius = 300.f;  // full volume within, scene units
        float outerRadius = 1500.f; // silent beyond; always above innerRadius
        float volume = 1.f;         // gain at full volume
    };

    // Called by the level session once the audio engine is set up. Drops the
    // emitters of a previous set-up; without a device stops there (no music,
    // no emitters, no count line). Otherwise, for every node's property text
    // in the table's order: the text's first "music=" counts when it starts a
    // line; its value (trailing '\r' and spaces removed) plays as music at
    // gain 0.7 and "audio: music <value>" is printed once it plays. An "S_"
    // node of the scene whose lines hold a value ending in ".wav" or ".mp3"
    // (any case) starts that sound looping, silent until the first update,
    // with "inradius" (300), "outradius" (1500, at least inradius + 1) and
    // "volume" (1; above 1.5 a percentage) read by strtod; values that are not
    // finite keep the default. Prints "audio: <n> ambient sounds".
    void setup(hgr::Scene* scene, Audio* audio);

    // Called by the level session every frame, also while the game is
    // paused (it only sets gains): each emitter's voice gain becomes volume x (1 within the
    // inner radius, 0 beyond the outer, linear between) of the distance from
    // listener to the node's world position, or 0 when the node is no longer
    // below scene.
    void update(hgr::Scene* scene, Audio* audio, const math::Vector3& listener);

    const std::vector<Emitter>& emitters() const { return list; }

private:
    std::vector<Emitter> list;
};

} // namespace lumaroll
