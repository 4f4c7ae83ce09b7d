// The generic commands of trigger scripts: keywords without an action class
// of their own reach the rest of the game here.
#include "logic/SceneWorld.h"

#include "logic/ScriptNumbers.h"

#include <cstdio>
#include <cstdlib>

namespace lumaroll {

namespace {

// Requests beyond this wait for nobody: in the menu level no player takes them.
constexpr size_t kMaxPlayerRequests = 256;

} // namespace

void SceneWorld::queueRequest(int kind, const std::string& name, float value)
{
    if (playerRequests.size() >= kMaxPlayerRequests) {
        if (reportOnce("player request queue full"))
            std::fprintf(stderr, "[world] player request queue full; later requests are dropped\n");
        return;
    }
    playerRequests.push_back(PlayerRequest{kind, name, value});
}

bool SceneWorld::runCommand(const std::string& keyword, const std::vector<std::string>& args)
{
    const size_t count = args.size();
    static const std::string none;
    const std::string& first = count >= 1 ? args[0] : none;
    const std::string& second = count >= 2 ? args[1] : none;

    if (keyword == "addscore") {
        const double amount = count >= 1 ? std::strtod(first.c_str(), nullptr) : 1.0;
        const float score = static_cast<float>(getVariable("score") + amount);
        setVariable("score", score);
        std::printf("score: %d\n", saturateToInt(score));
        return true;
    }
    if (keyword == "levelcomplete" || keyword == "levelend") {
        if (!levelComplete)
            std::printf("*** level complete: %d points ***\n", saturateToInt(getVariable("score")));
        levelComplete = true;
        return true;
    }
    if (keyword == "levelfailed") {
        levelFailed = true;
        return true;
    }
    if (keyword == "updateballvalues") {
        updateBallValues = true;
        return true;
    }
    if (keyword == "resetballvalues") {
        resetBallValues = true;
        return true;
    }
    if (keyword == "playsound") {
        if (count >= 1 && playSoundCallback)
            playSoundCallback(first, count >= 2 && std::strtol(second.c_str(), nullptr, 10) != 0);
        return true;
    }
    if (keyword == "stopsound") {
        if (count >= 1 && stopSoundCallback)
            stopSoundCallback(first);
        return true;
    }
    if (keyword == "particlefx") {
        if (count >= 2 && particleEffectCallback) {
            if (hgr::Node* node = findNamedNode(second))
                particleEffectCallback(first, node);
        }
        return true;
    }
    if (keyword == "pressure") {
        if (pressureCallback)
            pressureCallback(count >= 1 ? evaluate(first) : 1.f);
        return true;
    }
    if (keyword == "checkpoint") {
        if (count >= 1)
            checkpointName = first;
        return true;
    }
    if (keyword == "setcamera") {
        if (count >= 1)
            cameraName = first;
        return true;
    }
    if (keyword == "setgamemode") {
        setVariable("gamemode", count >= 1 ? static_cast<float>(std::strtol(first.c_str(), nullptr, 10)) : 0.f);
        return true;
    }
    if (keyword == "setcamprops" || keyword == "setballdirection")
        return true;
    // The rest of the table needs its operands; without them the keyword
    // counts as not implemented.
    if (keyword == "setcameraview" && count >= 2)
        return true;
    if (keyword == "speedmul" && count >= 2) {
        queueRequest(PlayerRequest::MultiplySpeed, none, evaluate(second));
        return true;
    }
    if (keyword == "maxspeed" && count >= 1) {
        queueRequest(PlayerRequest::RailSpeedLimit, none, evaluate(first));
        return true;
    }
    if (keyword == "attachtorail" && count >= 2) {
        queueRequest(first == "0" ? PlayerRequest::LeaveRail : PlayerRequest::AttachToRail, second, 0.f);
        return true;
    }
    if (keyword == "setobjectpos" && count >= 2 && first == "G_ballforms") {
        queueRequest(PlayerRequest::MoveBallTo, second, 0.f);
        return true;
    }
    if (keyword == "setguidingobject" && count >= 1) {
        queueRequest(PlayerRequest::CameraGuide, first, 0.f);
        return true;
    }

    if (reportOnce("action " + keyword)) {
        std::string example;
        for (const std::string& arg : args)
            example += " " + arg;
        std::printf("[world] action '%s' not implemented yet (e.g.:%s)\n", keyword.c_str(), example.c_str());
    }
    return true;
}

} // namespace lumaroll
