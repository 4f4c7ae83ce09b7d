// Actions that act on the level through the world: trigger states, links,
// animations, transforms, texture scrolls and the screen fade.
#include "logic/Action.h"
#include "logic/ActionFactories.h"
#include "logic/ActionRandom.h"
#include "logic/Operands.h"
#include "logic/ScriptNumbers.h"
#include "logic/World.h"

namespace lumaroll {

namespace {

// Frames of "playanimation" operands count 30 to the second.
constexpr float kSecondsPerFrame = 0.033333335f;

enum class TriggerChange { Enable, Disable, Activate };

// enabletrigger, disabletrigger, activatetrigger on every operand.
class TriggerState : public Action {
public:
    TriggerState(TriggerChange mode, const ActionArgs& args) : mode(mode), names(args.args) {}

    bool update(ActionContext& context) override
    {
        for (const std::string& name : names) {
            if (mode == TriggerChange::Activate)
                context.world->activateTrigger(name);
            else
                context.world->setTriggerEnabled(name, mode == TriggerChange::Enable);
        }
        return true;
    }

private:
    TriggerChange mode;
    std::vector<std::string> names;
};

class ActivateRandomTrigger : public Action {
public:
    explicit ActivateRandomTrigger(const ActionArgs& args) : names(args.args) {}

    bool update(ActionContext& context) override
    {
        if (!names.empty())
            context.world->activateTrigger(names[drawIndex(actionRandom(), static_cast<uint32_t>(names.size()))]);
        return true;
    }

private:
    std::vector<std::string> names;
};

// The parent first, then the children.
class Link : public Action {
public:
    explicit Link(const ActionArgs& args) : hasParent(!args.args.empty())
    {
        if (hasParent) {
            parent = args.args.front();
            children.assign(args.args.begin() + 1, args.args.end());
        }
    }

    bool update(ActionContext& context) override
    {
        if (hasParent)
            context.world->link(parent, children);
        return true;
    }

private:
    bool hasParent;
    std::string parent;
    std::vector<std::string> children;
};

class Unlink : public Action {
public:
    explicit Unlink(const ActionArgs& args) : names(args.args) {}

    bool update(ActionContext& context) override
    {
        context.world->unlink(names);
        return true;
    }

private:
    std::vector<std::string> names;
};

// Starts a job of the world once per run and, when asked to, waits for it;
// a start the world refuses (-1, already reported) finishes the action at once.
class JobAction : public Action {
public:
    bool update(ActionContext& context) override
    {
        if (job < 0) {
            job = start(*context.world);
            if (job < 0)
                return true;
        }
        if (wait && !isDone(*context.world, job))
            return false;
        job = -1;
        return true;
    }
    void reset() override { job = -1; }

protected:
    virtual int start(World& world) = 0;
    virtual bool isDone(World& world, int id) = 0;

    bool wait = false;

private:
    int job = -1;
};

// "animate" (node, which names the animation too; wait flag) and
// "playanimation" (node, animation, animation, first frame, last frame).
class PlayAnimation : public JobAction {
public:
    PlayAnimation(bool shortForm, const ActionArgs& args) : node(operandText(args, 1))
    {
        if (shortForm) {
            animation = node;
            wait = numberOperand(args, 2, 0.f) != 0.f;
        } else {
            animation = operandText(args, 3, operandText(args, 2));
            from = numberOperand(args, 4, 0.f) * kSecondsPerFrame;
            to = args.args.size() >= 5 ? numberOperand(args, 5, 0.f) * kSecondsPerFrame : -1.f;
        }
    }

protected:
    int start(World& world) override { return world.playAnimation(node, animation, false, from, to); }
    bool isDone(World& world, int id) override { return world.isAnimationDone(id); }

private:
    std::string node;
    std::string animation;
    float from = 0.f;
    float to = -1.f;
};

// moveobject, rotateobject and rotateto, scaleobject: object, subnode, x, y,
// z, duration, wait. moveuv: object, subnode, u, v, duration.
class Transform : public JobAction {
public:
    Transform(TransformKind kind, const ActionArgs& args)
        : kind(kind), object(operandText(args, 1)), subnode(operandText(args, 2)), x(numberOperand(args, 3, 0.f)),
          y(numberOperand(args, 4, 0.f))
    {
        if (kind == TransformKind::ScrollTexture) {
            duration = numberOperand(args, 5, 1.f);
        } else {
            z = numberOperand(args, 5, 0.f);
            duration = numberOperand(args, 6, 1.f);
            wait = numberOperand(args, 7, 0.f) != 0.f;
        }
    }

protected:
    int start(World& world) override { return world.startTransform(kind, object, subnode, x, y, z, duration); }
    bool isDone(World& world, int id) override { return world.isTransformDone(id); }

private:
    TransformKind kind;
    std::string object;
    std::string subnode;
    float x;
    float y;
    float z = 0.f;
    float duration = 1.f;
};

// Sets the fade amount every frame of its run, rising to exactly 1 over the
// duration (falling to 0 when reversed); the last amount stays in the world.
class Fade : public Action {
public:
    explicit Fade(const ActionArgs& args)
        : duration(numberOperand(args, 1, 1.f)), reverse(numberOperand(args, 2, 0.f) != 0.f),
          target(saturateToInt(numberOperand(args, 3, 0.f)))
    {
        if (!(duration > 0.f))
            duration = 0.001f;
    }

    bool update(ActionContext& context) override
    {
        elapsed += context.dt;
        float amount = elapsed >= duration ? 1.f : elapsed / duration;
        if (reverse)
            amount = 1.f - amount;
        context.world->setFade(target, amount);
        if (duration > elapsed)
            return false;
        elapsed = 0.f;
        return true;
    }
    void reset() override { elapsed = 0.f; }

private:
    float duration;
    float elapsed = 0.f;
    bool reverse;
    int target;
};

} // namespace

void addSceneActions(std::map<std::string, ActionFactory>& factories)
{
    factories["enabletrigger"] = makeModeFactory<TriggerState>(TriggerChange::Enable);
    factories["disabletrigger"] = makeModeFactory<TriggerState>(TriggerChange::Disable);
    factories["activatetrigger"] = makeModeFactory<TriggerState>(TriggerChange::Activate);
    factories["activaterandomtrigger"] = makeFactory<ActivateRandomTrigger>();
    factories["link"] = makeFactory<Link>();
    factories["unlink"] = makeFactory<Unlink>();
    factories["animate"] = makeModeFactory<PlayAnimation>(true);
    factories["playanimation"] = makeModeFactory<PlayAnimation>(false);
    factories["moveuv"] = makeModeFactory<Transform>(TransformKind::ScrollTexture);
    factories["moveobject"] = makeModeFactory<Transform>(TransformKind::Move);
    factories["rotateobject"] = makeModeFactory<Transform>(TransformKind::Rotate);
    factories["rotateto"] = makeModeFactory<Transform>(TransformKind::Rotate);
    factories["scaleobject"] = makeModeFactory<Transform>(TransformKind::Scale);
    factories["fade"] = makeFactory<Fade>();
}

} // namespace lumaroll
