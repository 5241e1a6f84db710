#include "framework/resources/ResourceFile.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "framework/core/Exception.h"
#include "framework/resources/ResourceFileWriting.h"
#include "framework/resources/ResourceStream.h"
#include "framework/win32/Handles.h"
#include "framework/win32/Strings.h"

BOOL WriteFileChunk(HANDLE file, const void* data, DWORD count, DWORD* written) {
  return WriteFile(file, data, count, written, nullptr);
}

void WriteBytesToNewFile(const std::string& path, const uint8_t* data, size_t size, FileWriteFunction write) {
  const std::wstring widePath = Utf8ToWide(path);
  const auto createError = [&path](DWORD error) {
    return EFCreateError(Format("Cannot create file \"%s\". %s", path.c_str(), SystemErrorMessage(error).c_str()));
  };
  // Windows refuses to open a read-only file for writing, but Wine running as root does not (it
  // maps the attribute onto Unix permissions, which root ignores): check the attribute here too.
  const DWORD attributes = GetFileAttributesW(widePath.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
    throw createError(ERROR_ACCESS_DENIED);
  UniqueFileHandle file(
      CreateFileW(widePath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) throw createError(GetLastError());

  // Large chunks: one call per chunk straight from the mapped resource, nothing copied.
  constexpr size_t kChunk = size_t{1} << 24;
  size_t done = 0;
  while (done < size) {
    const DWORD count = static_cast<DWORD>(std::min(size - done, kChunk));
    DWORD written = 0;
    const BOOL ok = write(file.get(), data + done, count, &written);
    if (!ok || written == 0) {
      const DWORD error = ok ? static_cast<DWORD>(ERROR_WRITE_FAULT) : GetLastError();
      // A truncated copy would pass for the real file with its next user: remove it.
      file.reset();
      DeleteFileW(widePath.c_str());
      throw EWriteError(Format("Cannot write file \"%s\". %s", path.c_str(), SystemErrorMessage(error).c_str()));
    }
    done += written;
  }
}

void WriteResourceToFile(const std::string& name, const std::string& type, const std::string& path) {
  const TResourceStream stream(GetModuleHandleW(nullptr), name, type);
  WriteBytesToNewFile(path, stream.Memory(), static_cast<size_t>(stream.Size()));
}

std::string ExecutableDirectory() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) throw EInvalidOperation("Cannot find the program's path. " + SystemErrorMessage(GetLastError()));
    if (n < buffer.size()) {
      std::wstring path(buffer.data(), n);
      return WideToUtf8(path.substr(0, path.find_last_of(L"\\/") + 1));
    }
    buffer.resize(buffer.size() * 2);
  }
}

std::string PathNextToExecutable(const std::string& fileName) { return ExecutableDirectory() + fileName; }

std::string ExtractResourceNextToExecutable(const std::string& name, const std::string& type,
                                            const std::string& fileName) {
  const std::string path = PathNextToExecutable(fileName);
  DeleteFileIfExists(path);
  WriteResourceToFile(name, type, path);
  return path;
}

void DeleteFileIfExists(const std::string& path) {
  // A file that cannot be deleted is either already gone or held by another program; the next
  // write of it reports the latter, so there is nothing useful to say here.
  static_cast<void>(DeleteFileW(Utf8ToWide(path).c_str()));
}
