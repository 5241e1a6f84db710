#include "framework/resources/ResourceStream.h"

#include "framework/core/Exception.h"
#include "framework/win32/Strings.h"

TResourceStream::TResourceStream(HMODULE instance, const std::string& name, const std::string& type)
    : TResourceStream(Locate(instance, name, type)) {}

TResourceStream::View TResourceStream::Locate(HMODULE instance, const std::string& name, const std::string& type) {
  // FindResourceW upper-cases named look-ups itself, so "skn" finds "SKN".
  HRSRC info = FindResourceW(instance, Utf8ToWide(name).c_str(), Utf8ToWide(type).c_str());
  HGLOBAL loaded = info ? LoadResource(instance, info) : nullptr;
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) throw EResNotFound(Format("Resource %s not found", name.c_str()));
  return {data, static_cast<int64_t>(SizeofResource(instance, info))};
}
