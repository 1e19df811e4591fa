#include "app/import/adjust_dialog.h"

#include <algorithm>
#include <cmath>

#include "app/file_lib.h"
#include "app/import/adjust_exif_dates.h"
#include "app/numeric.h"
#include "app/paths.h"
#include "app/settings.h"
#include "app/ui_port.h"

namespace snapcrate {
namespace {

constexpr std::array<int16_t, kOffsetFieldCount> kLimits = {99, 53, 30, 23, 59, 59};

int16_t Clamped(double value, int16_t limit) {
  if (!(value > 0)) return 0;  // also a text without a number
  if (value > limit) return limit;
  return std::min(ToInt16(value), limit);
}

}  // namespace

std::string& CurrentAdjustPath() {
  static std::string path;
  return path;
}

int16_t OffsetLimit(OffsetField field) { return kLimits[static_cast<size_t>(field)]; }

AdjustDialog::AdjustDialog() {
  Program().adjust_result.clear();
  SetDirAndDriveControl(ReadSetting("AdjustExifDateTimePath", DefaultDirectory()), chooser_);
  const DateAdjustOffset& offset = Program().date_offset;
  const int16_t values[] = {offset.years, offset.weeks, offset.days, offset.hours, offset.minutes, offset.seconds};
  for (size_t i = 0; i < texts_.size(); ++i) texts_[i] = std::to_string(values[i]);
  sign_ = offset.sign == 1 ? 1 : -1;
}

int AdjustDialog::SpinValue(OffsetField field) const {
  return OffsetLimit(field) - Clamped(LeadingNumber(FieldText(field)), OffsetLimit(field));
}

void AdjustDialog::TextChanged(OffsetField field, const std::string& text) {
  texts_[Index(field)] = std::to_string(Clamped(LeadingNumber(text), OffsetLimit(field)));
}

void AdjustDialog::SpinChanged(OffsetField field, int bar_value) {
  const int16_t limit = OffsetLimit(field);
  texts_[Index(field)] = std::to_string(std::clamp(limit - bar_value, 0, static_cast<int>(limit)));
}

DateAdjustOffset AdjustDialog::Offset() const {
  auto value = [this](OffsetField field) { return LeadingInt16(FieldText(field)); };
  return DateAdjustOffset{
      .years = value(OffsetField::kYear),
      .weeks = value(OffsetField::kWeek),
      .days = value(OffsetField::kDay),
      .hours = value(OffsetField::kHour),
      .minutes = value(OffsetField::kMin),
      .seconds = value(OffsetField::kSec),
      .sign = static_cast<int16_t>(sign_),
  };
}

std::optional<int32_t> AdjustDialog::OffsetInSeconds() const { return OffsetSeconds(Offset()); }

std::string AdjustDialog::OffsetSummary() const {
  const std::optional<int32_t> seconds = OffsetInSeconds();
  if (!seconds) return "Offset too large: at most 68 years";
  return "= " + std::to_string(*seconds) + " seconds";
}

AdjustDialog::ConfirmResult AdjustDialog::Confirm() {
  // Refused before the warning: nothing may run with an offset the files
  // cannot take.
  if (!OffsetInSeconds()) {
    ShowMessage(kOffsetTooLargeText);
    return ConfirmResult::kOffsetTooLarge;
  }
  if (Ui().MessageBox(kAdjustWarningText, MessageButtons::kOkCancel) != MessageAnswer::kOk)
    return ConfirmResult::kCancelled;
  Program().date_offset = Offset();
  WriteSettings({{"AdjustExifDateTimePath", raw_path()}});
  Program().adjust_result = "OK";
  CurrentAdjustPath() = WithTrailingSlash(raw_path());
  return ConfirmResult::kConfirmed;
}

}  // namespace snapcrate
