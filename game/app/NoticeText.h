// The session's notice texts from translations. A translation is user data
// (a language file in the configuration folder can replace any key), so it
// is never a printf format: "%n" or "%s %s" in it would read arguments that
// are not there.
#pragma once

#include <string>

namespace lumaroll {

// pattern with its first "%s" or "%d" replaced by value and each "%%" by a
// percent sign; every other '%' sequence, and a placeholder once value is
// used, stays as it is.
std::string fillNoticeText(const std::string& pattern, const std::string& value);

} // namespace lumaroll
