#pragma once
// Picture types by file name.

#include <cstdint>
#include <string_view>

namespace snapcrate::pixcore {

/// The PIXCORE_TYPE_* value of a file name's extension, -1 when it names no
/// picture type we read.
int32_t ImageTypeFromName(std::string_view name);

/// The PIXCORE_TYPE_* value of a libvips loader name, -1 for loaders we do not
/// use (documents, raw data and other formats outside a photo album).
int32_t ImageTypeFromLoader(std::string_view loader);

}  // namespace snapcrate::pixcore
