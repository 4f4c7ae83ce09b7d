#include "audio/AmbientSounds.h"

#include "audio/Audio.h"
#include "audio/SoundNames.h"
#include "text/LowerAscii.h"
#include "text/PropertyText.h"

#include <hgr/Scene.h>
#include <hgr/UserPropertySet.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace lumaroll {

namespace {

constexpr float kMusicVolume = 0.7f;

std::string trimEnd(std::string text)
{
    while (!text.empty() && (text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    return text;
}

// The music named by text: its first "music=" when that starts a line; an
// occurrence inside a line hides any later one.
std::string musicValue(const std::string& text)
{
    const size_t at = text.find("music=");
    if (at == std::string::npos || (at > 0 && text[at - 1] != '\n'))
        return std::string();
    const size_t from = at + 6;
    const size_t end = text.find('\n', from);
    return trimEnd(text.substr(from, end == std::string::npos ? std::string::npos : end - from));
}

// A value naming a sound: it ends in ".wav" or ".mp3" (which may be all of it).
bool namesSoundFile(const std::string& lowerValue)
{
    const size_t n = lowerValue.size();
    return n >= 4 && (lowerValue.compare(n - 4, 4, ".wav") == 0 || lowerValue.compare(n - 4, 4, ".mp3") == 0);
}

// strtod of value into field, unless it gives no finite number.
void readNumber(const std::string& value, float& field)
{
    const float v = static_cast<float>(std::strtod(value.c_str(), nullptr));
    if (std::isfinite(v))
        field = v;
}

// The emitter described by text: true when one of its values names a sound file.
bool readEmitter(const std::string& text, std::string& file, AmbientSounds::Emitter& emitter)
{
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = trimEnd(text.substr(start, end - start));
        start = end + 1;
        const size_t eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        const std::string key = line.substr(0, eq);
        const std::string value = line.substr(eq + 1);
        if (namesSoundFile(lowerAscii(value)))
            file = value;
        else if (key == "inradius")
            readNumber(value, emitter.innerRadius);
        else if (key == "outradius")
            readNumber(value, emitter.outerRadius);
        else if (key == "volume")
            readNumber(value, emitter.volume);
    }
    return !file.empty();
}

bool isBelow(const hgr::Node* node, const hgr::Node* top)
{
    for (; node; node = node->getParent())
        if (node == top)
            return true;
    return false;
}

} // namespace

void AmbientSounds::setup(hgr::Scene* scene, Audio* audio)
{
    list.clear();
    if (!audio || !audio->hasDevice() || !scene)
        return;
    hgr::UserPropertySet* properties = scene->getUserProperties();
    if (!properties)
        return;
    for (auto it = properties->begin(); it != properties->end(); ++it) {
        const std::string name = wholeText(it->key);
        const std::string text = wholeText(it->value);
        const std::string music = musicValue(text);
        if (!music.empty() && audio->playMusic(music, kMusicVolume))
            std::printf("audio: music %s\n", music.c_str());

        if (name.compare(0, 2, "S_") != 0)
            continue;
        Emitter emitter;
        std::string file;
        if (!readEmitter(text, file, emitter))
            continue;
        hgr::Node* node = scene->findNode(it->key);
        if (!node)
            continue;
        if (!(emitter.outerRadius > emitter.innerRadius))
            emitter.outerRadius = emitter.innerRadius + 1.f;
        if (emitter.volume > 1.5f)
            emitter.volume /= 100.f;
        emitter.node = node;
        emitter.voiceId = audio->playSound(file, true, 0.f);
        list.push_back(emitter);
    }
    std::printf("audio: %d ambient sounds\n", static_cast<int>(list.size()));
}

void AmbientSounds::update(hgr::Scene* scene, Audio* audio, const math::Vector3& listener)
{
    if (!audio)
        return;
    for (const Emitter& e : list) {
        if (e.voiceId < 0)
            continue;
        float gain = 0.f;
        if (isBelow(e.node, scene)) {
            const float d = (listener - e.node->getWorldTransform().getTranslation()).length();
            if (d <= e.innerRadius)
                gain = 1.f;
            else if (d < e.outerRadius)
                gain = 1.f - (d - e.innerRadius) / (e.outerRadius - e.innerRadius);
        }
        audio->setVolume(e.voiceId, gain * e.volume);
    }
}

} // namespace lumaroll
