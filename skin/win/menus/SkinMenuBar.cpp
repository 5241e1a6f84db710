#include "skin/win/menus/SkinMenuBar.h"

#include <utility>

#include "framework/controls/Forms.h"
#include "framework/controls/MainMenu.h"
#include "framework/graphics/Graphics.h"
#include "framework/win32/Dpi.h"
#include "framework/win32/Strings.h"
#include "skin/layout/MenuBarLayout.h"
#include "skin/win/data/SkinDataUnit.h"
#include "skin/win/form/SkinFormUnit.h"

namespace {

// TPM_NONOTIFY | TPM_RIGHTBUTTON, and TPM_RIGHTALIGN for right-to-left menus.
constexpr UINT kDropDownFlags = 0x82;
constexpr UINT kDropDownFlagsRightToLeft = 0x8A;
// The longest item text the bar takes from the native menu.
constexpr UINT kItemTextLimit = 80;

RECT ToRECT(const TRect& r) { return {r.Left, r.Top, r.Right, r.Bottom}; }

TRect Shifted(const TRect& r, TPoint by) { return {r.Left - by.X, r.Top - by.Y, r.Right - by.X, r.Bottom - by.Y}; }

}  // namespace

void TMenuBtn::Paint() { bar_.PaintItem(*this); }

TSkinMenuBar::TSkinMenuBar(TSkinForm& form, TNCHotSlot& slot) : form_(form), slot_(slot), window_(form.Handle()) {}

TSkinMenuBar::~TSkinMenuBar() {
  *alive_ = false;
  // The drop-down's loop ends once the Open below us on the stack gets control back.
  if (hook_.Installed()) EndMenu();
  if (IsWindow(window_) && menu_ && IsMenu(menu_) && !GetMenu(window_)) SetMenu(window_, menu_);
}

void TSkinMenuBar::Build() {
  TCustomForm* form = form_.Form();
  menuObject_ = form ? form->Menu() : nullptr;
  // Once taken away, the window reads no menu; the one held stays.
  if (HMENU current = menuObject_ ? menuObject_->BarHandle() : GetMenu(window_)) menu_ = current;
  buttons_.clear();
  const int count = menu_ && IsMenu(menu_) ? GetMenuItemCount(menu_) : 0;
  for (int i = 0; i < count; ++i) {
    wchar_t text[kItemTextLimit + 1] = {};
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = kItemTextLimit + 1;
    if (!GetMenuItemInfoW(menu_, static_cast<UINT>(i), TRUE, &info)) info = MENUITEMINFOW{};
    auto item = std::make_unique<TMenuBtn>(*this, slot_, i);
    item->Text = (info.fType & MFT_SEPARATOR) ? std::wstring() : std::wstring(text);
    item->Enabled = !(info.fState & (MFS_DISABLED | MFS_GRAYED));
    item->Command = info.wID;
    item->SubMenu = info.hSubMenu;
    if (TMenuItem* object = menuObject_ ? menuObject_->FindItem(info.wID) : nullptr) {
      item->Item = object;
      item->Text = Utf8ToWide(object->Caption());
      item->Enabled = object->Enabled();
      if (object->Count() == 0) item->SubMenu = nullptr;
    }
    buttons_.push_back(std::move(item));
  }
  Detach();
}

void TSkinMenuBar::Detach() {
  // The bar is ours to draw: a native menu on the window would be drawn by the system as well.
  if (HMENU current = GetMenu(window_)) {
    menu_ = current;
    SetMenu(window_, nullptr);
  }
}

TRect TSkinMenuBar::BarRect(int windowWidth) const {
  const TFrameMetrics& m = form_.Metrics();
  return {m.Left, m.Caption, windowWidth - m.Right, m.Top()};
}

bool TSkinMenuBar::RightToLeft() const { return (GetWindowLongPtrW(window_, GWL_EXSTYLE) & WS_EX_RTLREADING) != 0; }

HFONT TSkinMenuBar::MenuFont() {
  if (!font_ || fontDpi_ != form_.Dpi()) {
    font_.reset();
    fontDpi_ = form_.Dpi();
    NONCLIENTMETRICSW metrics{};
    if (NonClientMetricsForDpi(metrics, form_.Dpi())) {
      LOGFONTW& font = metrics.lfMenuFont;
      font.lfWeight = FW_NORMAL;
      font.lfItalic = font.lfUnderline = font.lfStrikeOut = FALSE;
      font_.reset(CreateFontIndirectW(&font));
    }
  }
  return font_ ? font_.get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void TSkinMenuBar::Layout(HDC dc, int windowWidth) {
  barRect_ = BarRect(windowWidth);
  SelectedObject font(dc, MenuFont());
  std::vector<int> widths;
  for (const auto& item : buttons_) {
    RECT r{0, 0, 0, 0};
    if (!item->Text.empty()) DrawTextW(dc, item->Text.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE);
    widths.push_back(MenuBarItemWidth(r.right - r.left, form_.Dpi()));
  }
  const bool rightToLeft = RightToLeft();
  const int start = MenuBarStart(form_.Skin().Find("menuBar"), barRect_.Width(), rightToLeft, form_.Dpi());
  const std::vector<TRect> rects = MenuBarItemRects(barRect_, start, widths, rightToLeft);
  for (size_t i = 0; i < buttons_.size(); ++i) buttons_[i]->Rect = rects[i];
}

void TSkinMenuBar::DrawBackground(HDC dc, int width, int height) {
  const TSkinData& data = *form_.Data();
  if (const TDataSkinObject* bar = form_.Skin().Find("menuBar")) {
    if (TSkinPicture* picture = data.Picture(bar->Image)) {
      DrawSkinPicture(dc, *picture, bar->FrameRect(form_.Active() ? 1 : 2), bar->Margins(), bar->TileMiddle(),
                      {0, 0, width, height});
      return;
    }
  }
  UniqueBrush brush(CreateSolidBrush(ColorToRGB(data.Model().Colour(TSkinColour::Menubar))));
  const RECT r{0, 0, width, height};
  FillRect(dc, &r, brush ? brush.get() : static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

void TSkinMenuBar::DrawItem(HDC dc, const TMenuBtn& item, TPoint barOrigin) {
  RECT r = ToRECT(Shifted(item.Rect, barOrigin));
  if (r.right <= r.left || r.bottom <= r.top) return;
  const TSkinModel& model = form_.Skin();
  if (item.State() == TNCObject::kHot || item.State() == TNCObject::kPressed) {
    UniqueBrush frame(CreateSolidBrush(ColorToRGB(model.Colour(TSkinColour::ButtonHilight))));
    if (frame) FrameRect(dc, &r, frame.get());
  }
  if (item.Text.empty()) return;
  SelectedObject font(dc, MenuFont());
  const BkModeKept mode(dc, TRANSPARENT);
  const TextColorKept colour(
      dc, ColorToRGB(model.Colour(item.Enabled ? TSkinColour::MenuBarText : TSkinColour::ButtonShadow)));
  DrawTextW(dc, item.Text.c_str(), -1, &r, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
}

void TSkinMenuBar::Paint(HDC dc, int windowWidth) {
  const TRect bar = BarRect(windowWidth);
  const int width = bar.Width();
  const int height = bar.Height();
  if (width <= 0 || height <= 0) return;
  HDC background = background_.Prepare(dc, width, height);
  DrawBackground(background, width, height);
  Layout(background, windowWidth);
  HDC shown = shown_.Prepare(dc, width, height);
  BitBlt(shown, 0, 0, width, height, background, 0, 0, SRCCOPY);
  for (const auto& item : buttons_) DrawItem(shown, *item, {bar.Left, bar.Top});
  BitBlt(dc, bar.Left, bar.Top, width, height, shown, 0, 0, SRCCOPY);
}

void TSkinMenuBar::PaintItem(const TMenuBtn& item) {
  // Before the first paint of the bar there is no background to repaint from.
  if (!form_.Painting() || barRect_.Empty()) return;
  try {
    WindowFrameDC dc(window_);
    if (!dc.get()) return;
    const TRect place = Shifted(item.Rect, {barRect_.Left, barRect_.Top});
    HDC background = background_.Prepare(dc.get(), barRect_.Width(), barRect_.Height());
    HDC shown = shown_.Prepare(dc.get(), barRect_.Width(), barRect_.Height());
    BitBlt(shown, place.Left, place.Top, place.Width(), place.Height(), background, place.Left, place.Top, SRCCOPY);
    DrawItem(shown, item, {barRect_.Left, barRect_.Top});
    BitBlt(dc.get(), item.Rect.Left, item.Rect.Top, place.Width(), place.Height(), shown, place.Left, place.Top,
           SRCCOPY);
  } catch (...) {
    // An item that cannot be painted stays as it was; the bar goes on working.
    slot_.Clear();
  }
}

TMenuBtn* TSkinMenuBar::ItemAt(TPoint p) const {
  for (const auto& item : buttons_)
    if (item->Rect.Contains(p)) return item.get();
  return nullptr;
}

int TSkinMenuBar::ItemForKey(wchar_t key) const {
  std::vector<std::string> captions;
  for (const auto& item : buttons_) captions.push_back(WideToUtf8(item->Text));
  return MenuBarItemForKey(captions, static_cast<char32_t>(key));
}

void TSkinMenuBar::TidySubItems(TMenuItem* item) {
  if (!item) return;
  std::vector<TMenuEntryShape> shapes;
  for (int i = 0; i < item->Count(); ++i) shapes.push_back({item->Items(i)->IsLine(), item->Items(i)->Visible()});
  const std::vector<bool> visible = TidySeparators(shapes);
  // Each change reaches the menu object, which refills the native menu.
  for (int i = 0; i < item->Count(); ++i) item->Items(i)->SetVisible(visible[static_cast<size_t>(i)]);
}

bool TSkinMenuBar::Open(int index) {
  // One drop-down at a time: a request while one is open (a posted Alt+letter) is not a second one.
  if (hook_.Installed()) return true;
  const std::shared_ptr<bool> alive = alive_;
  int next = index;
  while (next >= 0 && next < static_cast<int>(buttons_.size())) {
    const int current = next;
    next = -1;
    // A disabled item does nothing at all: neither its command nor its drop-down.
    if (!buttons_[static_cast<size_t>(current)]->Enabled) break;
    PostMessageW(window_, WM_COMMAND, buttons_[static_cast<size_t>(current)]->Command, 0);
    if (!buttons_[static_cast<size_t>(current)]->SubMenu) break;
    // Tidying may change the menu and so rebuild the items: from here on they are found afresh.
    TidySubItems(buttons_[static_cast<size_t>(current)]->Item);
    HMENU dropDown = current < static_cast<int>(buttons_.size()) ? GetSubMenu(menu_, current) : nullptr;
    if (!dropDown) break;
    TMenuBtn& item = *buttons_[static_cast<size_t>(current)];
    if (item.State() != TNCObject::kPressed) item.MouseDown();

    tracking_ = true;
    current_ = current;
    openMenu_ = dropDown;
    firstFiltered_ = true;
    selectedHasSubMenu_ = selectedInSubMenu_ = false;
    switchTo_ = -1;
    RECT window{};
    GetWindowRect(window_, &window);
    const bool rightToLeft = RightToLeft();
    const int x = window.left + (rightToLeft ? item.Rect.Right : item.Rect.Left);
    const int y = window.top + item.Rect.Bottom;
    // Without the hook the drop-down still works, only without moving on to the neighbours.
    static_cast<void>(hook_.Install(WH_MSGFILTER, [this](int code, WPARAM, LPARAM lParam) {
      return Filter(code, *reinterpret_cast<const MSG*>(lParam));
    }));
    TrackPopupMenu(dropDown, rightToLeft ? kDropDownFlagsRightToLeft : kDropDownFlags, x, y, 0, window_, nullptr);
    if (!*alive) return false;
    hook_.Remove();
    openMenu_ = nullptr;
    next = std::exchange(switchTo_, -1);
    if (current >= static_cast<int>(buttons_.size())) continue;
    // The item that was open shows as it now is: hot under the mouse, else normal.
    TMenuBtn& was = *buttons_[static_cast<size_t>(current)];
    POINT cursor{};
    GetCursorPos(&cursor);
    if (next < 0 && was.Rect.Contains({cursor.x - window.left, cursor.y - window.top})) {
      was.MouseUp();
    } else {
      was.MouseLeave();
    }
  }
  tracking_ = false;
  return true;
}

int TSkinMenuBar::Neighbour(bool forward) const {
  const int count = static_cast<int>(buttons_.size());
  // A disabled item would end the keyboard's walk along the bar with nothing open: it is passed.
  int index = current_;
  for (int step = 0; step < count; ++step) {
    index = forward ? NextBarItem(index, count) : PreviousBarItem(index, count);
    if (buttons_[static_cast<size_t>(index)]->Enabled) break;
  }
  return index;
}

void TSkinMenuBar::SwitchTo(int index) {
  switchTo_ = index;
  EndMenu();
}

bool TSkinMenuBar::Filter(int code, const MSG& msg) {
  if (code != MSGF_MENU) return false;
  if (std::exchange(firstFiltered_, false)) PostMessageW(msg.hwnd ? msg.hwnd : window_, WM_KEYDOWN, VK_DOWN, 0);
  switch (msg.message) {
    case WM_KEYDOWN: {
      WPARAM key = msg.wParam;
      if (RightToLeft() && (key == VK_LEFT || key == VK_RIGHT)) key = key == VK_LEFT ? VK_RIGHT : VK_LEFT;
      if (key == VK_RIGHT && !selectedHasSubMenu_) {
        SwitchTo(Neighbour(true));
        return true;
      }
      if (key == VK_LEFT && !selectedInSubMenu_) {
        SwitchTo(Neighbour(false));
        return true;
      }
      if (key == VK_RETURN || key == VK_ESCAPE) switchTo_ = -1;
      return false;
    }
    case WM_SYSKEYDOWN:
      if (msg.wParam == VK_MENU) tracking_ = false;
      return false;
    case WM_MOUSEMOVE: {
      RECT window{};
      GetWindowRect(window_, &window);
      const TMenuBtn* over = ItemAt({msg.pt.x - window.left, msg.pt.y - window.top});
      if (!over || over->Index == current_) return false;
      SwitchTo(over->Index);
      return true;
    }
    default: return false;
  }
}

void TSkinMenuBar::MenuSelect(WPARAM wParam, LPARAM lParam) {
  if (!hook_.Installed()) return;
  const UINT flags = HIWORD(wParam);
  const auto menu = reinterpret_cast<HMENU>(lParam);
  if (flags == 0xFFFF && !menu) {
    // The drop-down closed; unless another one is about to open, nothing is tracked any more.
    if (switchTo_ < 0) tracking_ = false;
    return;
  }
  selectedHasSubMenu_ = (flags & MF_POPUP) != 0;
  selectedInSubMenu_ = menu != openMenu_;
}
