#pragma once

#include <cstddef>
#include <cstdint>

namespace lumaroll {

// Looks for the few malformed inputs that stb_image handles unsafely: JPEG
// huffman tables of more than 256 codes (written past its tables) and PNG
// chunks longer than the file (allocated in full before reading). Returns
// the failure reason in stb_image's words, or nullptr when the bytes may go
// to stb_image.
const char* stbInputProblem(const std::uint8_t* bytes, std::size_t size);

} // namespace lumaroll
