#pragma once
// Listing the scheme directories and configuration files below etc/.

#include <string>
#include <vector>

namespace snapcrate {

/// The most names one listing returns.
inline constexpr size_t kMaxListedEntries = 860;

/// Names of the entries of `dir` that begin with `prefix` and end with
/// `suffix`, in the file system's order ("." and ".." never), at most 860.
std::vector<std::string> ListEtcEntries(const std::string& dir, const std::string& prefix,
                                        const std::string& suffix);

}  // namespace snapcrate
