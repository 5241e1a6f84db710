#pragma once
// The application: the hidden top-level window that owns the forms and carries the taskbar
// button, the message loop and the default error handler.
#include <windows.h>

#include <exception>
#include <functional>
#include <string>

#include "framework/classes/Object.h"
#include "framework/controls/Forms.h"

class TApplication : public TComponent, public TFormHost {
public:
  BREVIN_CLASS_INFO()
  TApplication();
  ~TApplication() override;

  // Registers the standard component classes; call once before the first form.
  void Initialize();
  HWND Handle() override;
  const std::string& Title() const { return title_; }
  void SetTitle(const std::string& title);
  std::string ExeName() const;

  TCustomForm* MainForm() const override { return mainForm_; }
  // Creates a form owned by the application; the first one becomes the main form.
  template <typename T>
  void CreateForm(T*& reference) {
    T* form = new T(this);
    reference = form;
    if (!mainForm_) mainForm_ = form;
  }
  void ForgetMainForm() override { mainForm_ = nullptr; }
  // Frees the forms (and other components) the application owns, newest first: the program's
  // last step after Run, so that their destructors (tray icons, players) run while all is alive.
  void DestroyComponents();

  // Shows the main form and dispatches messages until Terminate.
  void Run();
  // Dispatches every waiting message, then returns.
  void ProcessMessages();
  // Waits for one message and dispatches it.
  void HandleMessage() override;
  void Terminate() override;
  bool Terminated() const override { return terminated_; }
  // Taskbar-level minimise and restore (the forms follow their owner window).
  void Minimize() override;
  void Restore();
  void ShowTaskbarButton() override;
  bool ShowMainForm = true;

  // The default error handler: OnException when set, else a message box with the error's
  // text, owned by the active window so that no topmost window hides it.
  void HandleException(const std::exception& error) override;
  void ShowException(const std::exception& error);
  std::function<void(const std::exception& error)> OnException;

  // MessageBoxW owned by the active window, titled with Title when caption is empty.
  int MessageBox(const std::string& text, const std::string& caption, UINT flags);

private:
  static LRESULT CALLBACK AppWndProc(HWND, UINT, WPARAM, LPARAM);
  bool ProcessMessage();

  HWND handle_ = nullptr;
  std::string title_;
  TCustomForm* mainForm_ = nullptr;
  bool terminated_ = false;
};

extern TApplication* Application;
