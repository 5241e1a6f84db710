// The notification-area icon against the real shell of a Wine virtual desktop.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <utility>
#include <vector>

#include "app/settime/TrayIcon.h"
#include "app/settime/Velmain.h"
#include "app/settime/tests/AppFixture.h"
#include "framework/controls/Application.h"
#include "framework/core/Stream.h"
#include "framework/win32/Dpi.h"
#include "framework/win32/Strings.h"

namespace {

// The colour bits of an icon, bottom-up BGRA as a 32-bit DIB holds them; empty without one.
std::vector<uint8_t> IconPixels(HICON icon) {
  ICONINFO info{};
  if (!icon || !GetIconInfo(icon, &info)) return {};
  BITMAP bm{};
  GetObjectW(info.hbmColor, sizeof bm, &bm);
  BITMAPINFOHEADER header{sizeof header, bm.bmWidth, bm.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<uint8_t> pixels(static_cast<size_t>(bm.bmWidth) * bm.bmHeight * 4);
  HDC screen = GetDC(nullptr);
  const int rows = GetDIBits(screen, info.hbmColor, 0, bm.bmHeight, pixels.data(), reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  if (rows != bm.bmHeight) pixels.clear();
  return pixels;
}

// The colour bits of the size x size image stored in a .ico file, read by hand from its
// directory; empty when the file has none.
std::vector<uint8_t> FilePixels(TIcon& icon, int size) {
  TMemoryStream file;
  icon.SaveToStream(file);
  const uint8_t* bytes = file.Memory();
  const int count = bytes[4] | bytes[5] << 8;
  for (int i = 0; i < count; ++i) {
    const uint8_t* e = bytes + 6 + 16 * i;
    if (e[0] != size) continue;
    uint32_t offset = 0;
    std::memcpy(&offset, e + 12, 4);
    const uint8_t* colour = bytes + offset + 40;
    return std::vector<uint8_t>(colour, colour + static_cast<size_t>(size) * size * 4);
  }
  return {};
}

class Tray : public AppFixture {
protected:
  void SetUp() override {
    icon = new TTrayIcon(velmain);
    icon->SetIcon(velmain->Icon());
  }
  void TearDown() override {
    delete icon;
    AppFixture::TearDown();
  }
  void Callback(UINT mouseMessage) {
    SendMessageW(icon->MessageWindow(), kTrayCallbackMessage, 0, static_cast<LPARAM>(mouseMessage));
  }
  static void PumpFor(DWORD milliseconds) {
    const DWORD end = GetTickCount() + milliseconds;
    while (static_cast<LONG>(end - GetTickCount()) > 0) {
      Application->ProcessMessages();
      Sleep(10);
    }
  }
  // Asks the shell directly, behind the component's back.
  bool ShellCall(DWORD message) {
    NOTIFYICONDATAW data{};
    data.cbSize = NOTIFYICONDATAW_V1_SIZE;
    data.hWnd = icon->MessageWindow();
    data.uFlags = message == NIM_ADD ? NIF_ICON : NIF_TIP;
    data.hIcon = velmain->Icon()->Handle();
    return Shell_NotifyIconW(message, &data) != FALSE;
  }
  bool ShellKnowsIcon() { return ShellCall(NIM_MODIFY); }

  TTrayIcon* icon = nullptr;
};

// The shell's own list is changed behind the component's back: a call the component should not
// make would show as the icon coming back or going away.
TEST_F(Tray, SettingActiveToItsValueLeavesTheShellAlone) {
  ASSERT_TRUE(ShellCall(NIM_ADD));
  icon->SetActive(false);
  EXPECT_TRUE(ShellKnowsIcon()) << "already inactive: nothing removed";
  ASSERT_TRUE(ShellCall(NIM_DELETE));

  icon->SetActive(true);
  EXPECT_TRUE(ShellKnowsIcon());
  ASSERT_TRUE(ShellCall(NIM_DELETE));
  icon->SetActive(true);
  EXPECT_FALSE(ShellKnowsIcon()) << "already active: nothing added";
  icon->RemoveIcon();
}

TEST_F(Tray, ChangesWhileInactiveReachTheShellOnlyWithTheNextAdd) {
  icon->SetToolTip("欢迎使用晴岚！");
  icon->SetIcon(velmain->Icon());
  EXPECT_FALSE(ShellKnowsIcon());
  EXPECT_EQ(icon->ToolTip(), "欢迎使用晴岚！");
  icon->SetActive(true);
  EXPECT_TRUE(ShellKnowsIcon());
  icon->SetActive(false);
  EXPECT_FALSE(ShellKnowsIcon());
}

TEST_F(Tray, ADoubleClickRaisesOnlyOnDblClickAndSingleClicksRaiseOnClickFromTheFirst) {
  int clicks = 0;
  int doubleClicks = 0;
  icon->OnClick = [&](TObject*) { ++clicks; };
  Callback(WM_LBUTTONDOWN);
  Callback(WM_LBUTTONUP);
  PumpFor(GetDoubleClickTime() + 300);
  EXPECT_EQ(clicks, 1) << "the first click after start-up counts";
  clicks = 0;

  icon->OnDblClick = [&](TObject* sender) {
    EXPECT_EQ(sender, icon);
    ++doubleClicks;
  };
  Callback(WM_LBUTTONDOWN);
  Callback(WM_LBUTTONUP);
  Callback(WM_LBUTTONDBLCLK);
  PumpFor(GetDoubleClickTime() + 300);
  EXPECT_EQ(doubleClicks, 1);
  EXPECT_EQ(clicks, 0);

  Callback(WM_LBUTTONDOWN);
  Callback(WM_LBUTTONUP);
  PumpFor(GetDoubleClickTime() + 300);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(doubleClicks, 1);
}

TEST_F(Tray, ARightClickWithoutAMenuStillRaisesOnRightClickAtTheCursor) {
  int calls = 0;
  icon->OnRightClick = [&](TObject*, TMouseButton button, TShiftState shift, int x, int y) {
    ++calls;
    POINT cursor{};
    GetCursorPos(&cursor);
    EXPECT_EQ(button, TMouseButton::mbRight);
    EXPECT_EQ(shift, 0u);
    EXPECT_EQ(x, cursor.x);
    EXPECT_EQ(y, cursor.y);
  };
  Callback(WM_RBUTTONUP);
  EXPECT_EQ(calls, 1);
}

TEST_F(Tray, HidingAndShowingTheMainWindowTouchesOnlyTheToolWindowBit) {
  HWND app = Application->Handle();
  const LONG_PTR before = GetWindowLongPtrW(app, GWL_EXSTYLE);
  icon->SetShowDesigning(false);
  EXPECT_FALSE(IsWindowVisible(velmain->Handle()));
  EXPECT_EQ(GetWindowLongPtrW(app, GWL_EXSTYLE), before | WS_EX_TOOLWINDOW);
  EXPECT_FALSE(IsWindowVisible(app)) << "no taskbar button while in the tray";
  icon->SetShowDesigning(true);
  EXPECT_TRUE(IsWindowVisible(velmain->Handle()));
  EXPECT_TRUE(IsWindowVisible(app)) << "the taskbar button is back";
  EXPECT_TRUE(GetWindowLongPtrW(velmain->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(GetWindowLongPtrW(app, GWL_EXSTYLE), before & ~static_cast<LONG_PTR>(WS_EX_TOOLWINDOW));
}

TEST_F(Tray, TheIconComesBackWhenTheTaskbarIsRecreated) {
  icon->SetActive(true);
  ASSERT_TRUE(ShellKnowsIcon());
  // What a restarted Explorer looks like to us: our icon is gone and the shell says so.
  ASSERT_TRUE(icon->RemoveIcon());
  ASSERT_FALSE(ShellKnowsIcon());
  SendMessageW(icon->MessageWindow(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  EXPECT_TRUE(ShellKnowsIcon());
  icon->SetActive(false);
  SendMessageW(icon->MessageWindow(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  EXPECT_FALSE(ShellKnowsIcon()) << "an inactive icon stays away";
}

TEST(TrayTip, CutsAtTheLimitWithoutSplittingACharacter) {
  std::string thirtyOne;
  for (int i = 0; i < 31; ++i) thirtyOne += "晴";
  const std::string ansi = Utf8ToCodePage(thirtyOne, 936);
  ASSERT_EQ(ansi.size(), 62u);
  EXPECT_EQ(CutAnsiTip(ansi, kTrayTipLimit), ansi);
  const std::string shifted = "a" + ansi;
  EXPECT_EQ(CutAnsiTip(shifted, kTrayTipLimit), shifted.substr(0, 61));
  EXPECT_EQ(CutAnsiTip(std::string(70, 'x'), kTrayTipLimit), std::string(62, 'x'));
}

}  // namespace

// Whatever the display scaling, the notification area and the caption get the image drawn for
// the system's small-icon size (24 px at 150 %) and Alt+Tab the one for the large size, pixel for
// pixel as the file holds them, rather than another size stretched by the system.
TEST_F(Tray, TheShellAndTheCaptionGetTheImagesDrawnForTheSystemsIconSizes) {
  const int smallSize = GetSystemMetrics(SM_CXSMICON);
  if (const char* scaled = std::getenv("BREVIN_SMALL_ICON_SIZE")) {
    ASSERT_EQ(smallSize, std::atoi(scaled)) << "the display scaling did not take";
  }
  const std::vector<uint8_t> smallImage = FilePixels(*velmain->Icon(), smallSize);
  ASSERT_FALSE(smallImage.empty()) << "the program's icon has no " << smallSize << " px image";
  EXPECT_TRUE(IconPixels(icon->ShellIcon()) == smallImage) << "tray, " << smallSize << " px";
  const auto windowIcon = [](WPARAM which) {
    return IconPixels(reinterpret_cast<HICON>(SendMessageW(velmain->Handle(), WM_GETICON, which, 0)));
  };
  EXPECT_TRUE(windowIcon(ICON_SMALL) == smallImage) << "caption, " << smallSize << " px";
  EXPECT_TRUE(windowIcon(ICON_BIG) == FilePixels(*velmain->Icon(), GetSystemMetrics(SM_CXICON)));
}

// The notification area follows the primary monitor's scale, which may change while the program
// runs: the shell then gets the image drawn for the new small-icon size.
TEST_F(Tray, AScaleChangeOfTheNotificationAreaGivesTheShellTheImageDrawnForItsNewIconSize) {
  const int dpi = WindowDpi(icon->MessageWindow()) * 3 / 2;
  const int size = SystemMetricForDpi(SM_CXSMICON, dpi);
  const std::vector<uint8_t> image = FilePixels(*velmain->Icon(), size);
  ASSERT_FALSE(image.empty()) << "the program's icon has no " << size << " px image";
  RECT suggested{0, 0, 0, 0};
  SendMessageW(icon->MessageWindow(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
  EXPECT_TRUE(IconPixels(icon->ShellIcon()) == image) << size << " px";
}

// The taskbar button is the application window's: at a new scale it shows the images drawn for
// that scale's icon sizes.
TEST_F(Tray, TheTaskbarButtonShowsTheImagesDrawnForTheIconSizesOfANewScale) {
  HWND window = Application->Handle();
  const int dpi = WindowDpi(window) * 3 / 2;
  RECT suggested{};
  GetWindowRect(window, &suggested);
  SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
  for (const auto& [which, metric] : {std::pair{ICON_SMALL, SM_CXSMICON}, std::pair{ICON_BIG, SM_CXICON}}) {
    const int size = SystemMetricForDpi(metric, dpi);
    const std::vector<uint8_t> image = FilePixels(*velmain->Icon(), size);
    ASSERT_FALSE(image.empty()) << "the program's icon has no " << size << " px image";
    EXPECT_TRUE(IconPixels(reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, which, 0))) == image) << size;
  }
}
