#include "skin/win/menus/SkinMenuUnit.h"

#include "framework/controls/Forms.h"
#include "framework/controls/MainMenu.h"
#include "framework/controls/Messages.h"
#include "framework/graphics/Graphics.h"
#include "framework/win32/Dpi.h"
#include "skin/model/SkinSettings.h"
#include "skin/win/data/SkinDataUnit.h"
#include "skin/win/data/SkinObjectDraw.h"

namespace {

// The popup's items are drawn inside this band of its background picture, which frames them (at
// 96 dpi).
constexpr int kPopupInset = 3;
// Not in every SDK's headers: asks a popup-menu window for the menu it shows.
constexpr UINT kMenuGetHandle = 0x01E1;

TRect ToTRect(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

}  // namespace

bool SkinDrawsMenus(const TSkinData& data) {
  return PaintableSkinObject(&data, "MenuItem", kDesignDpi) && PaintableSkinObject(&data, "MenuBackground", kDesignDpi);
}

void TSkinMenuPainter::DrawBackground(HDC dc, const RECT& rect, const TItemState& state) {
  // Items are drawn into the popup's own DC: its window tells the scale.
  const int dpi = WindowDpi(WindowFromDC(dc));
  // An item drawn again when the selection leaves it gets its piece of the popup's background back.
  if (const TDataSkinObject* back = PaintableSkinObject(&data_, "MenuBackground", dpi)) {
    RECT whole = rect;
    if (HWND popup = WindowFromDC(dc)) GetClientRect(popup, &whole);
    SavedDC saved(dc);
    IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
    DrawSkinObject(dc, data_, *back, 1, ToTRect(whole));
  }
  if (!state.Selected) return;
  if (const TDataSkinObject* item = PaintableSkinObject(&data_, "MenuItem", dpi))
    DrawSkinObject(dc, data_, *item, state.Disabled ? 2 : 1, ToTRect(rect));
}

COLORREF TSkinMenuPainter::TextColour(const TItemState& state) {
  const TSkinModel& model = data_.Model();
  if (state.Disabled) {
    const TColor shadow = model.Colour(TSkinColour::ButtonShadow);
    // A shadow colour equal to the text colour would make disabled items look enabled.
    if (ColorToRGB(shadow) == ColorToRGB(model.Colour(TSkinColour::MenuText))) return GetSysColor(COLOR_BTNSHADOW);
    return ColorToRGB(shadow);
  }
  return ColorToRGB(model.Colour(state.Selected ? TSkinColour::HilightText : TSkinColour::MenuText));
}

void TSkinMenuHooks::Attach(TComponent& owner, const TSkinData& data) {
  Detach();
  if (!(data.SkinControls() & SkinBit(xcPopupMenu)) || !SkinDrawsMenus(data)) return;
  std::vector<TMenu*> menus;
  for (int i = 0; i < owner.ComponentCount(); ++i)
    if (auto* menu = dynamic_cast<TPopupMenu*>(owner.Components(i))) menus.push_back(menu);
  // The bar's drop-downs are popup menus too; the bar entries are the skinned bar's to draw.
  if (auto* form = dynamic_cast<TCustomForm*>(&owner); form && form->Menu()) menus.push_back(form->Menu());
  for (TMenu* menu : menus) {
    if (menu->Tag == data.DisableTag()) continue;
    if (!painter_) painter_ = std::make_unique<TSkinMenuPainter>(data);
    hooks_.push_back(std::make_unique<TMenuPaintHook>());
    hooks_.back()->Attach(*menu, *painter_);
  }
}

void TSkinMenuHooks::AttachSystemMenu(TPopupMenu& menu, const TSkinData& data) {
  // The system menu is built afresh for every opening; hooks of menus gone are dropped.
  std::erase_if(hooks_, [](const auto& hook) { return !hook->Menu(); });
  if (!(data.SkinControls() & SkinBit(xcSystemMenu)) || !SkinDrawsMenus(data)) return;
  if (!painter_) painter_ = std::make_unique<TSkinMenuPainter>(data);
  hooks_.push_back(std::make_unique<TMenuPaintHook>());
  hooks_.back()->Attach(menu, *painter_);
}

void TSkinMenuHooks::Detach() {
  hooks_.clear();
  painter_.reset();
}

TSkinPopupWindow::TSkinPopupWindow(HWND window, const TSkinData& data, std::function<bool()> enabled,
                                   bool systemMenu)
    : window_(window), data_(data), enabled_(std::move(enabled)), systemMenu_(systemMenu) {
  // A popup that cannot be subclassed keeps the system's look.
  (void)subclass_.Attach(window, [this](HWND w, UINT msg, WPARAM wParam, LPARAM lParam) {
    return Dispatch(w, msg, wParam, lParam);
  });
}

LRESULT TSkinPopupWindow::Dispatch(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == kSkinQueryMessage) return 1;
  if (!enabled_ || !enabled_()) return subclass_.Default(window, msg, wParam, lParam);
  switch (msg) {
    case WM_DESTROY: {
      const LRESULT result = subclass_.Default(window, msg, wParam, lParam);
      subclass_.Detach();
      return result;
    }
    case WM_ERASEBKGND:
      if (!(data_.Options() & SkinBit(xoMenuBG))) subclass_.Default(window, msg, wParam, lParam);
      return 1;
    case WM_PRINTCLIENT: return PrintClient(reinterpret_cast<HDC>(wParam), lParam);
    case WM_PAINT: return Paint();
    case WM_NCPAINT: return NcPaint(wParam, lParam);
    default: return subclass_.Default(window, msg, wParam, lParam);
  }
}

LRESULT TSkinPopupWindow::PrintClient(HDC dc, LPARAM flags) {
  const int dpi = WindowDpi(window_);
  const TDataSkinObject* back = PaintableSkinObject(&data_, "MenuBackground", dpi);
  if (!back) return subclass_.Default(window_, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), flags);
  RECT client{};
  GetClientRect(window_, &client);
  HDC buffer = background_.Prepare(dc, client.right, client.bottom);
  DrawSkinObject(buffer, data_, *back, 1, ToTRect(client));
  BitBlt(dc, 0, 0, client.right, client.bottom, buffer, 0, 0, SRCCOPY);

  SavedDC saved(dc);
  const int inset = ScaleToDpi(kPopupInset, dpi);
  IntersectClipRect(dc, inset, inset, client.right - inset, client.bottom - inset);
  SetBkMode(dc, TRANSPARENT);
  // The system fills the popup with the menu's background brush before its items: a hollow brush
  // for the time of this drawing leaves the skin's picture under them.
  MENUINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = MIM_BACKGROUND;
  const auto menu = reinterpret_cast<HMENU>(SendMessageW(window_, kMenuGetHandle, 0, 0));
  const bool swapped = menu && GetMenuInfo(menu, &info);
  const HBRUSH own = info.hbrBack;
  if (swapped) {
    info.hbrBack = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    SetMenuInfo(menu, &info);
  }
  subclass_.Default(window_, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), flags);
  if (swapped) {
    info.hbrBack = own;
    SetMenuInfo(menu, &info);
  }
  return 0;
}

LRESULT TSkinPopupWindow::Paint() {
  // Painting goes through WM_PRINTCLIENT, as newer systems do for their menus themselves, so that
  // the background is drawn where the system would otherwise paint its own.
  if (!PaintableSkinObject(&data_, "MenuBackground", WindowDpi(window_))) return subclass_.Default(window_, WM_PAINT, 0, 0);
  PAINTSTRUCT paint{};
  HDC dc = BeginPaint(window_, &paint);
  if (dc) SendMessageW(window_, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  EndPaint(window_, &paint);
  return 0;
}

LRESULT TSkinPopupWindow::NcPaint(WPARAM wParam, LPARAM lParam) {
  const TDataSkinObject* back = PaintableSkinObject(&data_, "MenuBackground", WindowDpi(window_));
  if (!back) return subclass_.Default(window_, WM_NCPAINT, wParam, lParam);
  RECT bounds{};
  GetWindowRect(window_, &bounds);
  POINT origin{0, 0};
  ClientToScreen(window_, &origin);
  RECT client{};
  GetClientRect(window_, &client);
  OffsetRect(&client, origin.x - bounds.left, origin.y - bounds.top);
  OffsetRect(&bounds, -bounds.left, -bounds.top);
  // A popup without a frame of its own is framed by its background picture.
  if (EqualRect(&bounds, &client)) return 0;
  WindowFrameDC dc(window_);
  if (!dc.get()) return 0;
  SavedDC saved(dc.get());
  ExcludeClipRect(dc.get(), client.left, client.top, client.right, client.bottom);
  DrawSkinObject(dc.get(), data_, *back, 1, ToTRect(bounds));
  return 0;
}
