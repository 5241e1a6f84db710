#pragma once
// TSkinComBox: a drop-down combo box (with an edit, or a list only) dressed as the drop-down family
// does (SkinDropDown.h). A combo box whose list is always shown has no drop-down button and keeps
// its ordinary look. Its edit is followed for hover, so the box looks hot wherever the pointer is
// over it.
#include <memory>

#include "skin/win/controls/SkinDropDown.h"

class TSkinEdit;

class TSkinComBox : public TSkinDropDown {
public:
  TSkinComBox();
  ~TSkinComBox() override;

  void Attach(TSkinForm* form, TSkinData& data, int mode, TControl& control, TPaintBuffer* canvas = nullptr) override;
  [[nodiscard]] bool AttachHandle(HWND window, TSkinData& data, TSkinForm* form, TPaintBuffer* canvas = nullptr) override;

protected:
  bool Dressable() const override;
  bool DroppedDown() const override;
  TRect FieldRect(const TRect& whole) const override;
  TRect ButtonHitRect() const override;

private:
  bool ListOnly() const;
  void AttachEdit();

  std::unique_ptr<TSkinEdit> edit_;
};
