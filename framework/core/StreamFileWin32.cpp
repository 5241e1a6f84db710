// The file side of the streams on Windows, in the system's own file calls: C++'s file streams (and
// std::filesystem's paths) would bring the standard library's locale and stream machinery into
// the program, most of a megabyte of its code.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/Exception.h"
#include "framework/core/Stream.h"
#include "framework/win32/Handles.h"

namespace {

std::wstring Wide(const std::string& text) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

std::string ErrorText(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                 nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  if (n == 0) return Format("System error %lu", error);
  const std::unique_ptr<wchar_t, decltype(&LocalFree)> owned(text, &LocalFree);
  std::wstring wide(text, n);
  while (!wide.empty() && (wide.back() == L'\n' || wide.back() == L'\r')) wide.pop_back();
  const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), size, nullptr, nullptr);
  return utf8;
}

UniqueFileHandle Open(const std::string& path, DWORD access, DWORD disposition) {
  return UniqueFileHandle(CreateFileW(Wide(path).c_str(), access, FILE_SHARE_READ, nullptr, disposition,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
}

}  // namespace

void TMemoryStream::LoadFromFile(const std::string& path) {
  const UniqueFileHandle file = Open(path, GENERIC_READ, OPEN_EXISTING);
  if (!file) throw EFOpenError(Format("Cannot open file \"%s\". %s", path.c_str(), ErrorText(GetLastError()).c_str()));
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > INT32_MAX) throw EReadError("Stream read error");
  std::vector<uint8_t> bytes(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  if (!bytes.empty() && (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
                         read != bytes.size()))
    throw EReadError("Stream read error");
  bytes_ = std::move(bytes);
  position_ = 0;
}

void TMemoryStream::SaveToFile(const std::string& path) const {
  const UniqueFileHandle file = Open(path, GENERIC_WRITE, CREATE_ALWAYS);
  if (!file)
    throw EFCreateError(Format("Cannot create file \"%s\". %s", path.c_str(), ErrorText(GetLastError()).c_str()));
  DWORD written = 0;
  if (!bytes_.empty() && (!WriteFile(file.get(), bytes_.data(), static_cast<DWORD>(bytes_.size()), &written, nullptr) ||
                          written != bytes_.size()))
    throw EWriteError("Stream write error");
}

bool IsExistingFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  return !path.empty() && attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}
