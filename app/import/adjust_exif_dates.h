#pragma once
// The batch date adjustment: shifts the EXIF dates of every ".jpg", ".heic" and
// ".heif" picture below a directory by one offset.

#include <cstdint>
#include <optional>
#include <string>

#include "app/program_state.h"

namespace snapcrate {

/// The offset in seconds; nothing when it does not fit into 32 bits.
std::optional<int32_t> OffsetSeconds(const DateAdjustOffset& offset);

struct AdjustCounters {
  int32_t adjusted = 0;
  int32_t without_exif_date = 0;
  int32_t not_writeable = 0;
  int32_t failed = 0;  // the shifted file could not be written (disk full, I/O error)
  int32_t unreadable_dirs = 0;  // folders whose pictures could not even be listed
};

enum AdjustFileResult : int {
  kAdjustNotCounted = 0,
  kAdjustWithoutExifDate = 1,
  kAdjustNotWriteable = 2,
  kAdjustDone = 3,
  kAdjustFailed = 4,
};

/// Shifts one file; the log line of a failure is written here.
AdjustFileResult AdjustFile(const std::string& directory, const std::string& name, int32_t seconds);

/// Shows, without changing the file, its date entries before and after the shift.
AdjustFileResult PreviewAdjustFile(const std::string& directory, const std::string& name, int32_t seconds);

/// Walks the tree below `directory` (ending in "/"); true when aborted.
bool AdjustScanDir(const std::string& directory, int32_t seconds, AdjustCounters& counters, bool dry_run = false);

/// The summary the adjustment shows at its end.
std::string AdjustSummary(const AdjustCounters& counters);

/// Shifts every ".jpg", ".heic" and ".heif" below `directory`, then shows the
/// summary. False when the offset was refused, the run aborted, or a file could
/// not be written.
bool AdjustExifDates(const std::string& directory, const DateAdjustOffset& offset, bool dry_run = false);

}  // namespace snapcrate
