// Input: a skin description. Every section is listed and every key-like text looked up in it.
#include <cstdint>
#include <string>
#include <vector>

#include "skin/format/SkinIni.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemoryStream stream(std::vector<uint8_t>(data, data + size));
  TQuickIni ini;
  ini.LoadFromStream(&stream);

  std::vector<std::string> sections;
  ini.ReadSections(sections);
  const std::string text(data, data + size);
  std::vector<std::string> keys = {"", "skinname", "image", "leftwidth"};
  for (size_t start = 0; start < text.size() && keys.size() < 64;) {
    const size_t equals = text.find('=', start);
    if (equals == std::string::npos) break;
    const size_t lineStart = text.find_last_of("\r\n", equals);
    const size_t from = lineStart == std::string::npos || lineStart < start ? start : lineStart + 1;
    keys.push_back(text.substr(from, equals - from));
    start = equals + 1;
  }
  sections.push_back("missing");
  for (const std::string& section : sections) {
    for (const std::string& key : keys) {
      (void)ini.ReadString(section, key, "default");
      (void)ini.ReadInteger(section, key, -7);
    }
  }
  return 0;
}
