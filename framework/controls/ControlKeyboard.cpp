// The keyboard: key messages become OnKeyDown/OnKeyUp/OnKeyPress (the form first when it previews
// keys), Tab moves through the tab stops, Ctrl+Tab through the pages, Alt+letter presses a button,
// and the focus.
#include "framework/controls/Controls.h"

namespace {

// The end of the parent chain: the form, when the control sits on one.
TWinControl& TopLevel(TWinControl& control) {
  TWinControl* top = &control;
  while (top->Parent()) top = top->Parent();
  return *top;
}

}  // namespace

TShiftState KeyboardShiftState() {
  TShiftState s = 0;
  if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
  return s;
}

bool TWinControl::HandleKeyboard(TMessage& m) {
  switch (m.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      // A swallowed key leaves no character behind either (no Alt+letter press, no typing).
      auto dropCharacters = [this] {
        MSG pending;
        while (PeekMessageW(&pending, handle_, WM_CHAR, WM_DEADCHAR, PM_REMOVE)) {
        }
        while (PeekMessageW(&pending, handle_, WM_SYSCHAR, WM_SYSDEADCHAR, PM_REMOVE)) {
        }
      };
      if (DoKeyDown(m)) {
        dropCharacters();
        return true;
      }
      // Tab and Shift+Tab move the focus through the form's tab stops.
      const TShiftState shift = KeyboardShiftState();
      if (m.Msg == WM_KEYDOWN && m.WParam == VK_TAB && !(shift & (ssCtrl | ssAlt))) {
        if (TopLevel(*this).SelectNext(this, !(shift & ssShift))) {
          dropCharacters();
          return true;
        }
      }
      if (m.Msg == WM_KEYDOWN && m.WParam == VK_TAB && (shift & ssCtrl) && !(shift & ssAlt)) {
        for (TWinControl* holder = this; holder; holder = holder->Parent()) {
          if (holder->SelectNextPage(!(shift & ssShift))) {
            dropCharacters();
            return true;
          }
        }
      }
      return false;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP:
      return DoKeyUp(m);
    case WM_CHAR:
      return DoKeyPress(m);
    case WM_SYSCHAR:
      // Alt+letter presses the button whose caption marks that letter with "&".
      if (TopLevel(*this).DialogChar(static_cast<wchar_t>(m.WParam))) {
        m.Result = 0;
        return true;
      }
      return false;
    case WM_SETFOCUS:
      TopLevel(*this).FocusChanged(this);
      if (OnEnter) OnEnter(this);
      return false;
    case WM_KILLFOCUS:
      if (OnExit) OnExit(this);
      return false;
    default:
      return false;
  }
}

// The form sees the key first when it previews keys; a handler that zeroes it swallows it.
bool TWinControl::DispatchKey(TMessage& m, TKeyEvent TWinControl::*event) {
  uint16_t key = static_cast<uint16_t>(m.WParam);
  const TShiftState shift = KeyboardShiftState();
  TWinControl& form = TopLevel(*this);
  if (&form != this && form.KeyPreview() && form.*event) {
    (form.*event)(&form, key, shift);
    if (key == 0) return true;
  }
  if (this->*event) {
    (this->*event)(this, key, shift);
    if (key == 0) return true;
  }
  m.WParam = key;
  return false;
}

bool TWinControl::DoKeyDown(TMessage& m) { return DispatchKey(m, &TWinControl::OnKeyDown); }

bool TWinControl::DoKeyUp(TMessage& m) { return DispatchKey(m, &TWinControl::OnKeyUp); }

bool TWinControl::DoKeyPress(TMessage& m) {
  char16_t key = static_cast<char16_t>(m.WParam);
  TWinControl& form = TopLevel(*this);
  if (&form != this && form.KeyPreview() && form.OnKeyPress) {
    form.OnKeyPress(&form, key);
    if (key == 0) return true;
  }
  if (OnKeyPress) {
    OnKeyPress(this, key);
    if (key == 0) return true;
  }
  m.WParam = key;
  return false;
}

bool TWinControl::Focused() const { return handle_ && GetFocus() == handle_; }

bool TWinControl::CanFocus() const {
  for (const TControl* c = this; c; c = c->Parent())
    if (!c->Visible() || !c->Enabled()) return false;
  return true;
}

void TWinControl::SetFocus() {
  if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  ::SetFocus(Handle());
}
