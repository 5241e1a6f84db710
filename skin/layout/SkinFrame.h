#pragma once
// The arithmetic of a skinned window frame, apart from Windows: the frame's metrics taken from the
// border images, the client rectangle inside them, hit testing, where the caption buttons go and
// when they show, which state frame each piece is drawn in, the rectangles of the region, the
// caption text's rectangle and the items of the skinned system menu.
//
// Coordinates are window coordinates: (0, 0) is the window's top-left corner.
//
// Border modes: 0 sizeable, 1 fixed with caption, 2 no caption (the system keeps the frame),
// 3 dialog frame. Window states: 0 normal, 1 maximised, 2 minimised.
#include <functional>
#include <string>
#include <vector>

#include "framework/classes/Types.h"
#include "skin/model/SkinModel.h"
#include "framework/core/DpiScale.h"

enum class TBorderMode { Sizeable = 0, Fixed = 1, NoCaption = 2, Dialog = 3 };
enum class TWindowShow { Normal = 0, Maximized = 1, Minimized = 2 };

struct TFrameMetrics {
  int Left = 0;
  int Caption = 0;
  int Right = 0;
  int Bottom = 0;
  int MenuBar = 0;
  // The display scale the frame is drawn at: the skin model's.
  int Dpi = kDesignDpi;
  // Everything above the client area.
  int Top() const { return Caption + MenuBar; }
  friend bool operator==(const TFrameMetrics&, const TFrameMetrics&) = default;
};

// Each side is its border image's extent across the frame divided by the image's frame count; a
// window without a caption keeps the system's frame, so all of it is zero.
TFrameMetrics SkinFrameMetrics(const TSkinModel& model, TBorderMode mode, int menuBarHeight);

// The client area inside a window of the given size.
TRect SkinClientRect(int width, int height, const TFrameMetrics& metrics);

// Hit-test codes the frame gives out (the system's numbers).
inline constexpr int kHitNowhere = 0;
inline constexpr int kHitCaption = 2;
inline constexpr int kHitMenu = 5;
// The system's answer is kept unless it found nothing or the caption; then the skin's caption band
// (below its top 3 pixels at 96 dpi, which stay for sizing) is the caption and the band under it the
// menu bar.
int SkinHitTest(int systemResult, TPoint windowPoint, const TFrameMetrics& metrics);

// What a caption button's visibility depends on.
struct TCaptionFacts {
  TWindowShow Show = TWindowShow::Normal;
  bool Active = false;
  bool CanMaximize = false;
  bool CanMinimize = false;
  bool HasSystemMenu = false;
  bool DialogFrame = false;
  bool ForeignDialog = false;
  bool MdiChildMaximized = false;
};

// A code from 1000 to 2000 is put to the window itself: (code, action) -> visible.
using TCaptionVisibilityQuery = std::function<bool(int code, int action)>;

// Both visibility codes must allow the button, and its action must be one the window offers.
bool CaptionButtonVisible(const TDataSkinSysButton& button, const TCaptionFacts& facts,
                          const TCaptionVisibilityQuery& query);

inline constexpr int kMdiButtonAlign = 100;

// The rectangle of a caption button by its alignment; empty for one without an image.
// textRect is the caption text's rectangle (alignments 2, 8, 3 and 9 sit beside it); the MDI buttons
// sit in the menu bar, menuBarMargin in from the right border.
TRect CaptionButtonRect(const TDataSkinSysButton& button, int windowWidth, const TRect& textRect,
                        const TFrameMetrics& metrics, int menuBarMargin = 0);
inline bool AlignedToCaptionText(int align) { return align == 2 || align == 8 || align == 3 || align == 9; }

// Border pieces: frame 1 while active or when there is no second frame, else frame 2.
int BorderPieceFrame(bool active, int frameCount);
// Caption buttons: pressed (2) and hot (3) show their own frame when the image has it; a normal one
// shows frame 1, or frame 4 (the inactive look) for an inactive window when the image has four.
int CaptionButtonFrame(int state, bool active, int frameCount);

enum class TBorderPiece { Left, Right, Bottom, Top };
inline constexpr TBorderPiece kBorderPieces[] = {TBorderPiece::Left, TBorderPiece::Right, TBorderPiece::Bottom,
                                                 TBorderPiece::Top};
const char* BorderPieceName(TBorderPiece piece);
TFrameLayout BorderPieceLayout(TBorderPiece piece);
// Where each piece is drawn in a window of the given size.
TRect BorderPieceRect(TBorderPiece piece, int width, int height, const TFrameMetrics& metrics);

// The window region as rectangles: the client part, each solid piece whole, and the non-magenta
// pixels of each transparent piece drawn at its size (a bottom under 2 pixels is always solid, a
// piece without image counts as solid). Empty for a window without area.
std::vector<TRect> SkinRegionRects(const TSkinModel& model, int width, int height, const TFrameMetrics& metrics,
                                   bool active);

// The caption text's rectangle: from the text shift to the right clip, from the vertical shift to
// the caption's bottom, ending before firstRightButton (the left edge of the leftmost visible
// right-aligned caption button; pass the window width when there is none).
TRect CaptionTextRect(const TDataSkinTitle& title, int windowWidth, const TFrameMetrics& metrics,
                      int firstRightButton);
// The gap kept between the caption text and the first right-aligned caption button, at 96 dpi.
inline constexpr int kCaptionTextGap = 4;

// System commands (the system's numbers).
inline constexpr unsigned kScSize = 0xF000;
inline constexpr unsigned kScMove = 0xF010;
inline constexpr unsigned kScMinimize = 0xF020;
inline constexpr unsigned kScMaximize = 0xF030;
inline constexpr unsigned kScClose = 0xF060;
inline constexpr unsigned kScRestore = 0xF120;

// One item of the window's system menu as the system holds it.
struct TSystemMenuEntry {
  std::string Text;
  unsigned Command = 0;
  bool Separator = false;
  bool Disabled = false;
  bool Checked = false;
};

// One item of the skinned system menu; its tag is the system command it posts.
struct TSkinMenuEntry {
  std::string Caption;
  unsigned Tag = 0;
  int Glyph = -1;
  bool Enabled = true;
  bool Checked = false;
  friend bool operator==(const TSkinMenuEntry&, const TSkinMenuEntry&) = default;
};

// The skinned system menu follows the window's: minimise and maximise only when the window can and
// is not so already, restore only from another state, size and move not while maximised; whatever
// the system menu disables or checks stays so.
std::vector<TSkinMenuEntry> SkinSystemMenuItems(const std::vector<TSystemMenuEntry>& entries, TWindowShow show,
                                                bool canMaximize, bool canMinimize);

// The version of the system the frame runs on.
struct TPlatformVersion {
  int Major = 10;
  int Minor = 0;
  bool NtPlatform = true;
};
// Windows 5.0 draws a caption over skinned frames of application windows and of ownerless top-level
// windows unless their caption style is taken away while they are skinned.
bool NeedsCaptionStyleWorkaround(const TPlatformVersion& version, bool appWindow, bool owned, bool mdiChild);
// From Windows 2000 on, closing through the caption button follows the system menu's close item.
bool CloseFollowsSystemMenu(const TPlatformVersion& version);
