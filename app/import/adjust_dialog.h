#pragma once
// The date-adjust window without the window: the directory chooser, the six
// offset fields with their spin bars, the sign, and the checks before OK.

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "app/dir_chooser.h"
#include "app/program_state.h"

namespace snapcrate {

/// The directory the adjustment runs on, ending in "/"; set by OK.
std::string& CurrentAdjustPath();

enum class OffsetField { kYear, kWeek, kDay, kHour, kMin, kSec };
inline constexpr int kOffsetFieldCount = 6;

/// The largest value of each field: Year 99, Week 53, Day 30, Hour 23, Min 59, Sec 59.
int16_t OffsetLimit(OffsetField field);

inline constexpr std::string_view kAdjustWarningText =
    "Warning!!\r\n"
    "This function ist still BETA!!\r\n"
    "It is highly recommended to make a backup of your valuable pictures and\r\n"
    "check afterwards whether all went right!!";

inline constexpr std::string_view kAdjustHelpText =
    "Change the EXIF date of your JPEG files by a fixed offset.\r\n"
    "Useful e. g. to adjust an inaccurate date setting of a digital camera.\r\n"
    "\r\n"
    "IMPORTANT NOTE: Although carefully tested this function is still BETA!\r\n"
    "For maximum safety please make a backup of your JPEG files before calling this function!";

inline constexpr std::string_view kOffsetTooLargeText =
    "The offset is too large: it must stay below 68 years (2147483647 seconds).\r\n"
    "Please reduce the years, weeks or days.";

class AdjustDialog {
 public:
  /// Opening: empties the adjust result; the stored directory and the last
  /// confirmed offset.
  AdjustDialog();

  DirChooser& chooser() { return chooser_; }
  /// The chooser's path (without trailing "/", except for the root).
  const std::string& raw_path() const { return chooser_.directory(); }

  /// The text a field shows.
  const std::string& FieldText(OffsetField field) const { return texts_[Index(field)]; }
  /// The spin bar's position: limit - value (the bar's top is the largest value).
  int SpinValue(OffsetField field) const;
  /// The user typed: the field's number is clamped to 0 ... limit and shown again.
  void TextChanged(OffsetField field, const std::string& text);
  /// The user moved the spin bar to `bar_value`.
  void SpinChanged(OffsetField field, int bar_value);

  void SetSign(int sign) { sign_ = sign < 0 ? -1 : 1; }
  int sign() const { return sign_; }
  /// `LabelEASign`: "+" or "-".
  std::string SignText() const { return sign_ < 0 ? "-" : "+"; }

  /// The offset the fields and the sign describe.
  DateAdjustOffset Offset() const;
  /// The offset in seconds; nothing when it does not fit into 32 bits.
  std::optional<int32_t> OffsetInSeconds() const;
  /// What the window shows below the fields: the offset in seconds, or why it
  /// is refused.
  std::string OffsetSummary() const;

  enum class ConfirmResult {
    kConfirmed,       // the window closes and the adjustment runs
    kOffsetTooLarge,  // refused with a message; the window stays open
    kCancelled,       // the warning was cancelled; the window stays open
  };
  /// OK: checks the offset, asks through the BETA warning, then stores the
  /// offset, the directory and the result "OK".
  ConfirmResult Confirm();

 private:
  static size_t Index(OffsetField field) { return static_cast<size_t>(field); }

  DirChooser chooser_;
  std::array<std::string, kOffsetFieldCount> texts_;
  int sign_ = 1;
};

}  // namespace snapcrate
