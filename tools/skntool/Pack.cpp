#include "tools/skntool/Pack.h"

#include <algorithm>

#include "framework/core/Exception.h"
#include "framework/core/Stream.h"
#include "skin/format/SkinRead.h"

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> ReadFile(const fs::path& path) {
  TMemoryStream stream;
  stream.LoadFromFile(path.string());
  return stream.Bytes();
}

constexpr const char* kDetailSuffix = "@2x.bmp";

bool IsDetail(const fs::path& path) {
  const std::string name = SkinLowerCase(path.filename().string());
  const std::string suffix = kDetailSuffix;
  return name.size() > suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

struct TFolderFiles {
  std::vector<fs::path> descriptions;
  std::vector<fs::path> bitmaps;
};

TFolderFiles ListFolder(const fs::path& folder, bool detail) {
  if (!fs::is_directory(folder)) {
    throw EInvalidOperation(Format("\"%s\" is not a folder", folder.string().c_str()));
  }
  TFolderFiles files;
  for (const fs::directory_entry& item : fs::directory_iterator(folder)) {
    if (!item.is_regular_file()) continue;
    const std::string extension = SkinLowerCase(item.path().extension().string());
    if (extension == ".ini") files.descriptions.push_back(item.path());
    if (extension == ".bmp" && IsDetail(item.path()) == detail) files.bitmaps.push_back(item.path());
  }
  return files;
}

// The bitmaps as entries by lower-cased name, each named by its file name less cut characters.
std::vector<TSkinEntry> BitmapEntries(std::vector<fs::path> bitmaps, size_t cut) {
  const auto byLowerName = [](const fs::path& a, const fs::path& b) {
    return SkinLowerCase(a.filename().string()) < SkinLowerCase(b.filename().string());
  };
  std::sort(bitmaps.begin(), bitmaps.end(), byLowerName);
  std::vector<TSkinEntry> entries;
  for (size_t i = 0; i < bitmaps.size(); ++i) {
    const std::string file = bitmaps[i].filename().string();
    if (i > 0 && !byLowerName(bitmaps[i - 1], bitmaps[i])) {
      throw EInvalidOperation(Format("\"%s\" and \"%s\" differ only in case",
                                     bitmaps[i - 1].filename().string().c_str(), file.c_str()));
    }
    std::vector<uint8_t> data = ReadFile(bitmaps[i]);
    if (data.size() < 2 || data[0] != 'B' || data[1] != 'M') {
      throw EInvalidOperation(Format("\"%s\" is not a Windows bitmap", file.c_str()));
    }
    entries.push_back({file.substr(0, file.size() - cut) + (cut ? ".bmp" : ""), std::move(data)});
  }
  return entries;
}

TSkinEntry Description(const fs::path& folder, const TFolderFiles& files) {
  if (files.descriptions.size() != 1) {
    throw EInvalidOperation("\"" + folder.string() + "\" must hold exactly one .ini description (found " +
                            std::to_string(files.descriptions.size()) + ")");
  }
  return {files.descriptions[0].filename().string(), ReadFile(files.descriptions[0])};
}

}  // namespace

std::vector<TSkinEntry> CollectSkinSources(const fs::path& folder) {
  const TFolderFiles files = ListFolder(folder, false);
  std::vector<TSkinEntry> entries = {Description(folder, files)};
  for (TSkinEntry& entry : BitmapEntries(files.bitmaps, 0)) entries.push_back(std::move(entry));
  return entries;
}

std::vector<TSkinEntry> CollectSkinDetail(const fs::path& folder) {
  const TFolderFiles files = ListFolder(folder, true);
  std::vector<TSkinEntry> entries = {Description(folder, files)};
  for (TSkinEntry& entry : BitmapEntries(files.bitmaps, std::string(kDetailSuffix).size())) {
    entries.push_back(std::move(entry));
  }
  return entries;
}
