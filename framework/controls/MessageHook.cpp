#include "framework/controls/MessageHook.h"

#include <algorithm>

struct TMessageHookEntry {
  TControl* Control = nullptr;
  TControlMessageHook::Handler Call;
};

namespace {

using Chain = std::vector<std::shared_ptr<TMessageHookEntry>>;

void RunFrom(const Chain& chain, size_t index, TControl& control, TMessage& message) {
  // An entry detached while the message travels is skipped.
  while (index < chain.size() && chain[index]->Control != &control) ++index;
  if (index == chain.size()) {
    control.WndProc(message);
    return;
  }
  chain[index]->Call(message, [&chain, index, &control](TMessage& m) { RunFrom(chain, index + 1, control, m); });
}

}  // namespace

void TControl::RunMessageHooks(TMessage& message) {
  if (messageHooks_.empty()) {
    WndProc(message);
    return;
  }
  // Handlers may attach or detach owners while they run: the copy keeps every entry alive.
  const Chain chain = messageHooks_;
  RunFrom(chain, 0, *this, message);
}

void TControl::DetachMessageHooks() {
  for (const auto& entry : messageHooks_) entry->Control = nullptr;
  messageHooks_.clear();
}

void TControlMessageHook::Attach(TControl& control, Handler handler) {
  Detach();
  entry_ = std::make_shared<TMessageHookEntry>(TMessageHookEntry{&control, std::move(handler)});
  control.messageHooks_.insert(control.messageHooks_.begin(), entry_);
}

void TControlMessageHook::Detach() {
  if (!entry_) return;
  if (TControl* control = entry_->Control) {
    auto& hooks = control->messageHooks_;
    hooks.erase(std::remove(hooks.begin(), hooks.end(), entry_), hooks.end());
    entry_->Control = nullptr;
  }
  entry_.reset();
}

TControl* TControlMessageHook::Control() const { return entry_ ? entry_->Control : nullptr; }
