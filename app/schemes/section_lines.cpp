#include "app/schemes/section_lines.h"

namespace snapcrate {

std::vector<std::string> SectionLines(const LineStore& lines, int header_index) {
  std::vector<std::string> result;
  if (header_index < 0) return result;
  const size_t count = lines.Count();
  for (size_t i = static_cast<size_t>(header_index) + 1; i < count; ++i) {
    const std::string& line = lines[i];
    if (line.size() >= 2 && line.front() == '[') break;
    result.push_back(line);
  }
  return result;
}

}  // namespace snapcrate
