#pragma once
// A read-only stream over a module resource's data. The bytes stay where the loader mapped them
// with the module; the stream only points at them, so it must not outlive the module.
#include <windows.h>

#include <string>

#include "framework/core/Stream.h"

class TResourceStream : public TReadOnlyMemoryStream {
public:
  // name and type are texts (UTF-8); the lookup of named resources is case-insensitive.
  // Raises EResNotFound("Resource <name> not found") with the name as passed.
  TResourceStream(HMODULE instance, const std::string& name, const std::string& type);

private:
  struct View {
    const void* data;
    int64_t size;
  };
  explicit TResourceStream(View view) : TReadOnlyMemoryStream(view.data, view.size) {}
  static View Locate(HMODULE instance, const std::string& name, const std::string& type);
};
