// The file side of the streams, portable build. Windows has its own (StreamFileWin32.cpp): C's
// files there take no UTF-8 names, and C++'s file streams bring the standard library's locale
// machinery along, most of a megabyte of the program.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

#include "framework/core/Exception.h"
#include "framework/core/Stream.h"

namespace {
struct TCloseFile {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using TFile = std::unique_ptr<std::FILE, TCloseFile>;
}  // namespace

void TMemoryStream::LoadFromFile(const std::string& path) {
  const TFile file(std::fopen(path.c_str(), "rb"));
  if (!file) throw EFOpenError(Format("Cannot open file \"%s\". %s", path.c_str(), std::strerror(errno)));
  std::vector<uint8_t> bytes;
  uint8_t chunk[1 << 16];
  while (const size_t n = std::fread(chunk, 1, sizeof chunk, file.get())) bytes.insert(bytes.end(), chunk, chunk + n);
  if (std::ferror(file.get())) throw EReadError("Stream read error");
  bytes_ = std::move(bytes);
  position_ = 0;
}

void TMemoryStream::SaveToFile(const std::string& path) const {
  TFile file(std::fopen(path.c_str(), "wb"));
  if (!file) throw EFCreateError(Format("Cannot create file \"%s\". %s", path.c_str(), std::strerror(errno)));
  const bool written = std::fwrite(bytes_.data(), 1, bytes_.size(), file.get()) == bytes_.size();
  if (!written || std::fclose(file.release()) != 0) throw EWriteError("Stream write error");
}

bool IsExistingFile(const std::string& path) {
  struct stat status {};
  return !path.empty() && stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}
