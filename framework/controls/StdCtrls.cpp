#include "framework/controls/StdCtrls.h"

#include <algorithm>

#include "framework/controls/Forms.h"
#include "framework/win32/Strings.h"

const TEnumNames& AlignmentNames() {
  static const TEnumNames names{{"taLeftJustify", "taRightJustify", "taCenter"}};
  return names;
}

// ---------------------------------------------------------------------------------------------
// TLabel

const TClassInfo& TLabel::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TLabel>("TLabel", &TGraphicControl::StaticClassInfo())
          .Creatable()
          .Enum("Alignment", &TLabel::Alignment, &TLabel::SetAlignment, AlignmentNames())
          .Property("AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize)
          .Property("WordWrap", &TLabel::WordWrap, &TLabel::SetWordWrap)
          .Property("Transparent", &TLabel::Transparent, &TLabel::SetTransparent)
          .Enum("Layout", &TLabel::Layout, &TLabel::SetLayout, {{"tlTop", "tlCenter", "tlBottom"}})
          .Property("ShowAccelChar", &TLabel::ShowAccelChar, &TLabel::SetShowAccelChar);
  return info;
}

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
  SetBounds(0, 0, 65, 17);
  SetParentColor(true);
}

void TLabel::SetAlignment(TAlignment a) {
  alignment_ = a;
  Invalidate();
}

void TLabel::SetAutoSize(bool value) {
  autoSize_ = value;
  AdjustBounds();
}

void TLabel::SetWordWrap(bool value) {
  wordWrap_ = value;
  AdjustBounds();
  Invalidate();
}

void TLabel::SetTransparent(bool value) {
  transparent_ = value;
  Invalidate();
}

void TLabel::SetLayout(TTextLayout layout) {
  layout_ = layout;
  Invalidate();
}

void TLabel::SetShowAccelChar(bool value) {
  showAccelChar_ = value;
  AdjustBounds();
  Invalidate();
}

void TLabel::SetText(const std::string& text) {
  TGraphicControl::SetText(text);
  AdjustBounds();
}

void TLabel::SetBounds(int left, int top, int width, int height) {
  TGraphicControl::SetBounds(left, top, width, height);
  if (!adjusting_ && wordWrap_) AdjustBounds();
}

void TLabel::Loaded() {
  TGraphicControl::Loaded();
  AdjustBounds();
}

void TLabel::FontChanged() {
  TGraphicControl::FontChanged();
  AdjustBounds();
}

UINT TLabel::TextFlags() const {
  UINT flags = DT_EXPANDTABS;
  if (wordWrap_) flags |= DT_WORDBREAK;
  if (!showAccelChar_) flags |= DT_NOPREFIX;
  if (alignment_ == TAlignment::taCenter) flags |= DT_CENTER;
  if (alignment_ == TAlignment::taRightJustify) flags |= DT_RIGHT;
  return flags;
}

void TLabel::AdjustBounds() {
  if (!autoSize_ || Loading() || adjusting_) return;
  std::string text = Caption();
  if (text.empty() || (showAccelChar_ && text == "&")) text += " ";
  WindowDC screen(nullptr);
  TCanvas canvas;
  canvas.SetHandle(screen.get());
  canvas.Font()->Assign(*Font());
  TRect r{0, 0, wordWrap_ ? Width() : 0, 0};
  canvas.DrawText(text, r, TextFlags() | DT_CALCRECT);
  canvas.SetHandle(nullptr);
  int left = Left(), width = r.Width(), height = r.Height();
  const TAlign a = Align();
  if (wordWrap_ || a == TAlign::alTop || a == TAlign::alBottom || a == TAlign::alClient) width = Width();
  if (a == TAlign::alLeft || a == TAlign::alRight || a == TAlign::alClient) height = Height();
  if (alignment_ == TAlignment::taRightJustify && !wordWrap_ && a == TAlign::alNone) left += Width() - width;
  adjusting_ = true;
  SetBounds(left, Top(), width, height);
  adjusting_ = false;
}

void TLabel::Paint() {
  TCanvas& c = *Canvas();
  const TRect client = ClientRect();
  if (!transparent_) {
    c.Brush()->SetStyle(TBrushStyle::bsSolid);
    c.Brush()->SetColor(Color());
    c.FillRect(client);
  }
  c.Brush()->SetStyle(TBrushStyle::bsClear);
  TRect r = client;
  const std::string text = Caption();
  if (layout_ != TTextLayout::tlTop) {
    TRect calc{0, 0, client.Width(), 0};
    c.DrawText(text, calc, TextFlags() | DT_CALCRECT);
    const int offset = layout_ == TTextLayout::tlCenter ? (client.Height() - calc.Height()) / 2 : client.Height() - calc.Height();
    r.Top += offset;
  }
  if (!Enabled()) {
    TRect shadow = r;
    shadow.Left += 1;
    shadow.Top += 1;
    shadow.Right += 1;
    shadow.Bottom += 1;
    c.Font()->SetColor(clBtnHighlight);
    c.DrawText(text, shadow, TextFlags());
    c.Font()->SetColor(clBtnShadow);
  }
  c.DrawText(text, r, TextFlags());
}

// ---------------------------------------------------------------------------------------------
// TButton

const TClassInfo& TButton::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TButton>("TButton", &TWinControl::StaticClassInfo())
                                     .Creatable()
                                     .Property("ModalResult", &TButton::ModalResult, &TButton::SetModalResult)
                                     .Property("Default", &TButton::Default, &TButton::SetDefault)
                                     .Property("Cancel", &TButton::Cancel, &TButton::SetCancel);
  return info;
}

TButton::TButton(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 75, 25);
  SetTabStop(true);
}

void TButton::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.SystemClassName = L"BUTTON";
  p.Style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::Click() {
  if (modalResult_ != mrNone) {
    if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(modalResult_);
  }
  TWinControl::Click();
}

void TButton::WndProc(TMessage& m) {
  if (m.Msg == CN_COMMAND && HIWORD(m.WParam) == BN_CLICKED) {
    Click();
    return;
  }
  TWinControl::WndProc(m);
}

// ---------------------------------------------------------------------------------------------
// TButtonControl, TCheckBox, TRadioButton

const TClassInfo& TButtonControl::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TButtonControl>("TButtonControl", &TWinControl::StaticClassInfo())
          .Enum("Alignment", &TButtonControl::Alignment, &TButtonControl::SetAlignment, AlignmentNames());
  return info;
}

TButtonControl::TButtonControl(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 97, 17);
  SetTabStop(true);
}

void TButtonControl::SetAlignment(TAlignment a) {
  if (a == alignment_) return;
  alignment_ = a;
  RecreateWnd();
}

void TButtonControl::CreateWindowHandleDone() { SendMessageW(Handle(), BM_SETCHECK, CheckState(), 0); }

const TClassInfo& TCheckBox::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TCheckBox>("TCheckBox", &TButtonControl::StaticClassInfo())
          .Creatable()
          .Property("Checked", &TCheckBox::Checked, &TCheckBox::SetChecked)
          .Enum("State", &TCheckBox::State, &TCheckBox::SetState, {{"cbUnchecked", "cbChecked", "cbGrayed"}})
          .Property("AllowGrayed", &TCheckBox::AllowGrayed, &TCheckBox::SetAllowGrayed);
  return info;
}

TCheckBox::TCheckBox(TComponent* owner) : TButtonControl(owner) {}

void TCheckBox::CreateParams(TCreateParams& p) {
  TButtonControl::CreateParams(p);
  p.SystemClassName = L"BUTTON";
  p.Style |= BS_3STATE;
  if (Alignment() == TAlignment::taLeftJustify) p.Style |= BS_LEFTTEXT;
}

WPARAM TCheckBox::CheckState() const {
  return state_ == TCheckBoxState::cbChecked ? BST_CHECKED : state_ == TCheckBoxState::cbGrayed ? BST_INDETERMINATE : BST_UNCHECKED;
}

void TCheckBox::SetState(TCheckBoxState state) {
  if (state == state_) return;
  state_ = state;
  if (HandleAllocated()) SendMessageW(Handle(), BM_SETCHECK, CheckState(), 0);
  if (!Loading()) Click();
}

void TCheckBox::WndProc(TMessage& m) {
  if (m.Msg == CN_COMMAND && HIWORD(m.WParam) == BN_CLICKED) {
    switch (state_) {
      case TCheckBoxState::cbUnchecked:
        SetState(allowGrayed_ ? TCheckBoxState::cbGrayed : TCheckBoxState::cbChecked);
        break;
      case TCheckBoxState::cbGrayed:
        SetState(TCheckBoxState::cbChecked);
        break;
      case TCheckBoxState::cbChecked:
        SetState(TCheckBoxState::cbUnchecked);
        break;
    }
    return;
  }
  TButtonControl::WndProc(m);
}

const TClassInfo& TRadioButton::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TRadioButton>("TRadioButton", &TButtonControl::StaticClassInfo())
                                     .Creatable()
                                     .Property("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked);
  return info;
}

TRadioButton::TRadioButton(TComponent* owner) : TButtonControl(owner) {}

void TRadioButton::CreateParams(TCreateParams& p) {
  TButtonControl::CreateParams(p);
  p.SystemClassName = L"BUTTON";
  p.Style |= BS_RADIOBUTTON;
  if (Alignment() == TAlignment::taLeftJustify) p.Style |= BS_LEFTTEXT;
}

void TRadioButton::SetChecked(bool checked) {
  if (checked == checked_) return;
  checked_ = checked;
  SetTabStop(checked);
  if (HandleAllocated()) SendMessageW(Handle(), BM_SETCHECK, CheckState(), 0);
  if (!checked) return;
  if (Parent()) {
    for (int i = 0; i < Parent()->ControlCount(); ++i) {
      auto* sibling = dynamic_cast<TRadioButton*>(Parent()->Controls(i));
      if (sibling && sibling != this) sibling->SetChecked(false);
    }
  }
  if (!Loading()) Click();
}

void TRadioButton::WndProc(TMessage& m) {
  if (m.Msg == CN_COMMAND && (HIWORD(m.WParam) == BN_CLICKED || HIWORD(m.WParam) == BN_DOUBLECLICKED)) {
    SetChecked(true);
    return;
  }
  TButtonControl::WndProc(m);
}

// ---------------------------------------------------------------------------------------------
// TGroupBox

const TClassInfo& TGroupBox::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TGroupBox>("TGroupBox", &TCustomControl::StaticClassInfo())
          .Creatable()
          .Property("ParentBackground", &TGroupBox::ParentBackground, &TGroupBox::SetParentBackground);
  return info;
}

TGroupBox::TGroupBox(TComponent* owner) : TCustomControl(owner) { SetBounds(0, 0, 185, 105); }

void TGroupBox::SetText(const std::string& text) {
  TCustomControl::SetText(text);
  Invalidate();
}

void TGroupBox::AdjustClientRect(TRect& rect) const {
  WindowDC screen(nullptr);
  SelectedObject font(screen.get(), Font()->Handle());
  TEXTMETRICW tm{};
  GetTextMetricsW(screen.get(), &tm);
  rect.Top += tm.tmHeight;
  rect.Left += 2;
  rect.Right -= 2;
  rect.Bottom -= 2;
}

void TGroupBox::Paint() {
  TCanvas& c = *Canvas();
  const TPoint extent = c.TextExtent("0");
  const int top = extent.Y / 2;
  RECT frame{0, top, Width(), Height()};
  DrawEdge(c.Handle(), &frame, EDGE_ETCHED, BF_RECT);
  const std::string text = Caption();
  if (text.empty()) return;
  TRect r{8, 0, Width() - 8, extent.Y};
  TRect calc = r;
  c.DrawText(text, calc, DT_SINGLELINE | DT_CALCRECT);
  r.Right = std::min(r.Right, calc.Right + 2);
  c.Brush()->SetStyle(TBrushStyle::bsSolid);
  c.Brush()->SetColor(Color());
  c.FillRect({r.Left - 2, r.Top, r.Right, r.Bottom});
  c.Brush()->SetStyle(TBrushStyle::bsClear);
  if (!Enabled()) c.Font()->SetColor(clGrayText);
  c.DrawText(text, r, DT_SINGLELINE);
}

// ---------------------------------------------------------------------------------------------
// TCustomEdit, TEdit, TMemo

const TClassInfo& TCustomEdit::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TCustomEdit>("TCustomEdit", &TWinControl::StaticClassInfo())
                                     .Property("Text", &TCustomEdit::Text, &TCustomEdit::SetTextValue)
                                     .Property("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly)
                                     .Property("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength)
                                     .Event("OnChange", &TCustomEdit::OnChange);
  return info;
}

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
  SetBounds(0, 0, 121, 21);
  SetTabStop(true);
  SetColor(clWindow);
}

void TCustomEdit::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.SystemClassName = L"EDIT";
  p.Style |= ES_AUTOHSCROLL;
  if (readOnly_) p.Style |= ES_READONLY;
  p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::CreateWindowHandleDone() {
  if (maxLength_ > 0) SendMessageW(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
}

void TCustomEdit::SetReadOnly(bool value) {
  readOnly_ = value;
  if (HandleAllocated()) SendMessageW(Handle(), EM_SETREADONLY, value, 0);
}

void TCustomEdit::SetMaxLength(int value) {
  maxLength_ = std::max(value, 0);
  if (HandleAllocated()) SendMessageW(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
}

void TCustomEdit::SelectAll() {
  if (HandleAllocated()) SendMessageW(Handle(), EM_SETSEL, 0, -1);
}

void TCustomEdit::WndProc(TMessage& m) {
  if (m.Msg == CN_COMMAND && HIWORD(m.WParam) == EN_CHANGE) {
    if (OnChange && !Loading()) OnChange(this);
    return;
  }
  TWinControl::WndProc(m);
}

const TClassInfo& TEdit::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TEdit>("TEdit", &TCustomEdit::StaticClassInfo()).Creatable();
  return info;
}

const TClassInfo& TMemo::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TMemo>("TMemo", &TCustomEdit::StaticClassInfo())
          .Creatable()
          .Strings("Lines", &TMemo::Lines, &TMemo::SetLines)
          .Enum("ScrollBars", &TMemo::ScrollBars, &TMemo::SetScrollBars, {{"ssNone", "ssHorizontal", "ssVertical", "ssBoth"}})
          .Property("WordWrap", &TMemo::WordWrap, &TMemo::SetWordWrap);
  return info;
}

TMemo::TMemo(TComponent* owner) : TCustomEdit(owner) { SetBounds(0, 0, 185, 89); }

void TMemo::CreateParams(TCreateParams& p) {
  TCustomEdit::CreateParams(p);
  p.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
  p.Style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
  if (!wordWrap_) p.Style |= ES_AUTOHSCROLL;
  if (scrollBars_ == TScrollStyle::ssVertical || scrollBars_ == TScrollStyle::ssBoth) p.Style |= WS_VSCROLL;
  if (scrollBars_ == TScrollStyle::ssHorizontal || scrollBars_ == TScrollStyle::ssBoth) p.Style |= WS_HSCROLL;
}

std::vector<std::string> TMemo::Lines() const {
  std::vector<std::string> lines;
  const std::string text = GetText();
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

void TMemo::SetLines(const std::vector<std::string>& lines) {
  std::string text;
  for (size_t i = 0; i < lines.size(); ++i) text += (i ? "\r\n" : "") + lines[i];
  SetText(text);
}

void TMemo::SetScrollBars(TScrollStyle style) {
  if (style == scrollBars_) return;
  scrollBars_ = style;
  RecreateWnd();
}

void TMemo::SetWordWrap(bool value) {
  if (value == wordWrap_) return;
  wordWrap_ = value;
  RecreateWnd();
}
