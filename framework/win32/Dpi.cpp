#include "framework/win32/Dpi.h"

#include <initializer_list>

#include "framework/win32/SystemLibrary.h"

namespace {

using dpi_scale_detail::MulDivRounded;
using dpi_scale_detail::Usable;

template <typename Function>
Function Lookup(HMODULE module, const char* name) {
  if (!module) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// user32 is always loaded; shcore is loaded on demand.
HMODULE User32() { return GetModuleHandleW(L"user32.dll"); }

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
using SystemParametersInfoForDpiFn = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);

struct DpiFunctions {
  GetDpiForWindowFn forWindow = Lookup<GetDpiForWindowFn>(User32(), "GetDpiForWindow");
  GetSystemMetricsForDpiFn metrics =
      Lookup<GetSystemMetricsForDpiFn>(User32(), "GetSystemMetricsForDpi");
  GetDpiForMonitorFn forMonitor = Lookup<GetDpiForMonitorFn>(LoadSystemLibrary(L"shcore.dll"), "GetDpiForMonitor");
  SystemParametersInfoForDpiFn parameters =
      Lookup<SystemParametersInfoForDpiFn>(User32(), "SystemParametersInfoForDpi");
};

const DpiFunctions& Functions() {
  static const DpiFunctions functions;
  return functions;
}

}  // namespace

int SystemDpi() {
  HDC screen = GetDC(nullptr);
  if (!screen) return kDesignDpi;
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return Usable(dpi);
}

int MonitorDpi(HMONITOR monitor) {
  UINT x = 0, y = 0;
  // MDT_EFFECTIVE_DPI (0): the scale the user chose for that monitor.
  if (monitor && Functions().forMonitor && SUCCEEDED(Functions().forMonitor(monitor, 0, &x, &y)))
    return Usable(static_cast<int>(y));
  return SystemDpi();
}

int WindowDpi(HWND window) {
  if (window && Functions().forWindow) {
    if (const UINT dpi = Functions().forWindow(window)) return static_cast<int>(dpi);
  }
  if (window) return MonitorDpi(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST));
  return SystemDpi();
}

int SystemMetricForDpi(int index, int dpi) {
  if (Functions().metrics) return Functions().metrics(index, static_cast<UINT>(Usable(dpi)));
  return MulDivRounded(GetSystemMetrics(index), Usable(dpi), SystemDpi());
}

bool NonClientMetricsForDpi(NONCLIENTMETRICSW& metrics, int dpi) {
  metrics.cbSize = sizeof(metrics);
  if (Functions().parameters &&
      Functions().parameters(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, static_cast<UINT>(Usable(dpi))))
    return true;
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return false;
  const int system = SystemDpi();
  for (LOGFONTW* font : {&metrics.lfCaptionFont, &metrics.lfSmCaptionFont, &metrics.lfMenuFont, &metrics.lfStatusFont,
                         &metrics.lfMessageFont})
    font->lfHeight = MulDivRounded(font->lfHeight, Usable(dpi), system);
  return true;
}

bool AdjustWindowRectForDpi(RECT& rect, DWORD style, bool menu, DWORD exStyle, int dpi) {
  using AdjustFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
  // user32 is always loaded; Windows 10 1607 and later have the function.
  static const auto adjust = reinterpret_cast<AdjustFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
  if (adjust) return adjust(&rect, style, menu, exStyle, static_cast<UINT>(Usable(dpi)));
  return AdjustWindowRectEx(&rect, style, menu, exStyle);
}
