#pragma once

#include <gr/ImageFile.h>

#include <cstddef>
#include <cstdint>

namespace lumaroll {

// Size of the legacy PVR header; its tag "PVR!" lies at byte 44.
const std::size_t kLegacyPvrHeaderSize = 52;

// Decodes a legacy PVR file (at least kLegacyPvrHeaderSize bytes) into an
// emptied image. Returns false with image.error set (hasAlpha and
// flipVertical may already be set from the header) when no level decodes.
bool decodeLegacyPvr(const std::uint8_t* bytes, std::size_t size, ImageData& image);

} // namespace lumaroll
