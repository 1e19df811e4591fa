#pragma once
// Writing a file so that it appears whole or not at all.

#include <cstddef>
#include <string>

namespace snapcrate {

/// Writes `size` bytes to a new hidden file beside `path` and renames it over
/// `path`; on any failure the temporary file is removed and `path` is as it
/// was. The new file gets `mode`, less the process umask; `sync` flushes it to
/// the disk before the rename.
bool WriteFileAtomically(const std::string& path, const void* data, size_t size,
                         unsigned mode = 0666, bool sync = false);

}  // namespace snapcrate
