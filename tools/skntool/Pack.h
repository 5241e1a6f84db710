#pragma once
#include <filesystem>
#include <vector>

#include "skin/format/SkinWrite.h"

// The entries of a skin source folder: its one ".ini" file first (the reader takes the first name
// containing ".ini" as the description), then its ".bmp" files ordered by lower-cased name, so the
// same folder always packs to the same bytes. Raises EInvalidOperation when the folder has no or
// several descriptions, two files whose names differ only in case, or a ".bmp" that is not a BMP.
std::vector<TSkinEntry> CollectSkinSources(const std::filesystem::path& folder);
