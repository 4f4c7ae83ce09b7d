// The language the user's desktop asks for, for the overlay's "auto" language.
#pragma once

#include <string>

namespace lumaroll {

// The language code of the user's first preferred locale ("fr", "de", ...);
// empty when the system names none.
std::string preferredLanguage();

} // namespace lumaroll
