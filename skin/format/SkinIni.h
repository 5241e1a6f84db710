#pragma once
// Reader of the skin description, a plain INI text.
//
// The text ends at its first NUL byte. Lines end at CR, LF or CR LF and are trimmed of blanks and
// control characters; empty lines and lines starting with ";" are dropped. A kept line in brackets
// is a section header. Within a section, "key = value" lines are looked up by key (ASCII case
// ignored, blanks around key and value removed); the first matching line decides, even when its
// value is empty. Only the first section of a given name is searched, and lines before the first
// header belong to no section.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "framework/core/Stream.h"

class TQuickIni {
public:
  // Reads stream from its position to its end, replacing what was loaded before. A null stream
  // does nothing.
  void LoadFromStream(TStream* stream);

  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& defaultValue) const;
  // Decimal, or hexadecimal after "$" or "0x"; a value that does not convert gives defaultValue.
  int32_t ReadInteger(const std::string& section, const std::string& key, int32_t defaultValue) const;
  // The section names without brackets, trimmed, in file order.
  void ReadSections(std::vector<std::string>& sections) const;

private:
  std::vector<std::string> lines_;
  // Each header's whole line (with brackets) and its index in lines_.
  std::vector<std::pair<std::string, size_t>> headers_;
};

// Converts the whole of text as a signed 32-bit decimal, or hexadecimal after a leading "$"
// (up to 8 digits, taken as the bits of the result). False when it does not convert.
[[nodiscard]] bool SkinStrToInt(const std::string& text, int32_t& value);
