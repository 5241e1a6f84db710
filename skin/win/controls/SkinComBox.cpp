#include "skin/win/controls/SkinComBox.h"

#include "skin/win/controls/SkinEdit.h"
#include "skin/win/controls/SkinFieldFrame.h"

TSkinComBox::TSkinComBox() = default;
TSkinComBox::~TSkinComBox() = default;

void TSkinComBox::Attach(TSkinForm* form, TSkinData& data, int mode, TControl& control, TPaintBuffer* canvas) {
  TSkinDropDown::Attach(form, data, mode, control, canvas);
  AttachEdit();
}

bool TSkinComBox::AttachHandle(HWND window, TSkinData& data, TSkinForm* form, TPaintBuffer* canvas) {
  if (!TSkinDropDown::AttachHandle(window, data, form, canvas)) return false;
  AttachEdit();
  return true;
}

void TSkinComBox::AttachEdit() {
  COMBOBOXINFO info{sizeof(info)};
  if (!Handle() || !Dressable() || !GetComboBoxInfo(Handle(), &info) || !info.hwndItem || info.hwndItem == Handle())
    return;
  auto edit = std::make_unique<TSkinEdit>();
  edit->SetHost(Handle());
  if (edit->AttachHandle(info.hwndItem, *Data(), Form())) edit_ = std::move(edit);
}

bool TSkinComBox::Dressable() const {
  // Other classes use the same style bits for other things.
  COMBOBOXINFO info{sizeof(info)};
  if (!GetComboBoxInfo(Handle(), &info)) return false;
  const LONG_PTR kind = WindowStyle() & 3;
  return kind == CBS_DROPDOWN || kind == CBS_DROPDOWNLIST;
}

bool TSkinComBox::ListOnly() const { return (WindowStyle() & 3) == CBS_DROPDOWNLIST; }

bool TSkinComBox::DroppedDown() const { return SendMessageW(Handle(), CB_GETDROPPEDSTATE, 0, 0) != 0; }

TRect TSkinComBox::FieldRect(const TRect&) const {
  COMBOBOXINFO info{sizeof(info)};
  if (!GetComboBoxInfo(Handle(), &info)) return {};
  const POINT origin = ClientOriginInWindow(Handle());
  return {info.rcItem.left + origin.x, info.rcItem.top + origin.y, info.rcItem.right + origin.x,
          info.rcItem.bottom + origin.y};
}

TRect TSkinComBox::ButtonHitRect() const {
  RECT client{};
  GetClientRect(Handle(), &client);
  // A list-only box drops down wherever it is clicked.
  if (ListOnly()) return {0, 0, client.right, client.bottom};
  COMBOBOXINFO info{sizeof(info)};
  if (!GetComboBoxInfo(Handle(), &info)) return {};
  return {info.rcButton.left, info.rcButton.top, info.rcButton.right, info.rcButton.bottom};
}
