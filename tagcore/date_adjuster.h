// The entry hook that shifts the date strings of an image file in place.
#ifndef SNAPCRATE_TAGCORE_DATE_ADJUSTER_H_
#define SNAPCRATE_TAGCORE_DATE_ADJUSTER_H_

#include <cstdint>

#include "tagcore/tiff_walker.h"

namespace snapcrate::tagcore {

class DateAdjuster : public EntryHook {
 public:
  DateAdjuster(const char* image_path, int32_t seconds)
      : image_path_(image_path), seconds_(seconds) {}

  /// Rewrites a DateTime, DateTimeOriginal or DateTimeDigitized value; returns
  /// 0, 5 (file not updatable) or 8 (date not convertible or shifted out of range).
  int OnEntry(const DirectoryEntry& entry) override;

  /// Whether any date entry was met, rewritable or not.
  bool found_date() const { return found_date_; }

 private:
  const char* image_path_;
  int32_t seconds_;
  bool found_date_ = false;
};

}  // namespace snapcrate::tagcore

#endif  // SNAPCRATE_TAGCORE_DATE_ADJUSTER_H_
