#include "logic/ScriptText.h"

#include <cstdio>

namespace lumaroll {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The range [begin, end) of text without the blanks at both ends.
void trim(const std::string& text, size_t& begin, size_t& end)
{
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
}

} // namespace

void readScriptLines(const std::string& text, std::map<std::string, std::string>& into)
{
    size_t lineStart = 0;
    while (lineStart <= text.size()) {
        size_t lineEnd = text.find('\n', lineStart);
        if (lineEnd == std::string::npos)
            lineEnd = text.size();
        const size_t equals = text.find('=', lineStart);
        if (equals < lineEnd) {
            size_t keyBegin = lineStart, keyEnd = equals;
            size_t valueBegin = equals + 1, valueEnd = lineEnd;
            trim(text, keyBegin, keyEnd);
            trim(text, valueBegin, valueEnd);
            if (keyEnd > keyBegin) {
                std::string& value = into[text.substr(keyBegin, keyEnd - keyBegin)];
                value.assign(text, valueBegin, valueEnd - valueBegin);
            }
        }
        lineStart = lineEnd + 1;
    }
}

void splitActionFields(const std::string& value, std::vector<std::string>& fields)
{
    fields.clear();
    size_t fieldStart = 0;
    while (fieldStart <= value.size()) {
        size_t fieldEnd = value.find(',', fieldStart);
        if (fieldEnd == std::string::npos)
            fieldEnd = value.size();
        size_t begin = fieldStart, end = fieldEnd;
        trim(value, begin, end);
        if (end > begin)
            fields.emplace_back(value, begin, end - begin);
        fieldStart = fieldEnd + 1;
    }
}

std::string actionKey(char letter, int n)
{
    char key[16];
    std::snprintf(key, sizeof key, n < 100 ? "%c%02d" : "%c%03d", letter, n);
    return key;
}

std::string nameThisOperands(const std::string& script, const std::string& objectName)
{
    std::string out;
    out.reserve(script.size());
    size_t i = 0;
    while (i < script.size()) {
        const char c = script[i];
        out += c;
        ++i;
        if (c != ',')
            continue;
        // A field after a comma: copy its leading blanks (not line ends), then
        // replace it when it reads "this" up to the next comma or line end.
        size_t begin = i;
        while (begin < script.size() && (script[begin] == ' ' || script[begin] == '\t'))
            ++begin;
        if (script.compare(begin, 4, "this") != 0)
            continue;
        size_t after = begin + 4;
        while (after < script.size() && (script[after] == ' ' || script[after] == '\t'))
            ++after;
        if (after == script.size() || script[after] == ',' || script[after] == '\n' || script[after] == '\r') {
            out.append(script, i, begin - i);
            out += objectName;
            i = begin + 4;
        }
    }
    return out;
}

} // namespace lumaroll
