// Formatting of translated texts. A translation is user data (a .lang file in
// the configuration folder can replace any key), so it is never handed to
// printf: "%n", "%s%s" or a stray "%" in it would be undefined behaviour.
// formatText replaces only "%s" and "%d" (each takes the next argument, in
// order, whatever its type) and "%%" (a percent sign); every other '%'
// sequence, and a placeholder with no argument left, stays as it is.
//
// Every caller that fills a translation with values uses it: the update
// notice, the menu tabs, the input and controller notices.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>

namespace lumaroll {

// One value for a placeholder: text, or a whole number written in decimal.
class FormatArg {
public:
    FormatArg(const char* text) : value(text ? text : "") {}
    FormatArg(const std::string& text) : value(text) {}
    FormatArg(int number) : value(std::to_string(number)) {}
    FormatArg(long number) : value(std::to_string(number)) {}
    FormatArg(unsigned number) : value(std::to_string(number)) {}

    const std::string& text() const { return value; }

private:
    std::string value;
};

// Results longer than this many bytes are cut (at a character boundary), as
// a text of a fixed 1024-byte buffer would be.
constexpr std::size_t kMaxFormattedBytes = 1023;

// pattern with its placeholders filled from args, as described above.
std::string formatText(const std::string& pattern, std::initializer_list<FormatArg> args);

} // namespace lumaroll
