#pragma once
// A text file read whole into a fixed-capacity array of lines whose contents end
// at the first element "###".

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace snapcrate {

inline constexpr std::string_view kEndMarker = "###";

class LineStore {
 public:
  /// An empty store of `capacity` elements (it holds at most capacity - 1 lines).
  explicit LineStore(size_t capacity);

  size_t capacity() const { return lines_.size(); }
  std::string& operator[](size_t index) { return lines_.at(index); }
  const std::string& operator[](size_t index) const { return lines_.at(index); }

  /// Index of the end marker: the number of lines held.
  size_t Count() const;
  /// The lines before the end marker.
  std::vector<std::string> Lines() const;
  /// Replaces the contents; lines beyond capacity - 1 are dropped.
  void Assign(const std::vector<std::string>& lines);

 private:
  std::vector<std::string> lines_;
};

}  // namespace snapcrate
