#include "framework/controls/ComCtrls.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "framework/core/DpiScale.h"
#include "framework/win32/Strings.h"

namespace {

// Days from 1970-01-01 of a civil date, and back (proleptic Gregorian calendar).
int64_t DaysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}

void CivilFromDays(int64_t z, int& y, unsigned& m, unsigned& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t yy = static_cast<int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = static_cast<int>(yy + (m <= 2));
}

const int64_t kEpochOffset = DaysFromCivil(1899, 12, 30);

// "14:05:09" or a number of days.
TDateTime DateTimeFromText(const std::string& text) {
  if (text.find(':') != std::string::npos) {
    int h = 0, m = 0, s = 0;
    if (std::sscanf(text.c_str(), "%d:%d:%d", &h, &m, &s) < 2 || h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 59)
      throw EConvertError("'" + text + "' is not a valid time");
    return (h * 3600 + m * 60 + s) / kSecondsPerDay;
  }
  try {
    size_t used = 0;
    const double v = std::stod(text, &used);
    if (used != text.size() || !std::isfinite(v)) throw EConvertError("'" + text + "' is not a valid date and time");
    return v;
  } catch (const std::logic_error&) {
    throw EConvertError("'" + text + "' is not a valid date and time");
  }
}

std::string DateTimeToText(TDateTime value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.10g", value);
  return buffer;
}

}  // namespace

SYSTEMTIME DateTimeToSystemTime(TDateTime value) {
  int64_t days = static_cast<int64_t>(std::floor(value));
  int64_t ms = std::llround((value - static_cast<double>(days)) * kSecondsPerDay * 1000.0);
  if (ms >= 86400000) {
    ++days;
    ms -= 86400000;
  }
  int y;
  unsigned m, d;
  CivilFromDays(days + kEpochOffset, y, m, d);
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(std::clamp(y, 1601, 30827));
  st.wMonth = static_cast<WORD>(m);
  st.wDay = static_cast<WORD>(d);
  st.wDayOfWeek = static_cast<WORD>(((days + kEpochOffset) % 7 + 11) % 7);
  st.wHour = static_cast<WORD>(ms / 3600000);
  st.wMinute = static_cast<WORD>(ms / 60000 % 60);
  st.wSecond = static_cast<WORD>(ms / 1000 % 60);
  st.wMilliseconds = static_cast<WORD>(ms % 1000);
  return st;
}

TDateTime SystemTimeToDateTime(const SYSTEMTIME& st) {
  const int64_t days = DaysFromCivil(st.wYear, st.wMonth, st.wDay) - kEpochOffset;
  return static_cast<double>(days) +
         (st.wHour * 3600000.0 + st.wMinute * 60000.0 + st.wSecond * 1000.0 + st.wMilliseconds) / (kSecondsPerDay * 1000.0);
}

// ---------------------------------------------------------------------------------------------
// TPageControl

const TClassInfo& TPageControl::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TPageControl>("TPageControl", &TWinControl::StaticClassInfo())
          .Creatable()
          .Reference("ActivePage", &TPageControl::ActivePage, &TPageControl::SetActivePage)
          .Enum("Style", &TPageControl::Style, &TPageControl::SetStyle, {{"tsTabs", "tsButtons", "tsFlatButtons"}})
          .Property("MultiLine", &TPageControl::MultiLine, &TPageControl::SetMultiLine)
          .Reference("Images", &TPageControl::Images, &TPageControl::SetImages)
          .Property("TabIndex", &TPageControl::ActivePageIndex, &TPageControl::SetActivePageIndex)
          .Event("OnChange", &TPageControl::OnChange);
  return info;
}

TPageControl::TPageControl(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 289, 193);
  SetTabStop(true);
}

TPageControl::~TPageControl() {
  for (TTabSheet* page : pages_) page->pageControl_ = nullptr;
  pages_.clear();
  DestroyHandle();
}

void TPageControl::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.SystemClassName = WC_TABCONTROLW;
  p.Style |= WS_CLIPCHILDREN;
  if (style_ == TTabStyle::tsButtons) p.Style |= TCS_BUTTONS;
  if (style_ == TTabStyle::tsFlatButtons) p.Style |= TCS_BUTTONS | TCS_FLATBUTTONS;
  if (multiLine_) p.Style |= TCS_MULTILINE;
}

void TPageControl::CreateWindowHandleDone() {
  if (images_) ApplyImages();
  if (CurrentPPI() != kDesignDpi) ApplyPadding();
  RebuildTabs();
}

void TPageControl::ApplyPadding() {
  // The common control's own default room around a tab's label is 6 x 3 pixels, not scaled on
  // every system: at 200 % the labels would touch their tabs' edges.
  if (HandleAllocated())
    SendMessageW(Handle(), TCM_SETPADDING, 0, MAKELPARAM(ScaleToDpi(6, CurrentPPI()), ScaleToDpi(3, CurrentPPI())));
}

void TPageControl::ApplyImages() {
  if (!HandleAllocated()) return;
  const HIMAGELIST list = images_ ? images_->HandleForDpi(CurrentPPI()) : nullptr;
  SendMessageW(Handle(), TCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(list));
}

void TPageControl::ChangeScale(int toDpi, int fromDpi) {
  TWinControl::ChangeScale(toDpi, fromDpi);
  ApplyImages();
  ApplyPadding();
  RebuildTabs();
}

void TPageControl::RebuildTabs() {
  if (!HandleAllocated()) return;
  SendMessageW(Handle(), TCM_DELETEALLITEMS, 0, 0);
  int tab = 0;
  for (TTabSheet* page : pages_) {
    if (!page->tabVisible_) continue;
    std::wstring text = Utf8ToWide(page->Caption());
    TCITEMW item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = text.data();
    item.iImage = page->imageIndex_;
    SendMessageW(Handle(), TCM_INSERTITEMW, static_cast<WPARAM>(tab++), reinterpret_cast<LPARAM>(&item));
  }
  SendMessageW(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(TabIndexOf(activePage_)), 0);
  AlignControls();
}

void TPageControl::UpdateTab(TTabSheet* page) {
  const int tab = TabIndexOf(page);
  if (!HandleAllocated() || tab < 0) return;
  std::wstring text = Utf8ToWide(page->Caption());
  TCITEMW item{};
  item.mask = TCIF_TEXT | TCIF_IMAGE;
  item.pszText = text.data();
  item.iImage = page->imageIndex_;
  SendMessageW(Handle(), TCM_SETITEMW, static_cast<WPARAM>(tab), reinterpret_cast<LPARAM>(&item));
}

int TPageControl::TabIndexOf(const TTabSheet* page) const {
  if (!page || !page->tabVisible_) return -1;
  int tab = 0;
  for (const TTabSheet* p : pages_) {
    if (p == page) return tab;
    if (p->tabVisible_) ++tab;
  }
  return -1;
}

TTabSheet* TPageControl::PageOfTab(int tab) const {
  for (TTabSheet* p : pages_) {
    if (!p->tabVisible_) continue;
    if (tab-- == 0) return p;
  }
  return nullptr;
}

void TPageControl::InsertPage(TTabSheet* page) {
  pages_.push_back(page);
  page->SetVisible(false);
  RebuildTabs();
  if (!activePage_) SetActivePage(page);
}

void TPageControl::RemovePage(TTabSheet* page) {
  const bool wasActive = page == activePage_;
  std::erase(pages_, page);
  if (wasActive) activePage_ = nullptr;
  if (page == showPending_) showPending_ = nullptr;
  RebuildTabs();
  // While the form goes away its pages are not shown one after another.
  const bool ending = Destroying() || (Owner() && Owner()->Destroying());
  if (wasActive && !pages_.empty() && !ending) SetActivePage(pages_.front());
}

void TPageControl::SetActivePage(TTabSheet* page) {
  if (page && page->pageControl_ != this) return;
  if (page == activePage_) return;
  // Before anything changes: the page's controls may fail to get their windows.
  if (page) page->MakeChildWindows();
  TTabSheet* old = activePage_;
  activePage_ = page;
  if (HandleAllocated()) SendMessageW(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(TabIndexOf(page)), 0);
  if (page) {
    page->BringToFront();
    page->SetVisible(true);
  }
  if (old) old->SetVisible(false);
  if (Owner() && Owner()->Destroying()) return;
  if (Loading()) {
    showPending_ = page;
    return;
  }
  showPending_ = nullptr;
  if (page && page->OnShow) page->OnShow(page);
  if (old && old->OnHide) old->OnHide(old);
}

int TPageControl::ActivePageIndex() const {
  auto it = std::find(pages_.begin(), pages_.end(), activePage_);
  return it == pages_.end() ? -1 : static_cast<int>(it - pages_.begin());
}

void TPageControl::SetActivePageIndex(int index) {
  SetActivePage(index >= 0 && index < PageCount() ? pages_[static_cast<size_t>(index)] : nullptr);
}

bool TPageControl::SelectNextPage(bool forward) {
  const int count = PageCount();
  const int from = ActivePageIndex();
  const int base = from >= 0 ? from : (forward ? count - 1 : 0);
  for (int step = 1; step <= count; ++step) {
    const int index = (base + (forward ? step : count - step)) % count;
    TTabSheet* page = pages_[static_cast<size_t>(index)];
    if (index == from || !page->TabVisible()) continue;
    // The focus must not stay on a control that is about to be hidden with its page.
    const HWND focus = GetFocus();
    const bool focusOnOldPage = activePage_ && activePage_->HandleAllocated() && focus &&
                                (focus == activePage_->Handle() || IsChild(activePage_->Handle(), focus));
    SetActivePage(page);
    if (focusOnOldPage && CanFocus()) SetFocus();
    if (OnChange) OnChange(this);
    return true;
  }
  return false;
}

void TPageControl::SetStyle(TTabStyle style) {
  if (style == style_) return;
  style_ = style;
  RecreateWnd();
}

void TPageControl::SetMultiLine(bool value) {
  if (value == multiLine_) return;
  multiLine_ = value;
  RecreateWnd();
}

void TPageControl::SetImages(TImageList* images) {
  images_ = images;
  if (images) FreeNotification(images);
  ApplyImages();
}

void TPageControl::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == TOperation::opRemove && component == images_) SetImages(nullptr);
}

void TPageControl::AdjustClientRect(TRect& rect) const {
  if (!HandleAllocated()) {
    rect.Top += 24;
    return;
  }
  RECT r{rect.Left, rect.Top, rect.Right, rect.Bottom};
  SendMessageW(const_cast<TPageControl*>(this)->Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
  rect = {r.left, r.top, r.right, r.bottom};
}

void TPageControl::RunPendingShow() {
  for (const TControl* c = this; c && c->Parent(); c = c->Parent())
    if (!c->Visible()) return;
  TTabSheet* page = std::exchange(showPending_, nullptr);
  if (page && page->OnShow) page->OnShow(page);
}

void TPageControl::WndProc(TMessage& m) {
  if (m.Msg == CM_SHOWINGCHANGED && m.WParam && showPending_) {
    // Whatever the handler does, the form goes on showing; its error is reported like any other.
    try {
      RunPendingShow();
    } catch (...) {
      HandleDispatchException(std::current_exception());
    }
  }
  if (m.Msg == CN_NOTIFY) {
    const NMHDR* hdr = reinterpret_cast<const NMHDR*>(m.LParam);
    if (hdr->code == TCN_SELCHANGE) {
      TTabSheet* page = PageOfTab(static_cast<int>(SendMessageW(Handle(), TCM_GETCURSEL, 0, 0)));
      if (page && page != activePage_) {
        SetActivePage(page);
        if (OnChange) OnChange(this);
      }
      return;
    }
    if (hdr->code == TCN_SELCHANGING) {
      m.Result = FALSE;
      return;
    }
  }
  TWinControl::WndProc(m);
}

// ---------------------------------------------------------------------------------------------
// TTabSheet

const TClassInfo& TTabSheet::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TTabSheet>("TTabSheet", &TCustomControl::StaticClassInfo())
          .Creatable()
          .Property("ImageIndex", &TTabSheet::ImageIndex, &TTabSheet::SetImageIndex)
          .Property("TabVisible", &TTabSheet::TabVisible, &TTabSheet::SetTabVisible)
          .Property("ParentBackground", &TTabSheet::ParentBackground, &TTabSheet::SetParentBackground)
          .Event("OnShow", &TTabSheet::OnShow)
          .Event("OnHide", &TTabSheet::OnHide);
  return info;
}

TTabSheet::TTabSheet(TComponent* owner) : TCustomControl(owner) {
  SetAlign(TAlign::alClient);
  SetParentColor(true);
}

TTabSheet::~TTabSheet() {
  if (pageControl_) pageControl_->RemovePage(this);
  pageControl_ = nullptr;
  DestroyHandle();
}

void TTabSheet::SetPageControl(TPageControl* pageControl) {
  if (pageControl == pageControl_) return;
  if (pageControl_) pageControl_->RemovePage(this);
  pageControl_ = pageControl;
  SetParent(pageControl);
  if (pageControl) pageControl->InsertPage(this);
}

void TTabSheet::SetParentComponent(TComponent* parent) {
  auto* pageControl = dynamic_cast<TPageControl*>(parent);
  if (!pageControl) throw EInvalidOperation("Tab sheet " + Name() + " must be placed on a page control");
  SetPageControl(pageControl);
}

int TTabSheet::PageIndex() const {
  if (!pageControl_) return -1;
  for (int i = 0; i < pageControl_->PageCount(); ++i)
    if (pageControl_->Pages(i) == this) return i;
  return -1;
}

void TTabSheet::SetImageIndex(int index) {
  imageIndex_ = index;
  if (pageControl_) pageControl_->UpdateTab(this);
}

void TTabSheet::SetTabVisible(bool visible) {
  if (visible == tabVisible_) return;
  tabVisible_ = visible;
  if (pageControl_) pageControl_->RebuildTabs();
}

void TTabSheet::SetText(const std::string& text) {
  TCustomControl::SetText(text);
  if (pageControl_) pageControl_->UpdateTab(this);
}

void TTabSheet::CreateWnd() {
  TCustomControl::CreateWnd();
  // Its controls' windows were made with it: a form already skinned has to hear of them.
  if (!childWindowsPending_) TellChildWindowsMade();
}

void TTabSheet::CreateWindowHandleDone() {
  TCustomControl::CreateWindowHandleDone();
  childWindowsPending_ = !Visible();
}

void TTabSheet::MakeChildWindows() {
  if (!childWindowsPending_) return;
  // Without a window of its own the flag is left from an earlier one: a window made for a shown
  // page comes with its controls' windows.
  if (!HandleAllocated()) {
    childWindowsPending_ = false;
    return;
  }
  CreateChildWindows();
  childWindowsPending_ = false;
  TellChildWindowsMade();
}

void TTabSheet::TellChildWindowsMade() {
  SendMessageW(GetAncestor(Handle(), GA_ROOT), CM_CHILDWINDOWSMADE, reinterpret_cast<WPARAM>(Handle()), 0);
}

void TTabSheet::SetVisible(bool visible) {
  if (visible) MakeChildWindows();
  TCustomControl::SetVisible(visible);
}

// ---------------------------------------------------------------------------------------------
// TDateTimePicker

const TClassInfo& TDateTimePicker::StaticClassInfo() {
  static auto textProperty = [](const char* name, TDateTime (TDateTimePicker::*get)() const,
                                void (TDateTimePicker::*set)(TDateTime)) {
    TPropInfo p{name};
    p.get = [get](const TObject& o) { return DateTimeToText((static_cast<const TDateTimePicker&>(o).*get)()); };
    p.set = [set](TObject& o, const std::string& t) { (static_cast<TDateTimePicker&>(o).*set)(DateTimeFromText(t)); };
    return p;
  };
  static const TClassInfo info =
      TClassBuilder<TDateTimePicker>("TDateTimePicker", &TWinControl::StaticClassInfo())
          .Creatable()
          .Enum("Kind", &TDateTimePicker::Kind, &TDateTimePicker::SetKind, {{"dtkDate", "dtkTime"}})
          .Custom(textProperty("Date", &TDateTimePicker::Date, &TDateTimePicker::SetDate))
          .Custom(textProperty("Time", &TDateTimePicker::Time, &TDateTimePicker::SetTime))
          .Custom(textProperty("DateTime", &TDateTimePicker::DateTime, &TDateTimePicker::SetDateTime))
          .Property("Format", &TDateTimePicker::Format, &TDateTimePicker::SetFormat)
          .Event("OnChange", &TDateTimePicker::OnChange);
  return info;
}

TDateTimePicker::TDateTimePicker(TComponent* owner) : TWinControl(owner), value_(::Now()) {
  SetBounds(0, 0, 186, 21);
  SetTabStop(true);
  SetColor(clWindow);
}

void TDateTimePicker::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.SystemClassName = DATETIMEPICK_CLASSW;
  if (kind_ == TDateTimeKind::dtkTime) p.Style |= DTS_TIMEFORMAT;
}

void TDateTimePicker::CreateWindowHandleDone() {
  if (!format_.empty()) SendMessageW(Handle(), DTM_SETFORMATW, 0, reinterpret_cast<LPARAM>(Utf8ToWide(format_).c_str()));
  SYSTEMTIME st = DateTimeToSystemTime(value_);
  SendMessageW(Handle(), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
}

TDateTime TDateTimePicker::DateTime() const {
  if (!HandleAllocated()) return value_;
  SYSTEMTIME st{};
  if (SendMessageW(const_cast<TDateTimePicker*>(this)->Handle(), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) != GDT_VALID)
    return value_;
  return SystemTimeToDateTime(st);
}

void TDateTimePicker::SetDateTime(TDateTime value) {
  value_ = value;
  if (HandleAllocated()) {
    SYSTEMTIME st = DateTimeToSystemTime(value);
    SendMessageW(Handle(), DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st));
  }
}

TDateTime TDateTimePicker::Time() const {
  const TDateTime v = DateTime();
  return v - std::floor(v);
}

void TDateTimePicker::SetTime(TDateTime time) { SetDateTime(Date() + (time - std::floor(time))); }

TDateTime TDateTimePicker::Date() const { return std::floor(DateTime()); }

void TDateTimePicker::SetDate(TDateTime date) { SetDateTime(std::floor(date) + Time()); }

void TDateTimePicker::SetKind(TDateTimeKind kind) {
  if (kind == kind_) return;
  value_ = DateTime();
  kind_ = kind;
  RecreateWnd();
}

void TDateTimePicker::SetFormat(const std::string& format) {
  format_ = format;
  if (HandleAllocated())
    SendMessageW(Handle(), DTM_SETFORMATW, 0, format.empty() ? 0 : reinterpret_cast<LPARAM>(Utf8ToWide(format).c_str()));
}

void TDateTimePicker::WndProc(TMessage& m) {
  if (m.Msg == CN_NOTIFY && reinterpret_cast<const NMHDR*>(m.LParam)->code == DTN_DATETIMECHANGE) {
    value_ = DateTime();
    if (OnChange && !Loading()) OnChange(this);
    return;
  }
  TWinControl::WndProc(m);
}
