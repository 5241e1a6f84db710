#pragma once
// One owner for one replacement of a window's procedure. The replacement sits in front of the
// window's own handling (Default() passes a message on); destroying the owner, or the window
// going away, removes it again, in whatever order several owners of one window are released. A
// handler that throws ends that message with result 0; the error goes to the callback error sink.
#include <windows.h>

#include <functional>

class TWindowSubclass {
public:
  using Handler = std::function<LRESULT(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)>;

  TWindowSubclass() = default;
  ~TWindowSubclass() { Detach(); }
  // The owner's address identifies the replacement, so it stays where it is.
  TWindowSubclass(const TWindowSubclass&) = delete;
  TWindowSubclass& operator=(const TWindowSubclass&) = delete;

  // False when the window does not exist, belongs to another thread or cannot be subclassed;
  // nothing changes then.
  [[nodiscard]] bool Attach(HWND window, Handler handler);
  void Detach();
  bool Attached() const { return window_ != nullptr; }
  HWND Window() const { return window_; }
  // The window's handling behind this replacement.
  LRESULT Default(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) const;
  // For the window's chain of replacements: one message through this one's handler.
  LRESULT Run(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);

private:
  HWND window_ = nullptr;
  Handler handler_;
};
