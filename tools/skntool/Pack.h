#pragma once
#include <filesystem>
#include <vector>

#include "skin/format/SkinWrite.h"

// The entries of a skin source folder: its one ".ini" file first (the reader takes the first name
// containing ".ini" as the description), then its ".bmp" files ordered by lower-cased name, so the
// same folder always packs to the same bytes. Raises EInvalidOperation when the folder has no or
// several descriptions, two files whose names differ only in case, or a ".bmp" that is not a BMP.
// Pictures drawn at 2x ("NAME@2x.bmp") are left out: they are CollectSkinDetail's.
std::vector<TSkinEntry> CollectSkinSources(const std::filesystem::path& folder);
// The description again, then the folder's "NAME@2x.bmp" files by lower-cased name, each named as
// the picture it stands in for.
std::vector<TSkinEntry> CollectSkinDetail(const std::filesystem::path& folder);
// The skin file of a folder: its description and pictures, then their 2x pictures when it has any.
inline std::vector<uint8_t> PackSkinFolder(const std::filesystem::path& folder) {
  return BuildSkinFile(CollectSkinSources(folder), CollectSkinDetail(folder));
}
