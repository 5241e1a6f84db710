// What every Windows-side test relies on from the Wine run around it.
#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>
#include <shellapi.h>

#include <iterator>
#include <memory>
#include <string>
#include <type_traits>

namespace {

struct WindowDestroyer {
  void operator()(HWND window) const { DestroyWindow(window); }
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroyer>;

struct FontDeleter {
  void operator()(HFONT font) const { DeleteObject(font); }
};
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter>;

class ScreenDC {
public:
  ScreenDC() : dc_(GetDC(nullptr)) {}
  ~ScreenDC() {
    if (dc_) ReleaseDC(nullptr, dc_);
  }
  ScreenDC(const ScreenDC&) = delete;
  ScreenDC& operator=(const ScreenDC&) = delete;
  HDC get() const { return dc_; }

private:
  HDC dc_;
};

constexpr wchar_t kClassName[] = L"BrevinPlatformCheck";

UniqueWindow CreateHiddenWindow() {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kClassName;
  RegisterClassW(&windowClass);  // a second registration fails harmlessly: the class is already there
  return UniqueWindow(CreateWindowExW(0, kClassName, L"platform check", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                      nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
}

TEST(WineDesktop, HasTheConfiguredSizeAndATaskbarWindow) {
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
  EXPECT_NE(FindWindowW(L"Shell_TrayWnd", nullptr), nullptr);
  EXPECT_NE(FindWindowA("shell_traywnd", nullptr), nullptr) << "class names are matched without case";
}

TEST(WineDesktop, NotificationAreaAcceptsAndRemovesAnIcon) {
  UniqueWindow owner = CreateHiddenWindow();
  ASSERT_TRUE(owner);
  NOTIFYICONDATAW icon{};
  icon.cbSize = sizeof(icon);
  icon.hWnd = owner.get();
  icon.uID = 1;
  icon.uFlags = NIF_ICON | NIF_TIP | NIF_MESSAGE;
  icon.uCallbackMessage = WM_APP;
  icon.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
  wcscpy_s(icon.szTip, L"晴岚");
  ASSERT_TRUE(Shell_NotifyIconW(NIM_ADD, &icon));
  EXPECT_TRUE(Shell_NotifyIconW(NIM_MODIFY, &icon));
  EXPECT_TRUE(Shell_NotifyIconW(NIM_DELETE, &icon));
  EXPECT_FALSE(Shell_NotifyIconW(NIM_DELETE, &icon)) << "the icon is gone after the first delete";
}

TEST(WineDesktop, WindowsOfOneProgramFindEachOtherByCaption) {
  UniqueWindow window = CreateHiddenWindow();
  ASSERT_TRUE(window);
  EXPECT_EQ(FindWindowW(kClassName, L"platform check"), window.get());
  ShowWindow(window.get(), SW_SHOW);
  EXPECT_TRUE(IsWindowVisible(window.get()));
  HWND raw = window.get();
  window.reset();
  EXPECT_FALSE(IsWindow(raw));
}

// The Windows font names the program asks for are replaced by a font that has Chinese glyphs.
TEST(WineFonts, ChineseFamiliesHaveChineseGlyphs) {
  ScreenDC screen;
  ASSERT_NE(screen.get(), nullptr);
  const wchar_t* families[] = {L"宋体", L"黑体", L"SimSun", L"MS Shell Dlg", L"Tahoma"};
  for (size_t f = 0; f < std::size(families); ++f) {
    UniqueFont font(CreateFontW(-16, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, families[f]));
    ASSERT_TRUE(font);
    HGDIOBJ previous = SelectObject(screen.get(), font.get());
    const std::wstring text = L"晴岚锁屏秒";
    WORD glyphs[8] = {};
    const DWORD converted = GetGlyphIndicesW(screen.get(), text.c_str(), static_cast<int>(text.size()), glyphs,
                               GGI_MARK_NONEXISTING_GLYPHS);
    SelectObject(screen.get(), previous);
    ASSERT_EQ(converted, text.size());
    for (size_t i = 0; i < text.size(); ++i) {
      EXPECT_NE(glyphs[i], 0xFFFF) << "no glyph for character " << i << " in family #" << f;
    }
  }
}

// Without Marlett the caption buttons of unskinned windows show letters instead of their symbols.
TEST(WineFonts, CaptionButtonFontIsInstalled) {
  ScreenDC screen;
  ASSERT_NE(screen.get(), nullptr);
  UniqueFont font(CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SYMBOL_CHARSET, OUT_DEFAULT_PRECIS,
                              CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, L"Marlett"));
  ASSERT_TRUE(font);
  HGDIOBJ previous = SelectObject(screen.get(), font.get());
  wchar_t face[LF_FACESIZE] = {};
  GetTextFaceW(screen.get(), LF_FACESIZE, face);
  SelectObject(screen.get(), previous);
  EXPECT_STREQ(face, L"Marlett");
}

// The program's users run a Chinese Windows: ANSI code page 936 and a 24-hour long time format.
TEST(WineLocale, IsSimplifiedChinese) {
  EXPECT_EQ(GetACP(), 936u);
  EXPECT_EQ(GetUserDefaultLCID(), MAKELCID(MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), SORT_DEFAULT));
  SYSTEMTIME evening{};
  evening.wYear = 2024;
  evening.wMonth = 3;
  evening.wDay = 1;
  evening.wHour = 22;
  evening.wMinute = 5;
  evening.wSecond = 9;
  wchar_t text[64] = {};
  ASSERT_GT(GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &evening, nullptr, text, static_cast<int>(std::size(text))), 0);
  EXPECT_STREQ(text, L"22:05:09");
}

TEST(WineSound, AWaveOutputDeviceExists) { EXPECT_GT(waveOutGetNumDevs(), 0u); }

}  // namespace
