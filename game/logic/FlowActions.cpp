// Actions that steer a trigger's list and compute variables: waits, jumps,
// tests, random values and arithmetic. None of them touches the scene.
#include "logic/Action.h"
#include "logic/ActionFactories.h"
#include "logic/ActionRandom.h"
#include "logic/Operands.h"
#include "logic/Trigger.h"
#include "logic/World.h"

#include <cstdlib>

namespace lumaroll {

namespace {

class Nop : public Action {
public:
    bool update(ActionContext&) override { return true; }
};

// Waits a number of seconds (a variable is read once, when the wait starts).
class Delay : public Action {
public:
    explicit Delay(const ActionArgs& args) : seconds(numberOrVariableOperand(args, 1, 0.f)) {}

    bool update(ActionContext& context) override
    {
        if (!started) {
            duration = seconds.value(*context.world);
            started = true;
        }
        const float t = elapsed + context.dt;
        if (duration > t) {
            elapsed = t;
            return false;
        }
        elapsed = 0.f;
        started = false;
        return true;
    }
    void reset() override
    {
        elapsed = 0.f;
        started = false;
    }

private:
    NumberOrVariable seconds;
    float duration = 0.f;
    float elapsed = 0.f;
    bool started = false;
};

// Waits a time drawn anew for every run between minimum and maximum.
class RandomDelay : public Action {
public:
    explicit RandomDelay(const ActionArgs& args)
        : minimum(numberOperand(args, 1, 0.f)), maximum(numberOperand(args, 2, minimum))
    {
    }

    bool update(ActionContext& context) override
    {
        if (duration < 0.f)
            duration = (maximum - minimum) * drawUnit(actionRandom()) + minimum;
        const float t = elapsed + context.dt;
        if (duration > t) {
            elapsed = t;
            return false;
        }
        elapsed = 0.f;
        duration = -1.f;
        return true;
    }
    void reset() override
    {
        elapsed = 0.f;
        duration = -1.f;
    }

private:
    float minimum;
    float maximum;
    float elapsed = 0.f;
    float duration = -1.f;
};

// Stores a value between minimum and maximum, drawn with the C library's rand().
class RandomValue : public Action {
public:
    explicit RandomValue(const ActionArgs& args)
        : target(operandText(args, 1)), minimum(numberOrVariableOperand(args, 2, 0.f)),
          maximum(numberOrVariableOperand(args, 3, 1.f))
    {
    }

    bool update(ActionContext& context) override
    {
        const float lo = minimum.value(*context.world);
        const float hi = maximum.value(*context.world);
        const float r = static_cast<float>(std::rand());
        context.world->setVariable(target, r * (hi - lo) * 4.656613e-10f + lo);
        return true;
    }

private:
    std::string target;
    NumberOrVariable minimum;
    NumberOrVariable maximum;
};

class JumpToAction : public Action {
public:
    explicit JumpToAction(const ActionArgs& args) : target(actionIndexOperand(args, 1, args.index)) {}

    bool update(ActionContext& context) override
    {
        context.trigger->setActionIndex(target);
        return false;
    }

private:
    int target;
};

class JumpToRandomAction : public Action {
public:
    explicit JumpToRandomAction(const ActionArgs& args)
    {
        for (size_t n = 1; n <= args.args.size(); ++n)
            targets.push_back(actionIndexOperand(args, n, -1));
    }

    bool update(ActionContext& context) override
    {
        if (targets.empty())
            return true;
        const uint32_t i = drawIndex(actionRandom(), static_cast<uint32_t>(targets.size()));
        context.trigger->setActionIndex(targets[i]);
        return false;
    }

private:
    std::vector<int> targets;
};

// Goes on when the comparison holds, else jumps to its else action (itself
// by default, so a test also waits until its condition holds).
enum class Comparison { Less, Equal, Greater, NotEqual };

class Test : public Action {
public:
    Test(Comparison mode, const ActionArgs& args)
        : mode(mode), left(numberOrVariableOperand(args, 1, 0.f)), right(numberOrVariableOperand(args, 2, 0.f)),
          elseIndex(actionIndexOperand(args, 3, args.index))
    {
    }

    bool update(ActionContext& context) override
    {
        const float a = left.value(*context.world);
        const float b = right.value(*context.world);
        bool passed = false;
        switch (mode) {
        case Comparison::Less:
            passed = a < b;
            break;
        case Comparison::Equal:
            passed = std::abs(a - b) < 1e-4f;
            break;
        case Comparison::Greater:
            passed = a > b;
            break;
        case Comparison::NotEqual:
            passed = std::abs(a - b) >= 1e-4f;
            break;
        }
        if (passed)
            return true;
        context.trigger->setActionIndex(elseIndex);
        return false;
    }

private:
    Comparison mode;
    NumberOrVariable left;
    NumberOrVariable right;
    int elseIndex;
};

class SetVariable : public Action {
public:
    SetVariable(bool persistent, const ActionArgs& args)
        : target(operandText(args, 1)), value(numberOrVariableOperand(args, 2, 0.f)), persistent(persistent)
    {
    }

    bool update(ActionContext& context) override
    {
        const float v = value.value(*context.world);
        if (persistent)
            context.world->setPersistentVariable(target, v);
        else
            context.world->setVariable(target, v);
        return true;
    }

private:
    std::string target;
    NumberOrVariable value;
    bool persistent;
};

enum class Arithmetic { Add, Subtract, Multiply, Divide };

// add, sub, mul, div on a variable; division by exactly 0 keeps the value.
class ModifyVariable : public Action {
public:
    ModifyVariable(Arithmetic operation, const ActionArgs& args)
        : operation(operation), target(operandText(args, 1)), operand(numberOrVariableOperand(args, 2, 0.f))
    {
    }

    bool update(ActionContext& context) override
    {
        const float c = context.world->getVariable(target);
        const float x = operand.value(*context.world);
        float result = c;
        switch (operation) {
        case Arithmetic::Add:
            result = c + x;
            break;
        case Arithmetic::Subtract:
            result = c - x;
            break;
        case Arithmetic::Multiply:
            result = c * x;
            break;
        case Arithmetic::Divide:
            if (x != 0.f)
                result = c / x;
            break;
        }
        context.world->setVariable(target, result);
        return true;
    }

private:
    Arithmetic operation;
    std::string target;
    NumberOrVariable operand;
};

// Counts a variable down by the frame time and finishes when it reaches 0.
class Timer : public Action {
public:
    explicit Timer(const ActionArgs& args) : variable(operandText(args, 1)) {}

    bool update(ActionContext& context) override
    {
        const float v = context.world->getVariable(variable) - context.dt;
        if (v <= 0.f) {
            context.world->setVariable(variable, 0.f);
            return true;
        }
        context.world->setVariable(variable, v);
        return false;
    }

private:
    std::string variable;
};

// Finishes on a frame in which the key is down after a frame in which it was
// up; a key held when the wait starts must be released first.
class WaitForKeyPress : public Action {
public:
    explicit WaitForKeyPress(const ActionArgs& args) : key(operandText(args, 1)) {}

    bool update(ActionContext& context) override
    {
        const bool pressed = context.world->isKeyPressed(key);
        const bool result = pressed && !wasPressed;
        wasPressed = pressed;
        return result;
    }
    void reset() override { wasPressed = true; }

private:
    std::string key;
    bool wasPressed = true;
};

} // namespace

void addFlowActions(std::map<std::string, ActionFactory>& factories)
{
    factories["nop"] = [](const ActionArgs&) -> std::unique_ptr<Action> { return std::make_unique<Nop>(); };
    factories["delay"] = makeFactory<Delay>();
    factories["random"] = makeFactory<RandomValue>();
    factories["randomdelay"] = makeFactory<RandomDelay>();
    factories["jumptoaction"] = makeFactory<JumpToAction>();
    factories["jumptorandomaction"] = makeFactory<JumpToRandomAction>();
    factories["less"] = makeModeFactory<Test>(Comparison::Less);
    factories["equal"] = makeModeFactory<Test>(Comparison::Equal);
    factories["greater"] = makeModeFactory<Test>(Comparison::Greater);
    factories["notequal"] = makeModeFactory<Test>(Comparison::NotEqual);
    factories["set"] = makeModeFactory<SetVariable>(false);
    factories["setpersistent"] = makeModeFactory<SetVariable>(true);
    factories["add"] = makeModeFactory<ModifyVariable>(Arithmetic::Add);
    factories["sub"] = makeModeFactory<ModifyVariable>(Arithmetic::Subtract);
    factories["mul"] = makeModeFactory<ModifyVariable>(Arithmetic::Multiply);
    factories["div"] = makeModeFactory<ModifyVariable>(Arithmetic::Divide);
    factories["waitforkeypress"] = makeFactory<WaitForKeyPress>();
    factories["timer"] = makeFactory<Timer>();
}

} // namespace lumaroll
