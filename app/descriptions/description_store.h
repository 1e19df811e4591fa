#pragma once
// What the picture and directory description files share: the line store they
// are read into, and how typed text is kept on one line.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "app/line_store.h"

namespace snapcrate {

/// A line store large enough for any description file (each value is one line).
inline constexpr size_t kDescriptionStoreCapacity = 201;

/// The name of the directory description file written by older versions; read
/// when the current one is missing or empty.
inline constexpr std::string_view kOldDirDescriptionName = "_quillbox_.dsc";

/// `text` with every line break (CR LF, LF or CR) written as "<br>".
std::string LineBreaksToBr(std::string_view text);
/// `text` with every "<br>" turned into CR LF.
std::string BrToLineBreaks(std::string_view text);
/// `text` without CR and LF, for values that are one line by nature.
std::string RemoveLineBreaks(std::string_view text);

/// Gives every section in `names` exactly one value line: an empty line is put
/// behind a header that has none, and further lines of an older multi-line value
/// are dropped. The section writer replaces only the first value line, so without
/// this a stale second line would come back on the next read, and a header
/// followed directly by another header would lose that header.
void NormalizeSections(LineStore& store, const std::vector<std::string_view>& names);

}  // namespace snapcrate
