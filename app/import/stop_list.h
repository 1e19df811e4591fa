#pragma once
// The stop list: texts that exclude every directory or file whose path contains
// one of them from the import and from the album. Read once at start-up from
// etc/stoplist.txt in the home directory.

#include <string>
#include <string_view>
#include <vector>

namespace snapcrate {

inline constexpr int kStopListMaxEntries = 100;

/// Reads home + "etc/stoplist.txt": comma- or line-separated fields, double
/// quotes group (and may hold commas), unquoted fields are trimmed. A missing
/// file gives an empty list silently; at most 100 entries are kept.
void ReadStopList();

/// True (and a log line) when `text` contains one of the entries, case-sensitively.
bool IsInStopList(std::string_view text);

/// The entries read, in file order.
const std::vector<std::string>& StopListEntries();
/// Empties the list.
void ClearStopList();

/// The fields of delimited text, as the stop list reads them; at most
/// `max_count`, `more` tells whether further fields followed.
std::vector<std::string> ReadDelimitedFields(std::string_view text, size_t max_count, bool& more);

}  // namespace snapcrate
