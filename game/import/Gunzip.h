#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "import/ImportLimits.h"

namespace lumaroll {

// Inflates the first gzip member of data into out (cleared first). Returns
// false with error set when zlib cannot start ("zlib could not be initialized"),
// the data is damaged or truncated ("corrupted compressed data"), or the output
// would grow past maxOut bytes ("The package data is too large.").
bool gunzip(const void* data, int size, std::vector<char>& out, std::string& error,
            std::int64_t maxOut = kMaxDataSize);

} // namespace lumaroll
