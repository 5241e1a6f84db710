#pragma once
// Standard controls: labels (windowless), push buttons, check boxes, radio buttons, group boxes,
// edits and memos.
#include <string>
#include <vector>

#include "framework/controls/Controls.h"

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
enum class TTextLayout { tlTop, tlCenter, tlBottom };
enum class TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

const TEnumNames& AlignmentNames();

class TLabel : public TGraphicControl {
public:
  BREVIN_CLASS_INFO()
  explicit TLabel(TComponent* owner);

  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment a);
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout layout);
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool value);

  void SetText(const std::string& text) override;
  void SetBounds(int left, int top, int width, int height) override;
  void Loaded() override;

protected:
  void Paint() override;
  void FontChanged() override;
  UINT TextFlags() const;
  void AdjustBounds();

private:
  TAlignment alignment_ = TAlignment::taLeftJustify;
  bool autoSize_ = true;
  bool wordWrap_ = false;
  bool transparent_ = false;
  TTextLayout layout_ = TTextLayout::tlTop;
  bool showAccelChar_ = true;
  bool adjusting_ = false;
};

class TButton : public TWinControl {
public:
  BREVIN_CLASS_INFO()
  explicit TButton(TComponent* owner);
  TModalResult ModalResult() const { return modalResult_; }
  void SetModalResult(TModalResult result) { modalResult_ = result; }
  bool Default() const { return default_; }
  void SetDefault(bool value) { default_ = value; }
  bool Cancel() const { return cancel_; }
  void SetCancel(bool value) { cancel_ = value; }
  // Sets the form's modal result (when the button has one), then runs OnClick.
  void Click() override;
  void WndProc(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  bool ClicksOnMouseUp() const override { return false; }

private:
  TModalResult modalResult_ = mrNone;
  bool default_ = false;
  bool cancel_ = false;
};

// Check boxes and radio buttons keep their state themselves; the window only shows it.
class TButtonControl : public TWinControl {
public:
  BREVIN_CLASS_INFO()
  explicit TButtonControl(TComponent* owner);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment a);

protected:
  bool ClicksOnMouseUp() const override { return false; }
  void CreateWindowHandleDone() override;
  virtual WPARAM CheckState() const = 0;

private:
  TAlignment alignment_ = TAlignment::taRightJustify;
};

class TCheckBox : public TButtonControl {
public:
  BREVIN_CLASS_INFO()
  explicit TCheckBox(TComponent* owner);
  bool Checked() const { return state_ == TCheckBoxState::cbChecked; }
  void SetChecked(bool checked) { SetState(checked ? TCheckBoxState::cbChecked : TCheckBoxState::cbUnchecked); }
  TCheckBoxState State() const { return state_; }
  // A change runs OnClick, whether the user or the program made it.
  void SetState(TCheckBoxState state);
  bool AllowGrayed() const { return allowGrayed_; }
  void SetAllowGrayed(bool value) { allowGrayed_ = value; }
  void WndProc(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  WPARAM CheckState() const override;

private:
  TCheckBoxState state_ = TCheckBoxState::cbUnchecked;
  bool allowGrayed_ = false;
};

class TRadioButton : public TButtonControl {
public:
  BREVIN_CLASS_INFO()
  explicit TRadioButton(TComponent* owner);
  bool Checked() const { return checked_; }
  // Checking clears the other radio buttons of the same parent and runs OnClick.
  void SetChecked(bool checked);
  void WndProc(TMessage& message) override;

protected:
  void CreateParams(TCreateParams& params) override;
  WPARAM CheckState() const override { return checked_ ? BST_CHECKED : BST_UNCHECKED; }

private:
  bool checked_ = false;
};

class TGroupBox : public TCustomControl {
public:
  BREVIN_CLASS_INFO()
  explicit TGroupBox(TComponent* owner);
  void SetText(const std::string& text) override;

protected:
  void Paint() override;
  void AdjustClientRect(TRect& rect) const override;
};

class TCustomEdit : public TWinControl {
public:
  BREVIN_CLASS_INFO()
  explicit TCustomEdit(TComponent* owner);
  std::string Text() const { return GetText(); }
  void SetTextValue(const std::string& text) { SetText(text); }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool value);
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int value);
  void SelectAll();
  void WndProc(TMessage& message) override;
  TNotifyEvent OnChange;

protected:
  void CreateParams(TCreateParams& params) override;
  void CreateWindowHandleDone() override;
  bool ClicksOnMouseUp() const override { return false; }

private:
  bool readOnly_ = false;
  int maxLength_ = 0;
};

class TEdit : public TCustomEdit {
public:
  BREVIN_CLASS_INFO()
  explicit TEdit(TComponent* owner) : TCustomEdit(owner) {}
};

class TMemo : public TCustomEdit {
public:
  BREVIN_CLASS_INFO()
  explicit TMemo(TComponent* owner);
  std::vector<std::string> Lines() const;
  void SetLines(const std::vector<std::string>& lines);
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle style);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool value);

protected:
  void CreateParams(TCreateParams& params) override;

private:
  TScrollStyle scrollBars_ = TScrollStyle::ssNone;
  bool wordWrap_ = true;
};
