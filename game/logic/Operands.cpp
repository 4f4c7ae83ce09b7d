#include "logic/Operands.h"

#include "logic/ScriptNumbers.h"

#include <cstdlib>

namespace lumaroll {

const std::string& noOperand()
{
    static const std::string empty;
    return empty;
}

const std::string& operandText(const ActionArgs& args, size_t n, const std::string& fallback)
{
    return n >= 1 && n <= args.args.size() ? args.args[n - 1] : fallback;
}

float numberOperand(const ActionArgs& args, size_t n, float fallback)
{
    if (n < 1 || n > args.args.size())
        return fallback;
    return std::strtof(args.args[n - 1].c_str(), nullptr);
}

int actionIndexOperand(const ActionArgs& args, size_t n, int fallback)
{
    if (n < 1 || n > args.args.size())
        return fallback;
    return readActionIndex(args.args[n - 1].c_str());
}

NumberOrVariable::NumberOrVariable(const std::string& text)
{
    if (text.empty())
        return;
    char* end = nullptr;
    const float number = std::strtof(text.c_str(), &end);
    if (end == text.c_str() + text.size())
        constant = number;
    else
        variable = text;
}

NumberOrVariable numberOrVariableOperand(const ActionArgs& args, size_t n, float fallback)
{
    if (n < 1 || n > args.args.size()) {
        NumberOrVariable constant;
        constant.constant = fallback;
        return constant;
    }
    return NumberOrVariable(args.args[n - 1]);
}

} // namespace lumaroll
