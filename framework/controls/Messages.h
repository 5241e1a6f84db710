#pragma once
// Messages the framework adds to Win32's. Control messages (CM_) tell a control about changes of
// its own state; control notifications (CN_) are the WM_COMMAND/WM_NOTIFY/WM_CTLCOLOR* messages a
// parent receives, handed back to the child they concern so that the child (and anything hooked
// in front of it) handles them itself.
#include <windows.h>

struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;
};

constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_ACTIVATE = CM_BASE + 0;
constexpr UINT CM_DEACTIVATE = CM_BASE + 1;
// The press a windowless control was given has ended without a release: the mouse capture went
// elsewhere (another window took it, a modal window or menu opened). The control forgets the press.
constexpr UINT CM_CANCELMODE = CM_BASE + 4;
constexpr UINT CM_DIALOGKEY = CM_BASE + 5;
constexpr UINT CM_DIALOGCHAR = CM_BASE + 6;
constexpr UINT CM_FOCUSCHANGED = CM_BASE + 7;
constexpr UINT CM_PARENTFONTCHANGED = CM_BASE + 8;
constexpr UINT CM_PARENTCOLORCHANGED = CM_BASE + 9;
constexpr UINT CM_VISIBLECHANGED = CM_BASE + 11;
constexpr UINT CM_ENABLEDCHANGED = CM_BASE + 12;
constexpr UINT CM_COLORCHANGED = CM_BASE + 13;
constexpr UINT CM_FONTCHANGED = CM_BASE + 14;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 18;
constexpr UINT CM_MOUSEENTER = CM_BASE + 19;
constexpr UINT CM_MOUSELEAVE = CM_BASE + 20;
// Sent to every control of a form that the form is being shown (WParam 1) or hidden (WParam 0).
constexpr UINT CM_SHOWINGCHANGED = CM_BASE + 25;
// Posted to a form that asked to be freed after the current message.
constexpr UINT CM_RELEASE = CM_BASE + 33;
// Performed on a parent when a child joins (LParam 1, after) or leaves (LParam 0, before);
// WParam is the TControl*.
constexpr UINT CM_CONTROLLISTCHANGE = CM_BASE + 44;
// Sent to the top-level window: the windows of the controls on the control whose window is WParam
// were made after the rest of the form's (a page shown for the first time, or one made afresh).
constexpr UINT CM_CHILDWINDOWSMADE = CM_BASE + 45;

constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;
constexpr UINT CN_CTLCOLORLISTBOX = CN_BASE + WM_CTLCOLORLISTBOX;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
constexpr UINT CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;

// Private messages of the program's own windows, kept together so that no two meet on one window.
// The tray icon's message window: the shell's mouse callback, and the tip re-applied after an add.
constexpr UINT kTrayCallbackMessage = WM_USER + 1;
constexpr UINT kTrayReapplyTipMessage = WM_USER + 2;
// The threaded timer's window on the GUI thread: a tick handed over from the worker.
constexpr UINT kTimerSyncMessage = WM_APP + 0x51;
// The rest window: an audio failure, reported once the window is up so that the box stays in front.
constexpr UINT kReportAudioErrorMessage = WM_APP + 0x120;

// The skin engine's messages, sent to a skinned window or control.
// Repaint the non-client area.
constexpr UINT kSkinRepaintFrameMessage = 0x3502;
// Finish skinning now (posted by the manager with LParam 1000).
constexpr UINT kSkinFinishMessage = 0x3503;
// Turn a control skinner's message handling off (WParam 0) or on (WParam 1).
constexpr UINT kSkinControlRoutingMessage = 0x3506;
// Sent to the form: the close glyph of tab LParam of the tab control WParam was pressed; answered 0,
// the tab's page is freed.
constexpr UINT kSkinTabCloseMessage = 0x3507;
// A caption button with an action of its own was released; WParam is the action.
constexpr UINT kSkinCaptionActionMessage = 0x3514;
// Is the caption button with visibility code WParam (1000..2000) and action LParam visible? > 0: yes.
constexpr UINT kSkinCaptionVisibleMessage = 0x3515;
// Sent to the MDI client: the MDI child in WParam was maximised when it finished skinning.
constexpr UINT kSkinMdiChildMaximizedMessage = 0x3516;
// Make the scroll-bar skinner of the child window in WParam afresh.
constexpr UINT kSkinRecreateScrollbarMessage = 0x3517;
// Answered 1 by a window that is skinned already.
constexpr UINT kSkinQueryMessage = 0x3523;
// A menu's items changed (sent to the window that shows the menu).
constexpr UINT CM_MENUCHANGED = CM_BASE + 0x15;
