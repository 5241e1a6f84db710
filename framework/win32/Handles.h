#pragma once
// One small owner per release function: copying is deleted, moving hands the handle over.
#include <windows.h>

#include <utility>

// The DC-state guards belong with the owners: code that holds a DC needs both.
#include "framework/win32/DCState.h"

template <typename Handle, auto Release, auto Invalid = nullptr>
class UniqueHandle {
public:
  UniqueHandle() = default;
  explicit UniqueHandle(Handle handle) : handle_(handle) {}
  ~UniqueHandle() { reset(); }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, Handle(Invalid))) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(std::exchange(other.handle_, Handle(Invalid)));
    return *this;
  }

  Handle get() const { return handle_; }
  explicit operator bool() const { return handle_ != Handle(Invalid); }
  Handle release() { return std::exchange(handle_, Handle(Invalid)); }
  void reset(Handle handle = Handle(Invalid)) {
    if (handle_ != Handle(Invalid)) Release(handle_);
    handle_ = handle;
  }

private:
  Handle handle_ = Handle(Invalid);
};

namespace handles_detail {
inline void CloseKernelHandle(HANDLE h) { CloseHandle(h); }
inline void DeleteGdiObject(HGDIOBJ h) { DeleteObject(h); }
inline void DeleteMemoryDC(HDC h) { DeleteDC(h); }
inline void DestroyIconHandle(HICON h) { DestroyIcon(h); }
inline void DestroyMenuHandle(HMENU h) { DestroyMenu(h); }
inline void CloseRegistryKey(HKEY h) { RegCloseKey(h); }
inline void DestroyWindowHandle(HWND h) { DestroyWindow(h); }
}  // namespace handles_detail

using UniqueKernelHandle = UniqueHandle<HANDLE, handles_detail::CloseKernelHandle>;
// INVALID_HANDLE_VALUE is not a constant expression, so the invalid value is given as its integer.
using UniqueFileHandle = UniqueHandle<HANDLE, handles_detail::CloseKernelHandle, intptr_t{-1}>;
using UniqueBitmap = UniqueHandle<HBITMAP, handles_detail::DeleteGdiObject>;
using UniqueBrush = UniqueHandle<HBRUSH, handles_detail::DeleteGdiObject>;
using UniquePen = UniqueHandle<HPEN, handles_detail::DeleteGdiObject>;
using UniqueFont = UniqueHandle<HFONT, handles_detail::DeleteGdiObject>;
using UniqueRegion = UniqueHandle<HRGN, handles_detail::DeleteGdiObject>;
using UniquePalette = UniqueHandle<HPALETTE, handles_detail::DeleteGdiObject>;
using UniqueMemoryDC = UniqueHandle<HDC, handles_detail::DeleteMemoryDC>;
using UniqueIcon = UniqueHandle<HICON, handles_detail::DestroyIconHandle>;
using UniqueMenu = UniqueHandle<HMENU, handles_detail::DestroyMenuHandle>;
using UniqueRegistryKey = UniqueHandle<HKEY, handles_detail::CloseRegistryKey>;
using UniqueWindow = UniqueHandle<HWND, handles_detail::DestroyWindowHandle>;

// A window DC obtained with GetDC, released with ReleaseDC on the same window.
class WindowDC {
public:
  explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDC() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  HDC get() const { return dc_; }

private:
  HWND window_;
  HDC dc_;
};

// The DC of a whole window, frame included (GetWindowDC), released on the same window.
class WindowFrameDC {
public:
  explicit WindowFrameDC(HWND window) : window_(window), dc_(GetWindowDC(window)) {}
  ~WindowFrameDC() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  WindowFrameDC(const WindowFrameDC&) = delete;
  WindowFrameDC& operator=(const WindowFrameDC&) = delete;
  HDC get() const { return dc_; }

private:
  HWND window_;
  HDC dc_;
};
