#include "framework/controls/Menus.h"

#include <commctrl.h>

#include <algorithm>

#include "framework/controls/Controls.h"
#include "framework/controls/ImgList.h"
#include "framework/controls/Messages.h"
#include "framework/win32/Dpi.h"
#include "framework/win32/Handles.h"
#include "framework/win32/Strings.h"
#include "framework/win32/WindowSubclass.h"

namespace {

// Owner-drawn item layout, in pixels at 96 DPI: a glyph column at the left, the caption after it,
// the shortcut text right-aligned before a gap that leaves the system room for a submenu arrow.
constexpr int kGlyphMargin = 3;
constexpr int kGlyphPadding = 4;
constexpr int kTextGap = 6;
constexpr int kShortcutGap = 24;
constexpr int kRightGap = 16;
constexpr int kTextPadding = 8;
constexpr int kSeparatorHeight = 9;
constexpr int kSeparatorOffset = 4;

std::wstring CaptionPart(const std::string& caption) {
  const std::wstring text = Utf8ToWide(caption);
  return text.substr(0, text.find(L'\t'));
}

std::wstring ShortcutPart(const std::string& caption) {
  const std::wstring text = Utf8ToWide(caption);
  const size_t tab = text.find(L'\t');
  return tab == std::wstring::npos ? std::wstring() : text.substr(tab + 1);
}

SIZE TextSize(HDC dc, const std::wstring& text) {
  RECT r{0, 0, 0, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_CALCRECT);
  return {r.right - r.left, r.bottom - r.top};
}

void CollectPopups(HMENU menu, std::vector<HMENU>& popups) {
  popups.push_back(menu);
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i)
    if (HMENU sub = GetSubMenu(menu, i)) CollectPopups(sub, popups);
}

}  // namespace

wchar_t MenuAccelerator(const std::wstring& caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != L'&') continue;
    if (caption[i + 1] != L'&') return caption[i + 1];
    ++i;
  }
  return 0;
}

const TClassInfo& TMenuItem::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TMenuItem>("TMenuItem", &TComponent::StaticClassInfo())
                                     .Creatable()
                                     .Property("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption)
                                     .Property("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked)
                                     .Property("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled)
                                     .Property("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible)
                                     .Property("Default", &TMenuItem::Default, &TMenuItem::SetDefault)
                                     .Property("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem)
                                     .Property("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex)
                                     .Event("OnClick", &TMenuItem::OnClick);
  return info;
}

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

TMenuItem::~TMenuItem() {
  for (TMenuItem* item : items_) item->parentItem_ = nullptr;
  if (parentItem_) parentItem_->Remove(this);
}

namespace {
template <typename T>
bool Store(T& field, const T& value) {
  if (field == value) return false;
  field = value;
  return true;
}
}  // namespace

void TMenuItem::SetCaption(const std::string& caption) {
  if (Store(caption_, caption)) Changed();
}
void TMenuItem::SetChecked(bool checked) {
  if (Store(checked_, checked)) Changed();
}
void TMenuItem::SetEnabled(bool enabled) {
  if (Store(enabled_, enabled)) Changed();
}
void TMenuItem::SetVisible(bool visible) {
  if (Store(visible_, visible)) Changed();
}
void TMenuItem::SetDefault(bool value) {
  if (Store(default_, value)) Changed();
}
void TMenuItem::SetRadioItem(bool value) {
  if (Store(radioItem_, value)) Changed();
}
void TMenuItem::SetImageIndex(int index) {
  if (Store(imageIndex_, index)) Changed();
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (item->parentItem_) throw EInvalidOperation("Menu inserted twice");
  index = std::clamp(index, 0, Count());
  items_.insert(items_.begin() + index, item);
  item->parentItem_ = this;
  Changed();
}

void TMenuItem::Remove(TMenuItem* item) {
  if (!std::erase(items_, item)) return;
  item->parentItem_ = nullptr;
  Changed();
}

void TMenuItem::SetParentComponent(TComponent* parent) {
  if (auto* menu = dynamic_cast<TMenu*>(parent)) return menu->Items()->Add(this);
  if (auto* item = dynamic_cast<TMenuItem*>(parent)) return item->Add(this);
  throw EInvalidOperation("Menu item " + Name() + " must be placed in a menu");
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* root = this;
  while (root->parentItem_) root = root->parentItem_;
  return root->menu_;
}

void TMenuItem::Changed() {
  if (TMenu* menu = GetParentMenu()) menu->Changed(this);
}

void TMenuItem::Click() {
  if (OnClick) OnClick(this);
}

void TMenuItem::BuildInto(HMENU menu, std::vector<TMenuItem*>& commands, bool ownerDraw) const {
  for (TMenuItem* item : items_) {
    if (!item->visible_) continue;
    std::wstring text = Utf8ToWide(item->caption_);
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING | MIIM_DATA;
    info.fType = item->IsLine() ? MFT_SEPARATOR : MFT_STRING;
    if (ownerDraw) info.fType |= MFT_OWNERDRAW;
    if (item->radioItem_) info.fType |= MFT_RADIOCHECK;
    info.fState = (item->enabled_ ? 0u : MFS_GRAYED) | (item->checked_ ? MFS_CHECKED : 0u);
    info.dwItemData = reinterpret_cast<ULONG_PTR>(item);
    info.dwTypeData = text.data();
    if (item->IsLine()) {
      info.fMask &= ~MIIM_STRING;
    } else if (!item->items_.empty()) {
      HMENU sub = CreatePopupMenu();
      item->BuildInto(sub, commands, ownerDraw);
      info.fMask |= MIIM_SUBMENU;
      info.hSubMenu = sub;
    } else {
      commands.push_back(item);
      info.wID = static_cast<UINT>(commands.size());
      if (item->default_) info.fState |= MFS_DEFAULT;
    }
    InsertMenuItemW(menu, static_cast<UINT>(GetMenuItemCount(menu)), TRUE, &info);
  }
}

struct TMenuPaintEntry {
  TMenu* Menu = nullptr;
  TMenuItemPainter* Painter = nullptr;
};

void TMenuPaintHook::Attach(TMenu& menu, TMenuItemPainter& painter) {
  Detach();
  entry_ = std::make_shared<TMenuPaintEntry>(TMenuPaintEntry{&menu, &painter});
  menu.painters_.push_back(entry_);
  menu.PaintersChanged();
}

void TMenuPaintHook::Detach() {
  if (!entry_) return;
  TMenu* menu = entry_->Menu;
  if (menu) std::erase(menu->painters_, entry_);
  entry_.reset();
  if (menu) menu->PaintersChanged();
}

TMenu* TMenuPaintHook::Menu() const { return entry_ ? entry_->Menu : nullptr; }

struct TMenuItemPainter::TFonts {
  int Dpi = 0;
  UniqueFont Normal;
  UniqueFont Bold;
};

TMenuItemPainter::TMenuItemPainter() : fonts_(std::make_unique<TFonts>()) {}

TMenuItemPainter::~TMenuItemPainter() = default;

HFONT TMenuItemPainter::MenuFont(bool bold, int dpi) {
  // One menu shows at a time: the fonts of the last scale are all that is kept.
  if (fonts_->Dpi != dpi) {
    fonts_->Normal.reset();
    fonts_->Bold.reset();
    fonts_->Dpi = dpi;
  }
  UniqueFont& font = bold ? fonts_->Bold : fonts_->Normal;
  if (!font) {
    NONCLIENTMETRICSW metrics{};
    LOGFONTW face{};
    if (NonClientMetricsForDpi(metrics, dpi)) {
      face = metrics.lfMenuFont;
    } else {
      GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(face), &face);
      face.lfHeight = MulDiv(face.lfHeight, dpi, SystemDpi());
    }
    if (bold) face.lfWeight = FW_BOLD;
    font.reset(CreateFontIndirectW(&face));
  }
  return font ? font.get() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

SIZE TMenuItemPainter::ImageSize(const TMenuItem& item, int dpi) {
  const TMenu* menu = item.GetParentMenu();
  const TImageList* images = menu ? menu->Images() : nullptr;
  SIZE size{SystemMetricForDpi(SM_CXMENUCHECK, dpi), SystemMetricForDpi(SM_CYMENUCHECK, dpi)};
  if (images) {
    const SIZE scaled = images->SizeForDpi(dpi);
    size = {std::max(size.cx, scaled.cx), std::max(size.cy, scaled.cy)};
  }
  return size;
}

void TMenuItemPainter::Measure(const TMenuItem& item, MEASUREITEMSTRUCT& measure, int dpi) {
  const auto scaled = [dpi](int length) { return ScaleToDpi(length, dpi); };
  if (item.IsLine()) {
    measure.itemWidth = 0;
    measure.itemHeight = static_cast<UINT>(scaled(kSeparatorHeight));
    return;
  }
  std::wstring caption = CaptionPart(item.Caption());
  // A caption with nothing to show still needs a width and a line height.
  if (caption.empty() || caption == L"&") caption += L' ';
  const std::wstring shortcut = ShortcutPart(item.Caption());
  WindowDC screen(nullptr);
  SelectedObject font(screen.get(), MenuFont(item.Default(), dpi));
  const SIZE text = TextSize(screen.get(), caption);
  const SIZE image = ImageSize(item, dpi);
  int width = scaled(kGlyphMargin) + image.cx + 2 * scaled(kGlyphPadding) + scaled(kTextGap) + text.cx + scaled(kRightGap);
  if (!shortcut.empty()) width += scaled(kShortcutGap) + TextSize(screen.get(), shortcut).cx;
  measure.itemWidth = static_cast<UINT>(width);
  measure.itemHeight =
      static_cast<UINT>(std::max(text.cy + scaled(kTextPadding), image.cy + 2 * scaled(kGlyphPadding)));
}

void TMenuItemPainter::DrawBackground(HDC dc, const RECT& rect, const TItemState& state) {
  FillRect(dc, &rect, GetSysColorBrush(state.Selected ? COLOR_HIGHLIGHT : COLOR_MENU));
}

COLORREF TMenuItemPainter::TextColour(const TItemState& state) {
  if (state.Disabled) return GetSysColor(COLOR_GRAYTEXT);
  return GetSysColor(state.Selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT);
}

void TMenuItemPainter::DrawImage(const TMenuItem& item, HDC dc, int x, int y, const TItemState& state, int dpi) {
  const TMenu* menu = item.GetParentMenu();
  const TImageList* images = menu ? menu->Images() : nullptr;
  if (!images || item.ImageIndex() < 0 || item.ImageIndex() >= images->Count()) return;
  // A disabled image is half washed in the disabled text colour.
  ImageList_DrawEx(images->HandleForDpi(dpi), item.ImageIndex(), dc, x, y, 0, 0, CLR_NONE,
                   state.Disabled ? TextColour(state) : CLR_NONE, ILD_TRANSPARENT | (state.Disabled ? ILD_BLEND50 : 0));
}

void TMenuItemPainter::DrawSeparator(HDC dc, const RECT& rect, int dpi) {
  RECT line = rect;
  line.top += ScaleToDpi(kSeparatorOffset, dpi);
  line.left += ScaleToDpi(kGlyphMargin, dpi);
  line.right -= ScaleToDpi(kGlyphMargin, dpi);
  DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
}

void TMenuItemPainter::DrawMark(HDC dc, const RECT& box, bool radio, COLORREF colour, int dpi) {
  const int cx = (box.left + box.right) / 2;
  const int cy = (box.top + box.bottom) / 2;
  const auto scaled = [dpi](int length) { return ScaleToDpi(length, dpi); };
  UniqueBrush brush(CreateSolidBrush(colour));
  UniquePen pen(CreatePen(PS_SOLID, 1, colour));
  SelectedObject keptBrush(dc, brush.get());
  SelectedObject keptPen(dc, pen.get());
  if (radio) {
    Ellipse(dc, cx - scaled(3), cy - scaled(3), cx + scaled(3) + 1, cy + scaled(3) + 1);
    return;
  }
  // A tick three pixels thick at 96 DPI: down-right from the left, then up to the right; drawn as
  // stacked one-pixel lines, so that it stays sharp at every scale.
  const int thickness = scaled(3);
  for (int i = 0; i < thickness; ++i) {
    const POINT tick[] = {{cx - scaled(4), cy - scaled(1) + i}, {cx - scaled(2), cy + scaled(1) + i},
                          {cx + scaled(3), cy - scaled(4) + i}};
    Polyline(dc, tick, 3);
  }
}

void TMenuItemPainter::Draw(const TMenuItem& item, const DRAWITEMSTRUCT& draw, int dpi) {
  HDC dc = draw.hDC;
  SavedDC saved(dc);
  const RECT& rect = draw.rcItem;
  TItemState state;
  state.Selected = (draw.itemState & ODS_SELECTED) != 0;
  state.Disabled = (draw.itemState & (ODS_GRAYED | ODS_DISABLED)) != 0;
  state.HideAccelerator = (draw.itemState & ODS_NOACCEL) != 0;
  if (item.IsLine()) {
    DrawBackground(dc, rect, TItemState{});
    DrawSeparator(dc, rect, dpi);
    return;
  }
  DrawBackground(dc, rect, state);
  const COLORREF colour = TextColour(state);

  const auto scaled = [dpi](int length) { return ScaleToDpi(length, dpi); };
  const SIZE image = ImageSize(item, dpi);
  RECT box{rect.left + scaled(kGlyphMargin), rect.top,
           rect.left + scaled(kGlyphMargin) + image.cx + 2 * scaled(kGlyphPadding), rect.bottom};
  const int imageX = box.left + scaled(kGlyphPadding);
  const int imageY = (rect.top + rect.bottom - image.cy) / 2;
  const TMenu* menu = item.GetParentMenu();
  const bool hasImage = menu && menu->Images() && item.ImageIndex() >= 0;
  if (hasImage) {
    DrawImage(item, dc, imageX, imageY, state, dpi);
    if (item.Checked()) {
      const int around = scaled(2);
      RECT frame{imageX - around, imageY - around, imageX + image.cx + around, imageY + image.cy + around};
      DrawEdge(dc, &frame, BDR_SUNKENOUTER, BF_RECT);
    }
  } else if (item.Checked()) {
    DrawMark(dc, box, item.RadioItem(), colour, dpi);
  }

  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colour);
  SelectObject(dc, MenuFont(item.Default(), dpi));
  const UINT flags = DT_SINGLELINE | DT_VCENTER | (state.HideAccelerator ? DT_HIDEPREFIX : 0);
  RECT textRect{box.right + scaled(kTextGap), rect.top, rect.right - scaled(kRightGap), rect.bottom};
  const std::wstring shortcut = ShortcutPart(item.Caption());
  if (!shortcut.empty()) {
    DrawTextW(dc, shortcut.c_str(), static_cast<int>(shortcut.size()), &textRect, flags | DT_RIGHT);
    textRect.right -= TextSize(dc, shortcut).cx + scaled(kShortcutGap);
  }
  const std::wstring caption = CaptionPart(item.Caption());
  DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &textRect, flags | DT_END_ELLIPSIS);
}

const TClassInfo& TMenu::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TMenu>("TMenu", &TComponent::StaticClassInfo())
                                     .Reference("Images", &TMenu::Images, &TMenu::SetImages)
                                     .Property("OwnerDraw", &TMenu::OwnerDraw, &TMenu::SetOwnerDraw);
  return info;
}

TMenu::TMenu(TComponent* owner) : TComponent(owner), items_(new TMenuItem(nullptr)) { items_->menu_ = this; }

TMenu::~TMenu() {
  for (const auto& entry : painters_) entry->Menu = nullptr;
  items_->menu_ = nullptr;
  delete items_;
}

void TMenu::SetImages(TImageList* images) {
  if (images_ == images) return;
  images_ = images;
  if (images) FreeNotification(images);
  Changed(nullptr);
}

void TMenu::SetOwnerDraw(bool value) {
  if (value == ownerDraw_) return;
  ownerDraw_ = value;
  Changed(nullptr);
}

void TMenu::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == TOperation::opRemove && component == images_) images_ = nullptr;
}

void TMenu::Changed(TMenuItem*) {
  if (Loading() || Destroying()) return;
  if (HWND window = WindowHandle()) SendMessageW(window, CM_MENUCHANGED, 0, reinterpret_cast<LPARAM>(this));
}

TMenuItemPainter& TMenu::Painter() {
  if (!painters_.empty()) return *painters_.back()->Painter;
  if (!ownPainter_) ownPainter_ = std::make_unique<TMenuItemPainter>();
  return *ownPainter_;
}

HMENU TMenu::BeginShow(std::vector<TMenuItem*>& commands, int dpi) {
  UniqueMenu menu(CreatePopupMenu());
  if (!menu) throw EOutOfResources("Out of system resources");
  items_->BuildInto(menu.get(), commands, DrawsItems());
  RecordShown(menu.get(), commands, dpi);
  return menu.release();
}

void TMenu::RecordShown(HMENU menu, const std::vector<TMenuItem*>& commands, int dpi) {
  handle_ = menu;
  shownDpi_ = dpi;
  shownPopups_.clear();
  CollectPopups(handle_, shownPopups_);
  shownItems_.assign(commands.begin(), commands.end());
  // Items with sub-items and lines are drawn too, though they carry no command.
  for (HMENU popup : shownPopups_) {
    const int count = GetMenuItemCount(popup);
    for (int i = 0; i < count; ++i) {
      MENUITEMINFOW info{};
      info.cbSize = sizeof(info);
      info.fMask = MIIM_DATA;
      if (GetMenuItemInfoW(popup, static_cast<UINT>(i), TRUE, &info) && info.dwItemData)
        shownItems_.push_back(reinterpret_cast<const TMenuItem*>(info.dwItemData));
    }
  }
}

void TMenu::EndShow() {
  handle_ = nullptr;
  shownDpi_ = 0;
  shownPopups_.clear();
  shownItems_.clear();
}

int TMenu::ShownDpi() const { return shownDpi_ > 0 ? shownDpi_ : WindowDpi(WindowHandle()); }

bool TMenu::OwnsPopup(HMENU popup) const {
  return std::find(shownPopups_.begin(), shownPopups_.end(), popup) != shownPopups_.end();
}

const TMenuItem* TMenu::ShownItem(ULONG_PTR data) const {
  const auto* item = reinterpret_cast<const TMenuItem*>(data);
  return std::find(shownItems_.begin(), shownItems_.end(), item) != shownItems_.end() ? item : nullptr;
}

bool TMenu::MenuChar(wchar_t key, HMENU popup, LRESULT& result) const {
  const auto upper = [](wchar_t c) {
    CharUpperBuffW(&c, 1);
    return c;
  };
  std::vector<int> matches;
  int selected = -1;
  bool ours = false;
  const int count = GetMenuItemCount(popup);
  for (int i = 0; i < count; ++i) {
    if (GetMenuState(popup, static_cast<UINT>(i), MF_BYPOSITION) & MF_HILITE) selected = i;
    MENUITEMINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_DATA;
    if (!GetMenuItemInfoW(popup, static_cast<UINT>(i), TRUE, &info)) continue;
    const TMenuItem* item = ShownItem(info.dwItemData);
    ours = ours || item;
    if (!item || item->IsLine()) continue;
    const wchar_t accelerator = MenuAccelerator(CaptionPart(item->Caption()));
    if (accelerator && upper(accelerator) == upper(key)) matches.push_back(i);
  }
  // A menu bar holds only entries the system draws and finds by key itself (Alt+Space included).
  if (!ours) return false;
  if (matches.empty()) {
    result = MAKELRESULT(0, MNC_IGNORE);
  } else if (matches.size() == 1) {
    // As the system does for its own items: one match runs, several are stepped through.
    const bool enabled = !(GetMenuState(popup, static_cast<UINT>(matches[0]), MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED));
    result = MAKELRESULT(matches[0], enabled ? MNC_EXECUTE : MNC_SELECT);
  } else {
    const auto next = std::upper_bound(matches.begin(), matches.end(), selected);
    result = MAKELRESULT(next == matches.end() ? matches.front() : *next, MNC_SELECT);
  }
  return true;
}

bool TMenu::DispatchMenuMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (!handle_) return false;
  switch (msg) {
    case WM_MEASUREITEM: {
      auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      if (measure->CtlType != ODT_MENU) return false;
      const TMenuItem* item = ShownItem(measure->itemData);
      if (!item) return false;
      Painter().Measure(*item, *measure, ShownDpi());
      result = TRUE;
      return true;
    }
    case WM_DRAWITEM: {
      const auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (draw->CtlType != ODT_MENU) return false;
      const TMenuItem* item = ShownItem(draw->itemData);
      if (!item) return false;
      Painter().Draw(*item, *draw, ShownDpi());
      result = TRUE;
      return true;
    }
    case WM_MENUCHAR: {
      const auto popup = reinterpret_cast<HMENU>(lParam);
      return DrawsItems() && OwnsPopup(popup) && MenuChar(static_cast<wchar_t>(LOWORD(wParam)), popup, result);
    }
    case WM_INITMENUPOPUP: {
      // Told, not claimed: the window's own handling of the popup goes on.
      const auto popup = reinterpret_cast<HMENU>(wParam);
      if (OwnsPopup(popup)) Painter().InitPopup(popup);
      return false;
    }
    default: return false;
  }
}

const TClassInfo& TPopupMenu::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TPopupMenu>("TPopupMenu", &TMenu::StaticClassInfo())
                                     .Creatable()
                                     .Property("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::SetAutoPopup)
                                     .Event("OnPopup", &TPopupMenu::OnPopup);
  return info;
}

// What Popup keeps on its stack while the menu is up, so that a menu object freed meanwhile (its
// window destroyed under it) is no longer reached, and the Win32 menu lives until the system is
// done with it.
struct TPopupShowing {
  UniqueMenu Menu;
  bool Destroyed = false;
  TWindowSubclass Route;
};

TPopupMenu::TPopupMenu(TComponent* owner) : TMenu(owner) {}

TPopupMenu::~TPopupMenu() {
  if (!showing_) return;
  showing_->Destroyed = true;
  showing_->Route.Detach();
  EndShow();
}

HWND TPopupMenu::WindowHandle() const {
  // An owner being freed takes its items with it: nobody is left to hear of that.
  auto* control = dynamic_cast<TWinControl*>(Owner());
  return control && !control->Destroying() && control->HandleAllocated() ? control->Handle() : nullptr;
}

void TPopupMenu::Popup(int x, int y, HWND owner) {
  // The system shows one menu at a time; a second request while this one is up is dropped.
  if (showing_) return;
  if (OnPopup) OnPopup(this);
  if (!owner) {
    TControlHost* host = ControlHost();
    owner = host ? host->Handle() : nullptr;
  }
  std::vector<TMenuItem*> commands;
  TPopupShowing showing;
  showing.Menu.reset(BeginShow(commands, MonitorDpi(MonitorFromPoint({x, y}, MONITOR_DEFAULTTONEAREST))));
  const HMENU menu = showing.Menu.get();
  showing_ = &showing;
  // The owner hears of the menu's items; they are this menu's to measure, draw and find by key.
  // Without the route (a window of another thread) the menu still works, drawn as the system does.
  (void)showing.Route.Attach(owner, [this, &showing](HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (DispatchMenuMessage(msg, wParam, lParam, result)) return result;
    return showing.Route.Default(window, msg, wParam, lParam);
  });
  const UINT chosen = static_cast<UINT>(
      TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN, x, y, 0, owner, nullptr));
  if (showing.Destroyed) return;
  showing.Route.Detach();
  showing_ = nullptr;
  EndShow();
  // Lets the menu's window go away before a command opens another window.
  PostMessageW(owner, WM_NULL, 0, 0);
  if (chosen > 0 && chosen <= commands.size()) commands[chosen - 1]->Click();
}
