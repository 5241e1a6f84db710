#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "framework/controls/Application.h"
#include "framework/controls/ExtCtrls.h"
#include "framework/controls/StdCtrls.h"
#include "framework/graphics/Graphic.h"
#include "framework/controls/tests/TestForms.h"

namespace {

TEST(ShowModal, ReturnsTheModalResultAndDisablesOtherWindowsMeanwhile) {
  TPlainForm owner(nullptr);
  owner.Show();
  TPlainForm dialog(nullptr);
  bool ownerEnabledDuring = true;
  TTimer timer(nullptr);
  timer.SetInterval(20);
  timer.OnTimer = [&](TObject*) {
    timer.SetEnabled(false);
    ownerEnabledDuring = IsWindowEnabled(owner.Handle());
    dialog.SetModalResult(mrOk);
  };
  EXPECT_EQ(dialog.ShowModal(), mrOk);
  EXPECT_FALSE(ownerEnabledDuring);
  EXPECT_TRUE(IsWindowEnabled(owner.Handle()));
  EXPECT_FALSE(dialog.Visible());
  EXPECT_FALSE(IsWindowVisible(dialog.Handle()));
}

TEST(ShowModal, NestsAndRefusesAFormThatIsAlreadyShowing) {
  TPlainForm outer(nullptr);
  TPlainForm inner(nullptr);
  std::vector<std::string> steps;
  TTimer timer(nullptr);
  timer.SetInterval(20);
  timer.OnTimer = [&](TObject*) {
    if (outer.Modal() && !inner.Modal()) {
      steps.push_back("outer up");
      try {
        outer.ShowModal();
      } catch (const EInvalidOperation& e) {
        steps.push_back(e.Message());
      }
      steps.push_back(inner.ShowModal() == mrYes ? "inner yes" : "inner other");
      outer.SetModalResult(mrNo);
    } else if (inner.Modal()) {
      steps.push_back("inner up");
      inner.SetModalResult(mrYes);
    }
  };
  EXPECT_EQ(outer.ShowModal(), mrNo);
  EXPECT_EQ(steps, (std::vector<std::string>{"outer up", "Cannot make a visible window modal", "inner up", "inner yes"}));
  // A form shown modelessly cannot go modal either.
  outer.Show();
  EXPECT_THROW(outer.ShowModal(), EInvalidOperation);
}

// Another program (or thread) that sends the form a message which ends it: the modal loop is
// asleep in its wait and must still notice.
TEST(ShowModal, EndsWhenClosedByAMessageSentFromAnotherThread) {
  TPlainForm dialog(nullptr);
  std::thread sender;
  TTimer timer(nullptr);
  timer.SetInterval(20);
  timer.OnTimer = [&](TObject*) {
    timer.SetEnabled(false);
    HWND window = dialog.Handle();
    sender = std::thread([window] {
      Sleep(100);
      SendMessageW(window, WM_CLOSE, 0, 0);
    });
  };
  std::atomic<bool> ended{false};
  std::atomic<bool> rescued{false};
  std::thread watchdog([&] {
    // Should the loop sleep on, a message of its own wakes it, and the test knows it had to.
    for (int waited = 0; waited < 3000 && !ended; waited += 10) Sleep(10);
    if (ended) return;
    rescued = true;
    PostMessageW(dialog.Handle(), WM_NULL, 0, 0);
  });
  EXPECT_EQ(dialog.ShowModal(), mrCancel);
  ended = true;
  sender.join();
  watchdog.join();
  EXPECT_FALSE(rescued) << "the loop only woke at the watchdog's message";
}

TEST(CloseActions, CloseRunsOnCloseAndActsOnItsAction) {
  TPlainForm form(nullptr);
  TCloseAction action = TCloseAction::caNone;
  int closes = 0;
  form.OnClose = [&](TObject*, TCloseAction& a) {
    ++closes;
    a = action;
  };
  form.Show();
  // The close box, Alt+F4 and the system menu all arrive as WM_CLOSE.
  SendMessageW(form.Handle(), WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(closes, 1);
  EXPECT_TRUE(IsWindowVisible(form.Handle()));
  action = TCloseAction::caMinimize;
  form.Close();
  EXPECT_EQ(form.WindowState(), TWindowState::wsMinimized);
  action = TCloseAction::caHide;
  SendMessageW(form.Handle(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindowVisible(form.Handle()));
  EXPECT_EQ(closes, 3);
}

TEST(CloseActions, ModalFormWithCaNoneStaysUpUntilAllowed) {
  TPlainForm form(nullptr);
  int attempts = 0;
  form.OnClose = [&](TObject*, TCloseAction& a) {
    if (++attempts < 3) a = TCloseAction::caNone;
  };
  TTimer timer(nullptr);
  timer.SetInterval(10);
  timer.OnTimer = [&](TObject*) { form.Close(); };
  EXPECT_EQ(form.ShowModal(), mrCancel);
  EXPECT_EQ(attempts, 3);
}

TEST(CloseActions, CaFreeReleasesTheFormAfterTheMessage) {
  bool destroyed = false;
  auto* form = new TPlainForm(Application);
  form->OnDestroy = [&](TObject*) { destroyed = true; };
  form->OnClose = [](TObject*, TCloseAction& a) { a = TCloseAction::caFree; };
  form->Show();
  form->Close();
  EXPECT_FALSE(destroyed);
  Application->ProcessMessages();
  EXPECT_TRUE(destroyed);
}

TEST(ShowHandler, ErrorIsReportedAndTheFormShownAllTheSame) {
  std::vector<std::string> reported;
  Application->OnException = [&](const std::exception& e) { reported.push_back(e.what()); };
  TPlainForm form(nullptr);
  form.OnShow = [](TObject*) { throw EFCreateError("Cannot create file x"); };
  form.Show();
  EXPECT_TRUE(IsWindowVisible(form.Handle()));
  EXPECT_EQ(reported, (std::vector<std::string>{"Cannot create file x"}));
  Application->OnException = nullptr;
}

TEST(ErrorHandler, ErrorInAHandlerEndsThatHandlerAndTheLoopCarriesOn) {
  std::vector<std::string> reported;
  Application->OnException = [&](const std::exception& e) { reported.push_back(e.what()); };
  TPlainForm form(nullptr);
  auto* button = new TButton(&form);
  button->SetParent(&form);
  int after = 0;
  button->OnClick = [&](TObject*) {
    throw EInvalidOperation("boom");
    ++after;
  };
  form.Show();
  SendMessageW(button->Handle(), BM_CLICK, 0, 0);
  SendMessageW(button->Handle(), BM_CLICK, 0, 0);
  EXPECT_EQ(after, 0);
  EXPECT_EQ(reported, (std::vector<std::string>{"boom", "boom"}));
  // The window is still there and still answers.
  EXPECT_TRUE(IsWindow(button->Handle()));
  Application->OnException = nullptr;
}

// Paints itself red, or fails to paint while `fail` is set.
class TFragile : public TGraphicControl {
public:
  using TGraphicControl::TGraphicControl;
  bool fail = false;

protected:
  void Paint() override {
    if (fail) throw EInvalidGraphicOperation("Unknown GIF version");
    Canvas()->Brush()->SetColor(clRed);
    Canvas()->FillRect(ClientRect());
  }
};

TEST(ErrorHandler, AControlThatCannotPaintIsReportedOnceAndItsSiblingsStillPaint) {
  std::vector<std::string> reported;
  Application->OnException = [&](const std::exception& e) { reported.push_back(e.what()); };
  TPlainForm form(nullptr);
  auto* broken = new TFragile(&form);
  broken->SetParent(&form);
  broken->SetBounds(0, 0, 20, 20);
  broken->fail = true;
  auto* fine = new TFragile(&form);
  fine->SetParent(&form);
  fine->SetBounds(30, 0, 20, 20);
  form.Show();
  auto paint = [&] {
    TBitmap shot;
    shot.SetSize(form.ClientWidth(), form.ClientHeight());
    form.PaintTo(shot.Canvas()->Handle(), 0, 0);
    return shot.Canvas()->Pixel(40, 10);
  };
  for (int i = 0; i < 3; ++i) {
    form.Repaint();
    EXPECT_EQ(paint(), clRed);
  }
  EXPECT_EQ(reported, (std::vector<std::string>{"Unknown GIF version"}));
  // Painting well once re-arms the report.
  broken->fail = false;
  paint();
  broken->fail = true;
  paint();
  EXPECT_EQ(reported.size(), 2u);
  Application->OnException = nullptr;
}

TEST(KeyPreview, FormSeesKeysFirstAndSwallowsThem) {
  TPlainForm form(nullptr);
  form.SetKeyPreview(true);
  auto* button = new TButton(&form);
  button->SetParent(&form);
  std::vector<std::string> seen;
  bool swallow = true;
  form.OnKeyDown = [&](TObject*, uint16_t& key, TShiftState) {
    seen.push_back("form " + std::to_string(key));
    if (swallow) key = 0;
  };
  button->OnKeyDown = [&](TObject*, uint16_t& key, TShiftState) { seen.push_back("button " + std::to_string(key)); };
  int closes = 0;
  form.OnClose = [&](TObject*, TCloseAction& a) {
    ++closes;
    a = TCloseAction::caNone;
  };
  form.Show();
  SendMessageW(button->Handle(), WM_KEYDOWN, VK_ESCAPE, 1);
  // Alt+F4 on the focused control: swallowed before the system turns it into a close.
  SendMessageW(button->Handle(), WM_SYSKEYDOWN, VK_F4, 1 | (1 << 29));
  SendMessageW(form.Handle(), WM_SYSKEYDOWN, VK_F4, 1 | (1 << 29));
  Application->ProcessMessages();
  EXPECT_EQ(closes, 0);
  swallow = false;
  SendMessageW(button->Handle(), WM_KEYDOWN, VK_SPACE, 1);
  SendMessageW(form.Handle(), WM_SYSKEYDOWN, VK_F4, 1 | (1 << 29));
  // The system posts the close that Alt+F4 asks for.
  Application->ProcessMessages();
  EXPECT_EQ(closes, 1);
  EXPECT_EQ(seen, (std::vector<std::string>{"form 27", "form 115", "form 115", "form 32", "button 32", "form 115"}));
}

TEST(Timer, TicksOnlyWhileEnabled) {
  TTimer timer(nullptr);
  int ticks = 0;
  timer.OnTimer = [&](TObject*) { ++ticks; };
  timer.SetInterval(10);
  timer.SetEnabled(false);
  auto pump = [](int ms) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
    while (static_cast<int>(end - GetTickCount()) > 0) {
      Application->ProcessMessages();
      Sleep(5);
    }
  };
  pump(120);
  EXPECT_EQ(ticks, 0);
  timer.SetEnabled(true);
  pump(200);
  EXPECT_GT(ticks, 2);
  timer.SetEnabled(false);
  const int stopped = ticks;
  pump(120);
  EXPECT_EQ(ticks, stopped);
  timer.SetEnabled(true);
  timer.SetInterval(0);
  pump(60);
  EXPECT_EQ(ticks, stopped);
  // A one-shot timer that stops itself in its handler can be started again.
  timer.SetInterval(30);
  timer.SetEnabled(false);
  timer.OnTimer = [&](TObject*) {
    timer.SetEnabled(false);
    ++ticks;
  };
  for (int round = 1; round <= 2; ++round) {
    timer.SetEnabled(true);
    pump(150);
    EXPECT_EQ(ticks, stopped + round);
  }
}

}  // namespace
