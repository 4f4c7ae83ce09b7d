#include "logic/Action.h"

#include "logic/World.h"

namespace lumaroll {

namespace {

const char* const kKeywords[] = {
    "activaterandomtrigger",
    "activatetrigger",
    "addimpulse",
    "addlife",
    "addscore",
    "addspeed",
    "animatetransform",
    "attachtorail",
    "break",
    "changeball",
    "checkpoint",
    "checkcollision",
    "delay",
    "disabletrigger",
    "enabletrigger",
    "fade",
    "finalizetrigger",
    "getobjectpos",
    "iskeypressed",
    "jump",
    "jumptoaction",
    "jumptorandomaction",
    "keypress",
    "levelcomplete",
    "levelend",
    "levelfailed",
    "link",
    "loadlevel",
    "maxspeed",
    "vecdist",
    "veclen",
    "vecangle",
    "moveobject",
    "moveuv",
    "nop",
    "particlefx",
    "pausetrigger",
    "playanimation",
    "animate",
    "playsound",
    "pressure",
    "random",
    "randomdelay",
    "recordsound",
    "resetballvalues",
    "rotateobject",
    "rotateto",
    "scaleobject",
    "setballdirection",
    "setcamera",
    "setcameraview",
    "setcamprops",
    "setgamemode",
    "setgravity",
    "setguidingobject",
    "setobjectpos",
    "setobjectscale",
    "setobjectstate",
    "setrail",
    "setLineSpeed",
    "setrenderstate",
    "settexture",
    "showtext",
    "speedmul",
    "stopsound",
    "switchobjectstate",
    "switchrenderstate",
    "timer",
    "unlink",
    "updateballvalues",
    "set",
    "setpersistent",
    "add",
    "sub",
    "mul",
    "div",
    "less",
    "equal",
    "greater",
    "notequal",
    "waitforidle",
    "waitforkey",
    "waitforkeyhold",
    "waitforkeypress",
    "waitforkeyrelease",
    "minigamebubbleinit",
    "minigamemazeinit",
    "minigamesbtinit",
};

// A keyword without an action of its own: the world's generic command
// operation does what it can with the keyword and the operand texts.
class Generic : public Action {
public:
    explicit Generic(const ActionArgs& args) : operands(args.args) {}
    bool update(ActionContext& context) override { return context.world->runCommand(name, operands); }

private:
    std::vector<std::string> operands;
};

} // namespace

ActionRegistry& ActionRegistry::instance()
{
    static ActionRegistry registry;
    return registry;
}

const std::vector<std::string>& ActionRegistry::keywords()
{
    static const std::vector<std::string> table(std::begin(kKeywords), std::end(kKeywords));
    return table;
}

ActionRegistry::ActionRegistry()
{
    const ActionFactory generic = [](const ActionArgs& args) -> std::unique_ptr<Action> {
        return std::make_unique<Generic>(args);
    };
    for (const std::string& keyword : keywords())
        factories[keyword] = generic;
    addFlowActions(factories);
    addSceneActions(factories);
}

std::unique_ptr<Action> ActionRegistry::create(const std::string& keyword, const ActionArgs& args) const
{
    auto it = factories.find(keyword);
    if (it == factories.end())
        return nullptr;
    std::unique_ptr<Action> action = it->second(args);
    action->name = keyword;
    return action;
}

} // namespace lumaroll
