#pragma once
// Display scale. Layouts, skins and font heights are written for 96 DPI; a window draws at the DPI
// of the monitor it is on. The per-monitor functions exist only on newer systems (Windows 10 1607
// and 8.1), so they are looked up at run time and older systems get the system DPI.
#include <windows.h>

#include "framework/core/DpiScale.h"

// The DPI the system's screen DC reports; 96 when it reports nothing usable.
int SystemDpi();
// The DPI of the monitor; the system DPI where monitors have none of their own.
int MonitorDpi(HMONITOR monitor);
// The DPI the window is drawn for: its monitor's for a per-monitor-aware process, else the system's.
int WindowDpi(HWND window);
// GetSystemMetrics at a DPI: the system's own answer where it has GetSystemMetricsForDpi, else
// the system-DPI metric scaled to dpi.
int SystemMetricForDpi(int index, int dpi);
// The system's caption, menu and message fonts and sizes at a DPI: the system's own answer where it
// has SystemParametersInfoForDpi, else its system-DPI answer with the font heights scaled to dpi.
[[nodiscard]] bool NonClientMetricsForDpi(NONCLIENTMETRICSW& metrics, int dpi);
// The outer rectangle around a client rectangle with the system's frame at a DPI: the system's own
// answer where it has AdjustWindowRectExForDpi, else the frame at the system DPI.
[[nodiscard]] bool AdjustWindowRectForDpi(RECT& rect, DWORD style, bool menu, DWORD exStyle, int dpi);
