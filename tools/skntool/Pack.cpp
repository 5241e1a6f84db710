#include "tools/skntool/Pack.h"

#include <algorithm>

#include "framework/core/Exception.h"
#include "framework/core/Stream.h"
#include "skin/format/SkinRead.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> ReadFile(const fs::path& path) {
  TMemoryStream stream;
  stream.LoadFromFile(path);
  return stream.Bytes();
}

}  // namespace

std::vector<TSkinEntry> CollectSkinSources(const fs::path& folder) {
  if (!fs::is_directory(folder)) {
    throw EInvalidOperation(Format("\"%s\" is not a folder", folder.string().c_str()));
  }
  std::vector<fs::path> descriptions;
  std::vector<fs::path> bitmaps;
  for (const fs::directory_entry& item : fs::directory_iterator(folder)) {
    if (!item.is_regular_file()) continue;
    const std::string extension = SkinLowerCase(item.path().extension().string());
    if (extension == ".ini") descriptions.push_back(item.path());
    if (extension == ".bmp") bitmaps.push_back(item.path());
  }
  if (descriptions.size() != 1) {
    throw EInvalidOperation("\"" + folder.string() + "\" must hold exactly one .ini description (found " +
                            std::to_string(descriptions.size()) + ")");
  }
  const auto byLowerName = [](const fs::path& a, const fs::path& b) {
    return SkinLowerCase(a.filename().string()) < SkinLowerCase(b.filename().string());
  };
  std::sort(bitmaps.begin(), bitmaps.end(), byLowerName);

  std::vector<TSkinEntry> entries;
  entries.push_back({descriptions[0].filename().string(), ReadFile(descriptions[0])});
  for (size_t i = 0; i < bitmaps.size(); ++i) {
    const std::string name = bitmaps[i].filename().string();
    if (i > 0 && !byLowerName(bitmaps[i - 1], bitmaps[i])) {
      throw EInvalidOperation(Format("\"%s\" and \"%s\" differ only in case",
                                     bitmaps[i - 1].filename().string().c_str(), name.c_str()));
    }
    std::vector<uint8_t> data = ReadFile(bitmaps[i]);
    if (data.size() < 2 || data[0] != 'B' || data[1] != 'M') {
      throw EInvalidOperation(Format("\"%s\" is not a Windows bitmap", name.c_str()));
    }
    entries.push_back({name, std::move(data)});
  }
  return entries;
}
