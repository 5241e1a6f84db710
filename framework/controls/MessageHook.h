#pragma once
// One owner for one handler in front of a control's own message handling (WndProc), for windowed
// and windowless controls alike. Handlers of several owners run newest first; each decides whether
// the message goes on by calling next. Owners detach in any order, and an owner that outlives its
// control detaches from nothing.
#include <functional>
#include <memory>

#include "framework/controls/Controls.h"

struct TMessageHookEntry;

class TControlMessageHook {
public:
  using Handler = std::function<void(TMessage& message, const TWndMethod& next)>;

  TControlMessageHook() = default;
  ~TControlMessageHook() { Detach(); }
  TControlMessageHook(const TControlMessageHook&) = delete;
  TControlMessageHook& operator=(const TControlMessageHook&) = delete;

  void Attach(TControl& control, Handler handler);
  void Detach();
  // The control, while both exist.
  TControl* Control() const;

private:
  std::shared_ptr<TMessageHookEntry> entry_;
};
