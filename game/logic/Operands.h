// How actions read their operands: names as written, numbers by strtof, 1-based
// action numbers, and operands that are either a number or a variable's name.
#pragma once

#include "logic/Action.h"
#include "logic/World.h"

#include <string>

namespace lumaroll {

// The empty text: what an absent name operand reads as.
const std::string& noOperand();
// Operand n (counted from 1) of args, or fallback when absent.
const std::string& operandText(const ActionArgs& args, size_t n, const std::string& fallback = noOperand());
// strtof of operand n ("2s" is 2, a word 0), or fallback when absent.
float numberOperand(const ActionArgs& args, size_t n, float fallback);
// Operand n as a 0-based action index (-1 for a non-number), or fallback when absent.
int actionIndexOperand(const ActionArgs& args, size_t n, int fallback);

// A constant when all of the text parses as a float, else a variable's name
// read at each use (0 for a variable never set). An empty text is the constant 0.
struct NumberOrVariable {
    std::string variable; // empty for a constant
    float constant = 0.f;

    NumberOrVariable() = default;
    explicit NumberOrVariable(const std::string& text);
    float value(World& world) const { return variable.empty() ? constant : world.getVariable(variable); }
};

// Operand n as a number or variable, or the constant fallback when absent.
NumberOrVariable numberOrVariableOperand(const ActionArgs& args, size_t n, float fallback);

} // namespace lumaroll
