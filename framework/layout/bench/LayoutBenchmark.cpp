// Reading a window layout the size of the main window's: about 150 components and 400 KB of
// embedded pictures in hexadecimal.
#include <benchmark/benchmark.h>

#include <string>

#include "framework/layout/Layout.h"

namespace {

std::string MainWindowSizedLayout() {
  std::string text = "object velmain: Tvelmain\n  Caption = '晴岚 V1.2'\n  ClientWidth = 486\n";
  for (int i = 0; i < 150; ++i) {
    text += "  object Label" + std::to_string(i) + ": TLabel\n    Left = " + std::to_string(i) +
            "\n    Top = 12\n    Caption = '将在' + #13 + '播放眼保健操！'\n    Font.Style = [fsBold, fsUnderline]\n"
            "    OnClick = Label1Click\n  end\n";
  }
  for (int p = 0; p < 4; ++p) {
    text += "  object Image" + std::to_string(p) + ": TImage\n    Picture.Data = {";
    for (int i = 0; i < 50000; ++i) {
      if (i % 32 == 0) text += "\n      ";
      static const char kHex[] = "0123456789ABCDEF";
      text += kHex[(i * 7) & 15];
      text += kHex[(i * 13) & 15];
    }
    text += "}\n  end\n";
  }
  return text + "end\n";
}

void BM_ParseMainWindowLayout(benchmark::State& state) {
  const std::string text = MainWindowSizedLayout();
  for (auto _ : state) benchmark::DoNotOptimize(ParseLayout(text));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_ParseMainWindowLayout)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
