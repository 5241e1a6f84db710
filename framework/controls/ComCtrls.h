#pragma once
// Common controls: page control with tab sheets, and the date-time picker.
#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "framework/controls/Controls.h"
#include "framework/controls/ImgList.h"
#include "framework/core/Clock.h"

enum class TTabStyle { tsTabs, tsButtons, tsFlatButtons };

class TTabSheet;

class TPageControl : public TWinControl {
public:
  BREVIN_CLASS_INFO()
  explicit TPageControl(TComponent* owner);
  ~TPageControl() override;

  int PageCount() const { return static_cast<int>(pages_.size()); }
  TTabSheet* Pages(int index) const { return pages_.at(static_cast<size_t>(index)); }
  TTabSheet* ActivePage() const { return activePage_; }
  // Shows the page, hides the old one; the new page's OnShow runs, then the old one's OnHide.
  // A page made active while the layout is read has its OnShow when the form is first shown.
  // When a window of the page's controls cannot be made, the error goes out and the old page
  // stays active and shown.
  void SetActivePage(TTabSheet* page);
  int ActivePageIndex() const;
  void SetActivePageIndex(int index);
  TTabStyle Style() const { return style_; }
  void SetStyle(TTabStyle style);
  bool MultiLine() const { return multiLine_; }
  void SetMultiLine(bool value);
  TImageList* Images() const { return images_; }
  void SetImages(TImageList* images);
  void WndProc(TMessage& message) override;
  // The next page whose tab shows, wrapping at the ends, as a click on its tab would choose it.
  bool SelectNextPage(bool forward) override;

  TNotifyEvent OnChange;

  // Kept in step by the tab sheets.
  void InsertPage(TTabSheet* page);
  void RemovePage(TTabSheet* page);
  void UpdateTab(TTabSheet* page);
  void RebuildTabs();

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWindowHandleDone() override;
  void AdjustClientRect(TRect& rect) const override;
  void Notification(TComponent* component, TOperation operation) override;
  void ChangeScale(int toDpi, int fromDpi) override;

private:
  // Gives the tab control the images at the control's scale.
  void ApplyImages();
  void ApplyPadding();
  int TabIndexOf(const TTabSheet* page) const;
  void RunPendingShow();
  TTabSheet* PageOfTab(int tab) const;

  std::vector<TTabSheet*> pages_;
  TTabSheet* activePage_ = nullptr;
  TTabSheet* showPending_ = nullptr;
  TTabStyle style_ = TTabStyle::tsTabs;
  bool multiLine_ = false;
  TImageList* images_ = nullptr;
};

class TTabSheet : public TCustomControl {
public:
  BREVIN_CLASS_INFO()
  explicit TTabSheet(TComponent* owner);
  ~TTabSheet() override;

  TPageControl* PageControl() const { return pageControl_; }
  void SetPageControl(TPageControl* pageControl);
  int PageIndex() const;
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int index);
  bool TabVisible() const { return tabVisible_; }
  void SetTabVisible(bool visible);
  void SetText(const std::string& text) override;
  void SetParentComponent(TComponent* parent) override;
  // A page's controls get their windows when it is first shown, so that a program starts without
  // the windows of pages nobody has opened yet. Once they are made the form's window is sent
  // CM_CHILDWINDOWSMADE, before the page shows.
  // A page made afresh while shown makes its controls' windows with its own and tells the form so
  // too. A page shown without a window has its controls' windows made with it.
  void SetVisible(bool visible) override;
  bool ChildWindowsPending() const { return childWindowsPending_; }

  TNotifyEvent OnShow;
  TNotifyEvent OnHide;

protected:
  void CreateWnd() override;
  void CreateWindowHandleDone() override;
  bool DefersChildWindows() const override { return childWindowsPending_; }

private:
  friend class TPageControl;
  // The controls' windows left to be made; the form's window is told once they are. What was made
  // before an error stays made, and the page stays pending for the rest.
  void MakeChildWindows();
  void TellChildWindowsMade();
  TPageControl* pageControl_ = nullptr;
  bool childWindowsPending_ = false;
  int imageIndex_ = -1;
  bool tabVisible_ = true;
};

enum class TDateTimeKind { dtkDate, dtkTime };

class TDateTimePicker : public TWinControl {
public:
  BREVIN_CLASS_INFO()
  explicit TDateTimePicker(TComponent* owner);

  TDateTime DateTime() const;
  void SetDateTime(TDateTime value);
  // The time-of-day part; setting it keeps the date.
  TDateTime Time() const;
  void SetTime(TDateTime time);
  TDateTime Date() const;
  void SetDate(TDateTime date);
  TDateTimeKind Kind() const { return kind_; }
  void SetKind(TDateTimeKind kind);
  const std::string& Format() const { return format_; }
  void SetFormat(const std::string& format);
  void WndProc(TMessage& message) override;

  TNotifyEvent OnChange;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWindowHandleDone() override;
  bool ClicksOnMouseUp() const override { return false; }

private:
  TDateTime value_;
  TDateTimeKind kind_ = TDateTimeKind::dtkDate;
  std::string format_;
};

// Conversions between TDateTime and the system's broken-down time.
SYSTEMTIME DateTimeToSystemTime(TDateTime value);
TDateTime SystemTimeToDateTime(const SYSTEMTIME& st);
