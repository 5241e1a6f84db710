#pragma once
// Drives the real reminder windows the way the program does: the alarm's tick shows them
// modally, and the test acts from inside that modal loop through a one-shot timer.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/classes/Events.h"
#include "framework/controls/Controls.h"

class TCustomForm;

namespace reminder_test {

// Errors that reached the application's default error handler since the last Clear.
std::vector<std::string>& Errors();

// The clock every window reads; tests move it.
void SetClock(int hour, int minute, int second);

// Runs script from inside the next modal loop (or message pump) that dispatches messages.
void Soon(std::function<void()> script);

// Lets the message loop run for that long, or until condition holds.
void Pump(int milliseconds);
bool PumpUntil(const std::function<bool()>& condition, int milliseconds);

// Arms the main window so that its next tick fires: worked time since workStart, lock-screen
// option and exercise mode as given; then runs the tick, which blocks while the reminder is up.
// script runs inside the reminder's modal loop and must end it (a script that does not is
// ended by force, and the test fails).
struct Alarm {
  bool lockScreen = false;
  bool exercise = true;
  int lockSeconds = 30;
  std::string workStart;  // time text; empty means "as long ago as the alarm": zero worked time
};
void Fire(const Alarm& alarm, const std::function<void()>& script);
// As Fire, but the reminder runs in its own modal loop while driver acts on it from another
// thread, as another program would. A reminder still up after the driver returned is closed.
void FireAndDrive(const Alarm& alarm, const std::function<void(HWND reminder)>& driver);
bool WaitUntilHidden(HWND window, int milliseconds);

// A real mouse click, through the window's messages, at the middle of control.
void ClickAt(TControl& control);
// A click on a push button through the button's own window.
void PressButton(TWinControl& button);
// Keys through the system's input queue, as a user would type them (key down, then key up;
// a modifier is held around the key).
void Type(uint16_t key, uint16_t modifier = 0);

// The pointer's display counter (visible while it is 0 or more).
int CursorCount();
bool TaskbarVisible();

std::string AudioPath();
uint64_t FileSize(const std::string& path);  // 0 when missing
bool FileExists(const std::string& path);
// Writes a small file that is not the audio, read-only when asked.
void WriteStale(const std::string& path, bool readOnly = false);
void RemoveFile(const std::string& path);
// The size of the MP3 resource the test program carries.
uint64_t AudioResourceSize();

}  // namespace reminder_test
