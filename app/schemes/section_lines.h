#pragma once
// The value lines of a list section ("PageSchemes", "CommonFiles",
// "ScaledAlbumSchemes"): the lines after its header up to the end of the
// contents or a line that begins another section.

#include <string>
#include <vector>

#include "app/line_store.h"

namespace snapcrate {

/// The lines after the header at `header_index`; stops before a line of at
/// least 2 characters that begins with "[".
std::vector<std::string> SectionLines(const LineStore& lines, int header_index);

}  // namespace snapcrate
