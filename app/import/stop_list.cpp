#include "app/import/stop_list.h"

#include <cstdio>

#include "app/log.h"
#include "app/paths.h"
#include "app/program_state.h"
#include "app/text.h"

namespace snapcrate {
namespace {

std::vector<std::string>& Entries() {
  static std::vector<std::string> entries;
  return entries;
}

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }
bool IsSpace(char c) { return c == ' ' || c == '\t'; }

/// Steps over the delimiter at `pos` (a comma, or one line end of any kind).
size_t SkipDelimiter(std::string_view text, size_t pos) {
  if (pos >= text.size()) return pos;
  if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') return pos + 2;
  return pos + 1;
}

bool ReadWholeFile(const std::string& path, std::string& contents) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) contents.append(buffer, n);
  const bool ok = !std::ferror(file);
  std::fclose(file);
  return ok;
}

}  // namespace

std::vector<std::string> ReadDelimitedFields(std::string_view text, size_t max_count, bool& more) {
  std::vector<std::string> fields;
  more = false;
  size_t pos = 0;
  while (pos < text.size()) {
    if (fields.size() >= max_count) {
      more = true;
      break;
    }
    size_t start = pos;
    while (start < text.size() && IsSpace(text[start])) ++start;
    if (start < text.size() && text[start] == '"') {
      // A quoted field ends at the closing quote; a quote left open ends at the
      // line end, so a stray quote cannot swallow the rest of the file.
      size_t close = start + 1;
      while (close < text.size() && text[close] != '"' && !IsLineEnd(text[close])) ++close;
      fields.emplace_back(text.substr(start + 1, close - start - 1));
      pos = close < text.size() && text[close] == '"' ? close + 1 : close;
      // Anything between the closing quote and the next delimiter is dropped.
      while (pos < text.size() && text[pos] != ',' && !IsLineEnd(text[pos])) ++pos;
    } else {
      size_t end = start;
      while (end < text.size() && text[end] != ',' && !IsLineEnd(text[end])) ++end;
      fields.push_back(Trim(text.substr(start, end - start)));
      pos = end;
    }
    pos = SkipDelimiter(text, pos);
  }
  return fields;
}

void ReadStopList() {
  std::vector<std::string>& entries = Entries();
  entries.clear();
  const std::string path = Program().home_dir + "etc/stoplist.txt";
  // Existence is asked of the directory, not by opening the file, so that a
  // file that is there but cannot be read is reported rather than ignored.
  FindRecord record;
  if (!FindFile(path, record) || record.is_directory) return;
  std::string contents;
  if (!ReadWholeFile(path, contents)) {
    LogMessage("error while reading " + path);
    return;
  }
  bool more = false;
  entries = ReadDelimitedFields(contents, kStopListMaxEntries, more);
  if (more) LogMessage("Warning: Reached maxlines limit for stoplist!");
  LogMessage("Stoplist read!");
}

bool IsInStopList(std::string_view text) {
  for (const std::string& entry : Entries()) {
    if (text.find(entry) == std::string_view::npos) continue;
    LogMessage("Stoplist: In \"" + std::string(text) + "\" match found for \"" + entry + "\"");
    return true;
  }
  return false;
}

const std::vector<std::string>& StopListEntries() { return Entries(); }

void ClearStopList() { Entries().clear(); }

}  // namespace snapcrate
