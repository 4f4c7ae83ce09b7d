#include "logic/ProcessFlags.h"

#include <cstdlib>
#include <set>

namespace lumaroll {

bool traceEnabled()
{
    static const bool enabled = std::getenv("LUMAROLL_TRACE") != nullptr;
    return enabled;
}

bool firstTraceOfProcess(const std::string& key)
{
    static std::set<std::string> seen;
    return seen.insert(key).second;
}

bool originalSections()
{
    static const bool set = std::getenv("LUMAROLL_ORIGINAL_SECTIONS") != nullptr;
    return set;
}

} // namespace lumaroll
