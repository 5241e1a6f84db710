#include "skin/win/controls/SkinDateTime.h"

#include <commctrl.h>

#include "framework/win32/Dpi.h"
#include "skin/win/controls/SkinFieldFrame.h"

bool TSkinDateTime::Dressable() const {
  wchar_t name[32]{};
  GetClassNameW(Handle(), name, 32);
  return lstrcmpiW(name, DATETIMEPICK_CLASSW) == 0 && (WindowStyle() & DTS_UPDOWN) == 0;
}

bool TSkinDateTime::DroppedDown() const {
  // Some pickers keep their calendar window while it is closed, hidden.
  const auto calendar = reinterpret_cast<HWND>(SendMessageW(Handle(), DTM_GETMONTHCAL, 0, 0));
  return calendar && IsWindowVisible(calendar);
}

TRect TSkinDateTime::FieldRect(const TRect&) const {
  RECT client{};
  GetClientRect(Handle(), &client);
  const POINT origin = ClientOriginInWindow(Handle());
  const TRect button = ButtonHitRect();
  return {origin.x, origin.y, origin.x + button.Left, origin.y + client.bottom};
}

TRect TSkinDateTime::ButtonHitRect() const {
  RECT client{};
  GetClientRect(Handle(), &client);
  return {client.right - SystemMetricForDpi(SM_CXVSCROLL, Dpi()), 0, client.right, client.bottom};
}
