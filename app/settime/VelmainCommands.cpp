// Help, the contact link and the hover effects of the main window.
#include <windows.h>
#include <shellapi.h>

#include "app/settime/Velmain.h"
#include "framework/controls/Application.h"
#include "framework/resources/ResourceFile.h"
#include "framework/win32/Strings.h"
#include "framework/win32/SystemLibrary.h"

namespace {
constexpr const char* kHelpFileName = "Helpx.chm";
constexpr const char* kHelpTopic = "软件简介.htm";
constexpr UINT kHelpDisplayTopic = 0;

using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);

// The help viewer lives in hhctrl.ocx; loading it on first use keeps it out of start-up.
HtmlHelpFunction HtmlHelpEntry() {
  static const HtmlHelpFunction entry = [] {
    HMODULE module = LoadSystemLibrary(L"hhctrl.ocx");
    return module ? reinterpret_cast<HtmlHelpFunction>(reinterpret_cast<void*>(GetProcAddress(module, "HtmlHelpW")))
                  : nullptr;
  }();
  return entry;
}
}  // namespace

void Tvelmain::ShowHelp() {
  const std::wstring path = Utf8ToWide(PathNextToExecutable(kHelpFileName));
  const std::wstring topic = Utf8ToWide(kHelpTopic);
  HWND viewer = nullptr;
  if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
    if (HtmlHelpFunction htmlHelp = HtmlHelpEntry()) {
      viewer = htmlHelp(Application->Handle(), path.c_str(), kHelpDisplayTopic,
                        reinterpret_cast<DWORD_PTR>(topic.c_str()));
    }
  }
  if (!viewer) Application->MessageBox("帮助文件损坏！", Application->Title(), MB_OK);
}

void Tvelmain::BitBtn1Click(TObject*) { ShowHelp(); }
void Tvelmain::H1Click(TObject*) { ShowHelp(); }

// The link's caption is the address; the project has no public contact yet, so the layout keeps the
// link hidden and the About page shows the author line alone.
void Tvelmain::Label12Click(TObject*) {
  const std::wstring link = Utf8ToWide("mailto:" + Label12->Caption());
  ShellExecuteW(Handle(), nullptr, link.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void Tvelmain::Label12MouseMove(TObject*, TShiftState, int, int) {
  Label12->Font()->SetStyle(fsBold | fsUnderline);
  Label12->Font()->SetColor(clRed);
}

void Tvelmain::FormMouseMove(TObject*, TShiftState, int, int) {
  Label12->Font()->SetStyle(fsBold);
  Label12->Font()->SetColor(clBlue);
  BitBtn1->SetLayout(TButtonLayout::blGlyphLeft);
}

void Tvelmain::Panel3MouseMove(TObject*, TShiftState, int, int) {
  Label12->Font()->SetStyle(fsBold);
  Label12->Font()->SetColor(clBlue);
}

void Tvelmain::BitBtn1MouseMove(TObject*, TShiftState, int, int) { BitBtn1->SetLayout(TButtonLayout::blGlyphRight); }
