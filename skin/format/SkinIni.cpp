#include "skin/format/SkinIni.h"

#include <algorithm>

#include "skin/format/SkinRead.h"

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string Trim(const std::string& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

bool IsHeader(const std::string& line) {
  return line.size() >= 2 && line.front() == '[' && line.back() == ']';
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool SkinStrToInt(const std::string& text, int32_t& value) {
  if (text.size() >= 2 && text[0] == '$') {
    if (text.size() > 9) return false;
    uint32_t bits = 0;
    for (size_t i = 1; i < text.size(); ++i) {
      const int digit = HexDigit(text[i]);
      if (digit < 0) return false;
      bits = (bits << 4) | static_cast<uint32_t>(digit);
    }
    value = static_cast<int32_t>(bits);
    return true;
  }
  size_t i = 0;
  const bool negative = !text.empty() && text[0] == '-';
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) i = 1;
  if (i == text.size()) return false;
  const int64_t limit = negative ? int64_t{2147483648} : int64_t{2147483647};
  int64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > limit) return false;
  }
  value = static_cast<int32_t>(negative ? -magnitude : magnitude);
  return true;
}

void TQuickIni::LoadFromStream(TStream* stream) {
  if (stream == nullptr) return;
  std::string text(static_cast<size_t>(stream->Remaining()), '\0');
  text.resize(static_cast<size_t>(stream->Read(text.data(), static_cast<int64_t>(text.size()))));
  text.resize(std::min(text.size(), text.find('\0')));

  lines_.clear();
  headers_.clear();
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    std::string line = Trim(text.substr(start, end - start));
    start = end;
    if (start < text.size()) start += (text[start] == '\r' && start + 1 < text.size() && text[start + 1] == '\n') ? 2 : 1;

    if (line.empty() || line[0] == ';') continue;
    if (IsHeader(line)) headers_.emplace_back(line, lines_.size());
    lines_.push_back(std::move(line));
  }
}

std::string TQuickIni::ReadString(const std::string& section, const std::string& key,
                                  const std::string& defaultValue) const {
  const std::string header = SkinLowerCase("[" + section + "]");
  const auto found = std::find_if(headers_.begin(), headers_.end(), [&](const auto& h) {
    return SkinLowerCase(h.first) == header;
  });
  if (found == headers_.end()) return defaultValue;

  const std::string wanted = SkinLowerCase(key);
  for (size_t i = found->second + 1; i < lines_.size() && !IsHeader(lines_[i]); ++i) {
    const std::string& line = lines_[i];
    const size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    if (SkinLowerCase(Trim(line.substr(0, equals))) != wanted) continue;
    const std::string value = Trim(line.substr(equals + 1));
    return value.empty() ? defaultValue : value;
  }
  return defaultValue;
}

int32_t TQuickIni::ReadInteger(const std::string& section, const std::string& key,
                               int32_t defaultValue) const {
  std::string text = ReadString(section, key, "");
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.replace(0, 2, "$");
  }
  int32_t value = 0;
  return SkinStrToInt(text, value) ? value : defaultValue;
}

void TQuickIni::ReadSections(std::vector<std::string>& sections) const {
  sections.clear();
  for (const auto& header : headers_) sections.push_back(Trim(header.first.substr(1, header.first.size() - 2)));
}
