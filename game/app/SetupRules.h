// Small decisions of the level session's player set-up, as pure functions.
#pragma once

#include <string>

namespace lumaroll {

// The touch radius of a scripted library object: the number of its "radius="
// line (the key at the start of a line, so "inradius=" is another key), or
// 60 when there is none or it is no positive finite number.
float touchRadius(const std::string& propertyText);

// The boost effect's particle description in the particle folder: of the
// files whose lower-cased name contains "boost" and ends with ".prs", the
// first in name order (a folder lists its files in no fixed order); empty
// when the folder cannot be read or holds none.
std::string boostParticleFile(const std::string& particlesDir);

} // namespace lumaroll
