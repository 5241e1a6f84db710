#pragma once
// Errors thrown inside a callback the system calls (window procedures, hooks) must never unwind
// through the system's frames. Such callbacks catch everything and hand it here; the control layer
// sends it on to the application's error handler. Without a sink the error is dropped.
#include <exception>

using TCallbackErrorSink = void (*)(std::exception_ptr error);

void SetCallbackErrorSink(TCallbackErrorSink sink);
// Call from inside a catch block.
void ReportCallbackError(std::exception_ptr error) noexcept;
