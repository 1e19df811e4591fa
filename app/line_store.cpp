#include "app/line_store.h"

#include <algorithm>

namespace snapcrate {

LineStore::LineStore(size_t capacity) : lines_(std::max<size_t>(capacity, 1)) {
  lines_[0] = kEndMarker;
}

size_t LineStore::Count() const {
  for (size_t i = 0; i < lines_.size(); ++i)
    if (lines_[i] == kEndMarker) return i;
  return lines_.size();
}

std::vector<std::string> LineStore::Lines() const {
  return std::vector<std::string>(lines_.begin(), lines_.begin() + static_cast<std::ptrdiff_t>(Count()));
}

void LineStore::Assign(const std::vector<std::string>& lines) {
  const size_t n = std::min(lines.size(), lines_.size() - 1);
  std::copy_n(lines.begin(), n, lines_.begin());
  lines_[n] = kEndMarker;
}

}  // namespace snapcrate
