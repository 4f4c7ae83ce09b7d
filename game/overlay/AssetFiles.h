// The overlay's run-time assets (icon fonts, title picture, shipped language
// files): searched in "assets/" beside the program first, then in the source
// tree's assets folder fixed when the program was built. The working
// directory is never searched.
#pragma once

#include <string>
#include <vector>

namespace lumaroll {

// The asset folders in search order, each ending in "/".
std::vector<std::string> assetDirs();

// Replaces the asset folders (tests point them at a temporary folder); an
// empty list goes back to the two folders above.
void setAssetDirs(const std::vector<std::string>& dirs);

// The whole file of the first folder that holds it as a non-empty, fully
// readable regular file; empty when none does. A folder or a named pipe of
// that name is passed over (a pipe is never waited for).
std::vector<unsigned char> readAssetFile(const std::string& relPath);

} // namespace lumaroll
