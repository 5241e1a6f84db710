// Layout text in, a parsed tree or a clean EParserError out; whatever parses must write out and
// read back to the same text. Runs on single files as an ordinary libFuzzer program.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "framework/layout/Layout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  try {
    const TLayoutObject tree = ParseLayout(text);
    const std::string written = WriteLayout(tree);
    if (WriteLayout(ParseLayout(written)) != written) std::abort();
  } catch (const EParserError&) {
  }
  return 0;
}
