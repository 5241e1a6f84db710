#include "skin/model/NCObject.h"

void TNCHotSlot::Clear() {
  if (hot_) hot_->state_ = TNCObject::kNormal;
  hot_ = nullptr;
}

TNCObject::~TNCObject() {
  if (IsHot()) slot_.hot_ = nullptr;
}

void TNCObject::TakeHot() {
  if (slot_.hot_ && slot_.hot_ != this) slot_.hot_->MouseLeave();
  slot_.hot_ = this;
}

void TNCObject::Become(int state) {
  state_ = state;
  Paint();
}

void TNCObject::MouseDown() {
  TakeHot();
  Become(kPressed);
}

void TNCObject::MouseUp() { Become(kHot); }

void TNCObject::MouseEnter() {
  if (IsHot()) return;
  TakeHot();
  Become(kHot);
}

void TNCObject::MouseLeave() {
  if (IsHot()) slot_.hot_ = nullptr;
  Become(kNormal);
}
