// The main window's pages and commands on the real windows: the About page's movie file, help,
// the tray clicks and the hover effects.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "app/settime/TrayIcon.h"
#include "app/settime/Velmain.h"
#include "app/settime/tests/AppFixture.h"
#include "framework/controls/Application.h"
#include "framework/controls/OleCtrls.h"
#include "framework/controls/tests/RealInput.h"
#include "framework/resources/ResourceFile.h"
#include "framework/resources/ResourceStream.h"
#include "framework/win32/Strings.h"
#include "reminders/eye/Doeye.h"
#include "reminders/eye2/Doeye2.h"

namespace {

std::filesystem::path U8(const std::string& path) { return std::filesystem::u8path(path); }

std::string FileText(const std::string& path) {
  std::ifstream in(U8(path), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(U8(path), std::ios::binary) << text;
}

std::string WindowText(HWND window) {
  wchar_t text[512] = {};
  GetWindowTextW(window, text, 512);
  return WideToUtf8(text);
}

std::string ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return WideToUtf8(name);
}

// Visible top-level windows of this thread with the given class.
std::vector<HWND> ThreadWindows(const std::string& className) {
  struct Search {
    std::string className;
    std::vector<HWND> found;
  } search{className, {}};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM data) {
        auto* s = reinterpret_cast<Search*>(data);
        if (IsWindowVisible(window) && ClassOf(window) == s->className) s->found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Watches for message boxes while a command runs: each one is read and closed with OK.
class MessageBoxWatch {
public:
  struct Box {
    std::string caption;
    std::string text;
  };
  MessageBoxWatch() {
    current_ = this;
    timer_ = SetTimer(nullptr, 0, 50, Poll);
  }
  ~MessageBoxWatch() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  MessageBoxWatch(const MessageBoxWatch&) = delete;
  MessageBoxWatch& operator=(const MessageBoxWatch&) = delete;
  const std::vector<Box>& Boxes() const { return boxes_; }

private:
  static void CALLBACK Poll(HWND, UINT, UINT_PTR, DWORD) {
    if (!current_) return;
    for (HWND box : ThreadWindows("#32770")) {
      Box seen{WindowText(box), ""};
      EnumChildWindows(
          box,
          [](HWND child, LPARAM data) {
            auto* text = reinterpret_cast<std::string*>(data);
            if (ClassOf(child) == "Static" && text->empty()) *text = WindowText(child);
            return TRUE;
          },
          reinterpret_cast<LPARAM>(&seen.text));
      current_->boxes_.push_back(seen);
      PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
  }
  static MessageBoxWatch* current_;
  UINT_PTR timer_ = 0;
  std::vector<Box> boxes_;
};
MessageBoxWatch* MessageBoxWatch::current_ = nullptr;

class Pages : public AppFixture {
protected:
  void SetUp() override {
    velmain->S1Click(nullptr);
    Application->ProcessMessages();
  }
  void TearDown() override {
    Application->OnException = [](const std::exception& error) { ADD_FAILURE() << "unhandled: " << error.what(); };
    velmain->S1Click(nullptr);
    AppFixture::TearDown();
  }

  static std::string MoviePath() { return PathNextToExecutable("tarno.vel"); }
  static bool MovieExists() { return std::filesystem::exists(U8(MoviePath())); }
  static std::string MovieResource() {
    TResourceStream resource(GetModuleHandleW(nullptr), "flash", "swf3");
    return std::string(reinterpret_cast<const char*>(resource.Memory()), static_cast<size_t>(resource.Size()));
  }
  // A click on the page's tab, as the user makes it.
  static void ClickTab(int index) {
    HWND tabs = velmain->PageControl1->Handle();
    RECT r{};
    ASSERT_TRUE(SendMessageW(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r)));
    const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(tabs, WM_LBUTTONUP, 0, at);
    Application->ProcessMessages();
  }
  static void HideInTray() {
    SendMessageW(velmain->Handle(), WM_CLOSE, 0, 0);
    Application->ProcessMessages();
    ASSERT_FALSE(IsWindowVisible(velmain->Handle()));
  }
  static void MouseMove(HWND window, int x, int y) {
    SendMessageW(window, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
  }
};

constexpr int kSettingsTab = 0;
constexpr int kTutorialTab = 1;
constexpr int kAboutTab = 2;

TEST_F(Pages, EachPageShowsItsImageOnlyWhileActive) {
  ClickTab(kTutorialTab);
  EXPECT_EQ(velmain->PageControl1->ActivePage(), velmain->TabSheet2);
  EXPECT_EQ(velmain->TabSheet1->ImageIndex(), 29);
  EXPECT_EQ(velmain->TabSheet2->ImageIndex(), 2);
  EXPECT_EQ(velmain->TabSheet4->ImageIndex(), 27);
  ClickTab(kAboutTab);
  EXPECT_EQ(velmain->TabSheet2->ImageIndex(), 1);
  EXPECT_EQ(velmain->TabSheet4->ImageIndex(), 26);
  ClickTab(kSettingsTab);
  EXPECT_EQ(velmain->TabSheet1->ImageIndex(), 28);
  EXPECT_EQ(velmain->TabSheet4->ImageIndex(), 27);
}

TEST_F(Pages, TheMovieFileExistsExactlyWhileAboutIsActiveAndIsWrittenAfreshEachTime) {
  WriteText(MoviePath(), "stale");
  ClickTab(kAboutTab);
  EXPECT_EQ(FileText(MoviePath()), MovieResource());
  auto* player = dynamic_cast<TActiveXControl*>(velmain->FindComponent("ShockwaveFlash1"));
  ASSERT_NE(player, nullptr);
  EXPECT_EQ(player->Visible(), player->ControlAvailable()) << "an empty movie area must not hide the picture";
  ClickTab(kTutorialTab);
  EXPECT_FALSE(MovieExists());
  WriteText(MoviePath(), "left over");
  ClickTab(kAboutTab);
  EXPECT_EQ(FileText(MoviePath()), MovieResource()) << "the second visit writes the movie again";
  ClickTab(kSettingsTab);
  EXPECT_FALSE(MovieExists());
}

TEST_F(Pages, TheAboutCommandFromTheTrayShowsAboutAndOnlyShowsTheWindowWhenAboutIsActive) {
  HideInTray();
  velmain->A1Click(nullptr);
  EXPECT_TRUE(IsWindowVisible(velmain->Handle()));
  EXPECT_FALSE(TrayIcon1->Active());
  EXPECT_EQ(velmain->PageControl1->ActivePage(), velmain->TabSheet4);
  EXPECT_EQ(FileText(MoviePath()), MovieResource());

  // Hiding keeps the page and its movie; the command then shows the window without a new movie.
  HideInTray();
  EXPECT_TRUE(MovieExists());
  WriteText(MoviePath(), "marker");
  velmain->A1Click(nullptr);
  EXPECT_TRUE(IsWindowVisible(velmain->Handle()));
  EXPECT_EQ(FileText(MoviePath()), "marker");
  velmain->S1Click(nullptr);
  EXPECT_FALSE(MovieExists());
}

TEST_F(Pages, AMovieThatCannotBeWrittenIsReportedAndThePageChangeCompletes) {
  ClickTab(kTutorialTab);
  DeleteFileIfExists(MoviePath());
  std::filesystem::create_directory(U8(MoviePath()));
  std::vector<std::string> errors;
  Application->OnException = [&](const std::exception& error) { errors.push_back(error.what()); };
  ClickTab(kAboutTab);
  const bool onAbout = velmain->PageControl1->ActivePage() == velmain->TabSheet4;
  const int tutorialImage = velmain->TabSheet2->ImageIndex();
  ClickTab(kSettingsTab);
  std::filesystem::remove(U8(MoviePath()));
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0].rfind("Cannot create file \"" + MoviePath() + "\".", 0), 0u) << errors[0];
  EXPECT_TRUE(onAbout);
  EXPECT_EQ(tutorialImage, 1) << "the page that was left still ran its hide step";
}

TEST_F(Pages, TrayClickAndDoubleClickBothActAsTheSettingsCommand) {
  // The double click first: the icon ignores the very first single click after it is made.
  for (std::vector<UINT> clicks : {std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP},
                                   std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP}}) {
    ClickTab(kTutorialTab);
    HideInTray();
    ASSERT_TRUE(TrayIcon1->Active());
    for (UINT message : clicks) SendMessageW(TrayIcon1->MessageWindow(), kTrayCallbackMessage, 0, message);
    const DWORD end = GetTickCount() + GetDoubleClickTime() + 300;
    while (static_cast<LONG>(end - GetTickCount()) > 0) {
      Application->ProcessMessages();
      Sleep(10);
    }
    EXPECT_TRUE(IsWindowVisible(velmain->Handle())) << clicks.size() << " mouse messages";
    EXPECT_FALSE(TrayIcon1->Active());
    EXPECT_EQ(velmain->PageControl1->ActivePage(), velmain->TabSheet1);
  }
}

TEST_F(Pages, TheAboutPageOffersNoPlaceholderAddressAndTheHelpButtonAnswersTheMouse) {
  ClickTab(kAboutTab);
  TLabel* link = velmain->Label12;
  // Without a real contact of the project the page shows the author line alone: nothing a user
  // could write to in vain, and nothing under the pointer where the link would be.
  TWinControl& panel = *link->Parent();
  for (int i = 0; i < panel.ControlCount(); ++i) {
    const TControl& shown = *panel.Controls(i);
    EXPECT_TRUE(!shown.Visible() || shown.Caption().find('@') == std::string::npos) << shown.Name();
  }
  EXPECT_FALSE(link->Visible());
  MouseMove(panel.Handle(), link->Left() + 3, link->Top() + 3);
  EXPECT_EQ(link->Font()->Style(), fsBold);
  EXPECT_EQ(link->Font()->Color(), clBlue);

  MouseMove(velmain->BitBtn1->Handle(), 5, 5);
  EXPECT_EQ(velmain->BitBtn1->Layout(), TButtonLayout::blGlyphRight);
  link->Font()->SetStyle(fsBold | fsUnderline);
  MouseMove(velmain->Handle(), 1, 1);
  EXPECT_EQ(velmain->BitBtn1->Layout(), TButtonLayout::blGlyphLeft);
  EXPECT_EQ(link->Font()->Style(), fsBold);
  EXPECT_EQ(link->Font()->Color(), clBlue);
}

// Every visible control inside its parent's client area and every label's text inside the label,
// measured with the font the program gets: what the user would see cut off, by name.
void CollectClipped(const TWinControl& parent, std::vector<std::string>& clipped) {
  const TRect client = parent.ClientRect();
  for (int i = 0; i < parent.ControlCount(); ++i) {
    TControl* c = parent.Controls(i);
    if (!c->Visible()) continue;
    const TRect r = c->BoundsRect();
    if (r.Left < client.Left || r.Top < client.Top || r.Right > client.Right || r.Bottom > client.Bottom)
      clipped.push_back(c->Name() + " reaches " + std::to_string(r.Right) + "," + std::to_string(r.Bottom) + " of " +
                        parent.Name() + " " + std::to_string(client.Right) + "," + std::to_string(client.Bottom));
    if (auto* label = dynamic_cast<TLabel*>(c); label && !label->Caption().empty()) {
      HDC screen = GetDC(nullptr);
      HGDIOBJ old = SelectObject(screen, label->Font()->Handle());
      RECT text{0, 0, label->Width(), 0};
      const std::wstring caption = Utf8ToWide(label->Caption());
      DrawTextW(screen, caption.c_str(), -1, &text, DT_CALCRECT | DT_EXPANDTABS | (label->WordWrap() ? DT_WORDBREAK : 0));
      SelectObject(screen, old);
      ReleaseDC(nullptr, screen);
      if (text.bottom > label->Height() || text.right > label->Width())
        clipped.push_back(label->Name() + " text " + std::to_string(text.right) + "x" + std::to_string(text.bottom) +
                          " in " + std::to_string(label->Width()) + "x" + std::to_string(label->Height()));
    }
    if (auto* pages = dynamic_cast<TPageControl*>(c)) {
      TTabSheet* shown = pages->ActivePage();
      for (int k = 0; k < pages->PageCount(); ++k) {
        pages->SetActivePageIndex(k);
        CollectClipped(*pages, clipped);
      }
      pages->SetActivePage(shown);
    } else if (auto* windowed = dynamic_cast<TWinControl*>(c)) {
      CollectClipped(*windowed, clipped);
    }
  }
}

// A user's hand on the settings page: the real pointer jumps from each control to its neighbour
// and clicks both. Every release must reach the control it was made on, and do its work there.
TEST_F(Pages, RealClicksOnEachPairOfNeighbouringSettingsLandOnTheControlUnderThePointer) {
  ClickTab(kSettingsTab);
  const std::vector<TControl*> row{velmain->RadioButton1, velmain->RadioButton2, velmain->CheckBox1,
                                   velmain->SpinEdit1,    velmain->CheckBox2,    velmain->SpinEdit2,
                                   velmain->CheckBox3};
  std::vector<std::string> released;
  std::vector<TWndMethod> originals;
  for (TControl* c : row) {
    originals.push_back(c->WindowProc);
    c->WindowProc = [c, &released, original = c->WindowProc](TMessage& m) {
      if (m.Msg == WM_LBUTTONUP) released.push_back(c->Name());
      original(m);
    };
  }
  const auto centre = [](const TControl& c) {
    POINT p{c.Left() + c.Width() / 2, c.Top() + c.Height() / 2};
    ClientToScreen(c.Parent()->Handle(), &p);
    return p;
  };
  // 取消 then 确定, the alarm group's two buttons: the alarm is off, then set again.
  ASSERT_TRUE(velmain->Armed());
  ASSERT_TRUE(real_input::MoveTo(centre(*velmain->SpeedButton2)));
  ASSERT_TRUE(real_input::Click());
  EXPECT_FALSE(velmain->Armed());
  ASSERT_TRUE(real_input::MoveTo(centre(*velmain->SpeedButton1)));
  ASSERT_TRUE(real_input::Click());
  EXPECT_TRUE(velmain->Armed());

  std::vector<std::string> clicked;
  const bool lockWas = velmain->CheckBox1->Checked();
  // The minutes take clicks only while time away counts as rest, and its box is clicked twice
  // before them: it starts ticked, as a new user finds it. So does the full-screen box.
  velmain->CheckBox2->SetChecked(true);
  velmain->CheckBox3->SetChecked(true);
  const bool awayWas = true;
  for (size_t i = 0; i + 1 < row.size(); ++i) {
    for (TControl* c : {row[i], row[i + 1]}) {
      ASSERT_TRUE(real_input::MoveTo(centre(*c)));
      ASSERT_TRUE(real_input::Click());
      clicked.push_back(c->Name());
      ::PumpUntil([&] { return released.size() >= clicked.size(); }, 2000);
    }
  }
  for (size_t i = 0; i < row.size(); ++i) row[i]->WindowProc = originals[i];
  EXPECT_EQ(released, clicked);
  // The last radio button clicked is the one checked; each check box was clicked twice.
  EXPECT_TRUE(velmain->RadioButton2->Checked());
  EXPECT_EQ(velmain->CheckBox1->Checked(), lockWas);
  EXPECT_EQ(velmain->CheckBox2->Checked(), awayWas);
  EXPECT_FALSE(velmain->CheckBox3->Checked()) << "clicked once, the last of the row";
  EXPECT_EQ(GetFocus(), velmain->CheckBox3->Handle());
  velmain->RadioButton1->SetChecked(true);
  velmain->CheckBox3->SetChecked(true);
}

TEST_F(Pages, NoBoxOrLabelTextOfAnyWindowIsCutOff) {
  doeye2->Label1->SetCaption("您已连续工作了1时0分0秒");
  std::vector<std::string> clipped;
  CollectClipped(*velmain, clipped);
  CollectClipped(*doeye, clipped);
  CollectClipped(*doeye2, clipped);
  std::sort(clipped.begin(), clipped.end());
  clipped.erase(std::unique(clipped.begin(), clipped.end()), clipped.end());
  EXPECT_EQ(clipped, std::vector<std::string>{});
}

class Help : public Pages {
protected:
  static std::string HelpPath() { return PathNextToExecutable("Helpx.chm"); }
  static std::string AsidePath() { return PathNextToExecutable("Helpx.chm.aside"); }
  static void CloseHelpWindows() {
    for (HWND window : ThreadWindows("HH Parent")) SendMessageW(window, WM_CLOSE, 0, 0);
    Application->ProcessMessages();
  }
  // A topic read through the system's own help storage, the way the viewer reads it.
  static bool ReadTopic(const std::string& topic, std::string& content) {
    // The class that parses "@MSITStore:file::/topic" names into help-storage monikers.
    static const CLSID kHelpStorageNames = {0x9d148290, 0xb9c8, 0x11d0, {0xa4, 0xcc, 0x00, 0x00, 0xf8, 0x01, 0x49, 0xf6}};
    const HRESULT ole = OleInitialize(nullptr);
    bool read = false;
    IParseDisplayName* parser = nullptr;
    IBindCtx* context = nullptr;
    if (SUCCEEDED(CoCreateInstance(kHelpStorageNames, nullptr, CLSCTX_INPROC_SERVER, IID_IParseDisplayName,
                                   reinterpret_cast<void**>(&parser))) &&
        SUCCEEDED(CreateBindCtx(0, &context))) {
      std::wstring name = Utf8ToWide("@MSITStore:" + HelpPath() + "::/" + topic);
      ULONG eaten = 0;
      IMoniker* moniker = nullptr;
      IStream* stream = nullptr;
      if (SUCCEEDED(parser->ParseDisplayName(context, name.data(), &eaten, &moniker)) &&
          SUCCEEDED(moniker->BindToStorage(context, nullptr, IID_IStream, reinterpret_cast<void**>(&stream)))) {
        content.clear();
        char buffer[4096];
        ULONG n = 0;
        while (SUCCEEDED(stream->Read(buffer, sizeof buffer, &n)) && n > 0) content.append(buffer, n);
        read = !content.empty();
      }
      if (stream) stream->Release();
      if (moniker) moniker->Release();
    }
    if (context) context->Release();
    if (parser) parser->Release();
    if (SUCCEEDED(ole)) OleUninitialize();
    return read;
  }
};

TEST_F(Help, TheIndexLeadsToTopicsAndTheTextCanBeSearched) {
  std::string stored;
  ASSERT_TRUE(ReadTopic("Helpx.hhk", stored)) << "the help carries an index";
  // The viewer reads the index in the help's code page.
  std::wstring wide(stored.size(), L'\0');
  wide.resize(static_cast<size_t>(
      MultiByteToWideChar(936, 0, stored.data(), static_cast<int>(stored.size()), wide.data(), static_cast<int>(wide.size()))));
  const std::string index = WideToUtf8(wide);
  EXPECT_NE(index.find("\"锁屏幕\""), std::string::npos);
  const std::regex local("name=\"Local\" value=\"([^\"]+)\"");
  int entries = 0;
  for (std::sregex_iterator it(index.begin(), index.end(), local), end; it != end; ++it, ++entries) {
    std::string topic;
    EXPECT_TRUE(ReadTopic((*it)[1], topic)) << (*it)[1];
  }
  EXPECT_GT(entries, 10);
  std::string search;
  EXPECT_TRUE(ReadTopic("$FIftiMain", search)) << "the full-text search index is missing";
  std::string windows;
  EXPECT_TRUE(ReadTopic("#WINDOWS", windows)) << "without a window definition the viewer shows only the contents";
}

TEST_F(Help, AMissingOrDamagedHelpFileIsReported) {
  ASSERT_TRUE(std::filesystem::exists(U8(HelpPath()))) << "the build puts Helpx.chm next to the tests";
  std::filesystem::rename(U8(HelpPath()), U8(AsidePath()));
  std::vector<MessageBoxWatch::Box> missing;
  {
    MessageBoxWatch watch;
    velmain->BitBtn1Click(nullptr);
    missing = watch.Boxes();
  }
  WriteText(HelpPath(), std::string(4096, 'x'));
  std::vector<MessageBoxWatch::Box> damaged;
  {
    MessageBoxWatch watch;
    velmain->H1Click(nullptr);
    damaged = watch.Boxes();
  }
  CloseHelpWindows();
  std::filesystem::remove(U8(HelpPath()));
  std::filesystem::rename(U8(AsidePath()), U8(HelpPath()));
  for (const auto& boxes : {missing, damaged}) {
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "帮助文件损坏！");
    EXPECT_EQ(boxes[0].caption, "晴岚");
  }
}

TEST_F(Help, HelpFromTheTrayOpensTheHelpAndLeavesTheMainWindowHidden) {
  HideInTray();
  std::vector<MessageBoxWatch::Box> boxes;
  {
    MessageBoxWatch watch;
    velmain->H1Click(nullptr);
    boxes = watch.Boxes();
  }
  const std::vector<HWND> viewers = ThreadWindows("HH Parent");
  const bool mainHidden = !IsWindowVisible(velmain->Handle());
  CloseHelpWindows();
  EXPECT_TRUE(boxes.empty()) << boxes.front().text;
  EXPECT_EQ(viewers.size(), 1u);
  EXPECT_TRUE(mainHidden);
  EXPECT_TRUE(TrayIcon1->Active());
}

TEST_F(Help, TheTopicAndEveryPageItLinksToCanBeRead) {
  std::set<std::string> seen{"软件简介.htm"};
  std::vector<std::string> queue{"软件简介.htm"};
  const std::regex link("href=\"([^\":#]+\\.htm)\"");
  while (!queue.empty()) {
    const std::string topic = queue.back();
    queue.pop_back();
    std::string content;
    ASSERT_TRUE(ReadTopic(topic, content)) << topic;
    EXPECT_NE(content.find("<title>"), std::string::npos) << topic;
    for (std::sregex_iterator it(content.begin(), content.end(), link), end; it != end; ++it) {
      if (seen.insert((*it)[1]).second) queue.push_back((*it)[1]);
    }
  }
  EXPECT_GT(seen.size(), 5u) << "the first topic leads to the others";
  std::string none;
  EXPECT_FALSE(ReadTopic("no-such-topic.htm", none));
}

}  // namespace
