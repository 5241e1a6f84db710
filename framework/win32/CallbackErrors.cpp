#include "framework/win32/CallbackErrors.h"

#include <atomic>

namespace {
std::atomic<TCallbackErrorSink> sink{nullptr};
}

void SetCallbackErrorSink(TCallbackErrorSink newSink) { sink = newSink; }

void ReportCallbackError(std::exception_ptr error) noexcept {
  const TCallbackErrorSink to = sink;
  if (!to) return;
  try {
    to(error);
  } catch (...) {
    // The sink itself failed: there is nowhere left to report to, and unwinding is not allowed.
  }
}
