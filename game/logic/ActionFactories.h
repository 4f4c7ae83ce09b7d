// Factories of action classes for the registry: the operands alone, or a mode
// or kind first (one class serving several keywords).
#pragma once

#include "logic/Action.h"

namespace lumaroll {

template <class T>
ActionFactory makeFactory()
{
    return [](const ActionArgs& args) -> std::unique_ptr<Action> { return std::make_unique<T>(args); };
}

template <class T, class Mode>
ActionFactory makeModeFactory(Mode mode)
{
    return [mode](const ActionArgs& args) -> std::unique_ptr<Action> { return std::make_unique<T>(mode, args); };
}

} // namespace lumaroll
