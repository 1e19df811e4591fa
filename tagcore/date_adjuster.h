// The entry hook that collects the shifted date strings of an image file, and
// the writing of the shifted file.
#ifndef SNAPCRATE_TAGCORE_DATE_ADJUSTER_H_
#define SNAPCRATE_TAGCORE_DATE_ADJUSTER_H_

#include <cstdint>
#include <vector>

#include "tagcore/tiff_walker.h"

namespace snapcrate::tagcore {

class DateAdjuster : public EntryHook {
 public:
  DateAdjuster(const char* image_path, int32_t seconds)
      : image_path_(image_path), seconds_(seconds) {}

  /// Notes the shifted value of a DateTime, DateTimeOriginal or DateTimeDigitized
  /// entry; returns 0, or 8 (date not convertible or shifted out of range).
  int OnEntry(const DirectoryEntry& entry) override;

  /// Whether any date entry was met, rewritable or not.
  bool found_date() const { return found_date_; }

  /// Replaces the image by a copy carrying the noted dates, keeping its mode,
  /// owner and times; a kill at any moment leaves either the old or the new file.
  /// Returns 0, 5 (image or its directory not writable) or 9 (the copy could not
  /// be written completely); the image is unchanged unless 0 is returned.
  int WriteDates() const;

 private:
  struct NewDate {
    uint64_t file_position;
    char text[20];
  };

  const char* image_path_;
  int32_t seconds_;
  bool found_date_ = false;
  std::vector<NewDate> new_dates_;
};

}  // namespace snapcrate::tagcore

#endif  // SNAPCRATE_TAGCORE_DATE_ADJUSTER_H_
