#pragma once
// TNCObject: something in a skinned window's non-client area that reacts to the mouse (a caption
// button, a menu-bar item). States: 1 normal, 2 pressed, 3 hot. A window has at most one hot
// object, kept in its TNCHotSlot: an object that becomes hot first makes the previous one leave.
// Every change of state repaints the object.
class TNCObject;

class TNCHotSlot {
public:
  TNCObject* Hot() const { return hot_; }
  // Forgets the hot object without painting it (after a failed paint), leaving it normal.
  void Clear();

private:
  friend class TNCObject;
  TNCObject* hot_ = nullptr;
};

class TNCObject {
public:
  static constexpr int kNormal = 1;
  static constexpr int kPressed = 2;
  static constexpr int kHot = 3;

  explicit TNCObject(TNCHotSlot& slot) : slot_(slot) {}
  virtual ~TNCObject();
  TNCObject(const TNCObject&) = delete;
  TNCObject& operator=(const TNCObject&) = delete;

  int State() const { return state_; }
  bool IsHot() const { return slot_.hot_ == this; }
  bool Enabled = true;

  virtual void MouseDown();
  virtual void MouseUp();
  virtual void MouseEnter();
  virtual void MouseLeave();
  virtual void Paint() = 0;

private:
  friend class TNCHotSlot;
  void TakeHot();
  void Become(int state);

  TNCHotSlot& slot_;
  int state_ = kNormal;
};
