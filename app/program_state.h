#pragma once
// Program-wide values that live for the whole run.

#include <cstdint>
#include <string>

#include "app/line_store.h"

namespace snapcrate {

inline constexpr std::string_view kVersionText = "V1.80 (2007-05-06)";

/// The offset of the batch date adjustment.
struct DateAdjustOffset {
  int16_t years = 0;
  int16_t weeks = 0;
  int16_t days = 0;
  int16_t hours = 1;
  int16_t minutes = 0;
  int16_t seconds = 0;
  int16_t sign = 1;
};

struct ProgramState {
  static constexpr size_t kSettingsCapacity = 101;

  std::string home_dir;  // ends in "/"
  LineStore settings{kSettingsCapacity};

  // Read from the settings at start-up.
  std::string dir_dsc_name = "_snapcrate_.dsc";
  std::string gen_debug;
  int16_t debug_level = 0;
  int16_t own_index_page_sub_nodes_threshold = 2;
  std::string gen_html_root_dir = "_snapcrate_";
  std::string gen_html_ext = ".htm";
  std::string gen_html_dest_path;
  std::string rotate_lossless_at_original_location = "1";
  std::string copyright;

  // Results of the three task dialogs: "OK" when confirmed.
  std::string import_result;
  std::string adjust_result;
  std::string gen_html_result;

  bool initialized = false;
  DateAdjustOffset date_offset;
};

ProgramState& Program();
/// Path of the settings file.
std::string SettingsPath();

}  // namespace snapcrate
