#pragma once
// The description model of a skin: one skin object per skinned element (sliced image, margins,
// flags, text colours), the skin's colours and its caption buttons, read from the description
// and the images of a skin file. Nothing here needs Windows; TSkinData turns the images into
// bitmaps.
//
// Reading rules:
// - Every object reads, from its own section: "LeftWidth", "TopHeight", "RightWidth",
//   "BottomHeight" (0; negative reads as 0), the image ("Image" unless the object names another
//   key), "Trans" (0), "Tile" (0; above 1 reads as 0), "Frame" (0), "Style" (0), the colour-table
//   indices "NormalColour", "MouseOverColour", "PressedColour" (-1: none) and the direct text
//   colours "NormalColour2", "MouseOverColour2", "PressedColour2" (default: the skin's button text).
//   An object whose image value is missing, empty or unreadable does not exist, except the fixed
//   ones ("Left", "Right", "Top", "Bottom", "Buttons", "Title"), which then hold an empty image.
// - An image value names an entry of the skin file by its bare file name (a directory part is
//   dropped); only names ending exactly in ".bmp" are looked up.
// - Window borders come from section "Personality", keys formed from the piece name: the image
//   under the name itself, then "TopHeight" and "BotHeight" (the fixed ends: heights for "Left" and
//   "Right", widths for "Top" and "Bottom"), "Frame" (1; frames side by side for "Left"/"Right",
//   stacked for "Top"/"Bottom"), "Stretch" (1; 1 stretches the middle, 0 tiles it) and "Trans" (1).
// - Caption buttons: every section named "BUTTON" + something, other than "BUTTONS",
//   "BUTTON.RADIO" and "BUTTON.CHECKBOX", in file order, unless its "Action" is -1 while its
//   "Visibility" (-1 when absent) is not 0. A "frame" of 0 becomes 6, or 3 for an image at most 3.8
//   times as wide as high, and 6 again for a negative action. Three MDI buttons follow, cut from the
//   twelve columns of "MDICONTROLS"/"Image" when there is one.
// - After everything is read, the frame counts that the painters rely on are fixed per object,
//   "Tab.Pane" margins are cut to 4, and the derived images are made: the combined combo-box face,
//   the combo arrow "ComboxArrow" and the tool-bar gradient "Toolbar".
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/Stream.h"
#include "skin/model/SkinColour.h"
#include "skin/layout/SkinGeometry.h"
#include "skin/model/SkinImage.h"
#include "skin/format/SkinIni.h"

class TDataSkinObject {
public:
  explicit TDataSkinObject(std::string name) : Name(std::move(name)) {}
  virtual ~TDataSkinObject() = default;
  virtual std::unique_ptr<TDataSkinObject> Clone() const { return std::make_unique<TDataSkinObject>(*this); }

  TSkinMargins Margins() const { return {LeftWidth, TopHeight, RightWidth, BottomHeight}; }
  // The rectangle of frame number (from 1) within Image.
  TRect FrameRect(int frame, TFrameLayout layout = TFrameLayout::SideBySide) const {
    return SkinFrameRect(Image.Width(), Image.Height(), FrameCount, frame, layout);
  }
  bool TileMiddle() const { return Tile == 1; }

  std::string Name;
  int LeftWidth = 0;
  int TopHeight = 0;
  int RightWidth = 0;
  int BottomHeight = 0;
  TSkinImage Image;
  int Trans = 0;
  int Tile = 0;
  int FrameCount = 0;
  int Style = 0;
  int NormalColour = -1;
  int MouseOverColour = -1;
  int PressedColour = -1;
  TColor NormalColour2 = clBtnText;
  TColor MouseOverColour2 = clBtnText;
  TColor PressedColour2 = clBtnText;
};

class TDataSkinBorder : public TDataSkinObject {
public:
  using TDataSkinObject::TDataSkinObject;
  std::unique_ptr<TDataSkinObject> Clone() const override { return std::make_unique<TDataSkinBorder>(*this); }
  TSkinImage Image2;
  // Window border pieces only: 1 stretches the middle part, 0 tiles it.
  int Stretch = 1;
};

class TDataSkinButton : public TDataSkinObject {
public:
  using TDataSkinObject::TDataSkinObject;
  std::unique_ptr<TDataSkinObject> Clone() const override { return std::make_unique<TDataSkinButton>(*this); }
  TSkinImage CheckImage;
  TSkinImage RadioImage;
  int RadioFrame = 0;
  int CheckFrame = 0;
  bool NormalColour2Given = false;
  bool MouseOverColour2Given = false;
  bool PressedColour2Given = false;
};

class TDataSkinTitle : public TDataSkinObject {
public:
  using TDataSkinObject::TDataSkinObject;
  std::unique_ptr<TDataSkinObject> Clone() const override { return std::make_unique<TDataSkinTitle>(*this); }
  int TextAlignment = 0;
  int TextBackground = 0;
  int FontHeight = 14;
  int TextBackLeft = 0;
  int TextBackRight = 0;
  // clNone: the named colours "TitleTextActive" / "TitleTextNoActive" apply.
  TColor ActiveText = clNone;
  TColor InactiveText = clNone;
};

class TDataSkinSysButton : public TDataSkinObject {
public:
  using TDataSkinObject::TDataSkinObject;
  std::unique_ptr<TDataSkinObject> Clone() const override { return std::make_unique<TDataSkinSysButton>(*this); }
  int Action = 0;
  int Align = 0;
  int X = 0;
  int Y = 0;
  int CombineOp = -1;
  int Visibility = 0;
  int Visibility1 = 0;
};

class TDataSkinBoxLabel : public TDataSkinObject {
public:
  using TDataSkinObject::TDataSkinObject;
  std::unique_ptr<TDataSkinObject> Clone() const override { return std::make_unique<TDataSkinBoxLabel>(*this); }
  int BackgroundLeftShift = 0;
  int BackgroundRightShift = 0;
  int BackgroundAlignment = 0;
};

// The named colours of section "Colours", in this order.
inline constexpr std::array<const char*, 16> kSkinColourNames = {
    "WindowText",    "ButtonFace",     "Scrollbar",  "HilightText",  "Hilight",      "Menubar",
    "Menu",          "MenuText",       "ButtonText", "ButtonHilight", "Buttonlight", "ButtonShadow",
    "ButtonDkShadow", "MenuBarText",   "TitleTextActive", "TitleTextNoActive"};
enum class TSkinColour {
  WindowText, ButtonFace, Scrollbar, HilightText, Hilight, Menubar, Menu, MenuText, ButtonText,
  ButtonHilight, Buttonlight, ButtonShadow, ButtonDkShadow, MenuBarText, TitleTextActive, TitleTextNoActive
};

// What the model needs from the system it runs on.
struct TSkinEnvironment {
  TColourResolver Resolve = ClassicSystemColour;
  // The width of a scroll-bar arrow (the combo box's button is 2 pixels wider), at 96 dpi.
  int ScrollArrowWidth = 17;
  // Picture pixels to one pixel of the description: the derived images are made at this scale.
  int PictureScale = 1;
  // Stand-ins for a skin without "Track" / "TRACKVERT".
  TSkinImage TrackImage;
  TSkinImage TrackVertImage;
};

// Copies the entry of the skin file named name (ASCII case ignored) into dest, empty when absent.
using TSkinImageSource = std::function<void(const std::string& name, TMemoryStream& dest)>;

class TSkinModel {
public:
  // Holds the fixed objects, empty.
  TSkinModel();

  // Reads a whole skin file. False, with Error set and the model as it was, for a file the reader
  // rejects; the description's absence only leaves everything at its defaults.
  // pictureScale 2 reads the skin with the 2x pictures that follow it (SkinRead.h) instead: false,
  // with Error set, when the file has none; a picture missing there leaves its object out, or
  // empty for a fixed one.
  [[nodiscard]] bool LoadFile(TStream& file, const TSkinEnvironment& environment, int pictureScale = 1);
  // Reads the description and fetches images through images.
  void Load(const TQuickIni& ini, const TSkinImageSource& images, const TSkinEnvironment& environment);

  // nullptr when the skin has no such object. Names as the sections ("Tab.Pane"), "Title",
  // "menuBar", "ComboxArrow", "Toolbar".
  TDataSkinObject* Find(const std::string& name) const;
  const std::vector<std::unique_ptr<TDataSkinObject>>& Objects() const { return objects_; }
  TDataSkinBorder& Border(const std::string& piece) const;
  TDataSkinButton& Buttons() const;
  TDataSkinTitle& Title() const;
  // In the order they were built, the MDI buttons last.
  const std::vector<std::unique_ptr<TDataSkinSysButton>>& CaptionButtons() const { return captionButtons_; }

  TColor Colour(TSkinColour which) const { return named_[static_cast<size_t>(which)]; }
  const std::array<TColor, 16>& NamedColours() const { return named_; }
  const std::vector<TColor>& ColourTable() const { return table_; }
  // An index outside the table (-1 included) gives clNone.
  TColor TableColour(int index) const;
  const std::array<TColor, 10>& CustomColours() const { return custom_; }
  // Sampled from the top border image, else the button-face colour.
  TColor SkinColour() const { return skinColour_; }
  const std::string& SkinName() const { return skinName_; }
  const std::string& Error() const { return error_; }
  // The pixel memory the images take now (a deferred picture not yet made takes none).
  size_t ImageBytes() const;

  // The display scale the model's pictures and lengths are for (a description is written for 96).
  int Dpi() const { return dpi_; }
  // This model (read at 96 dpi) for a display of dpi: every margin, place and font height scaled,
  // every picture resampled frame by frame and piece by piece when first drawn. detailed, when
  // given, is the same skin read at pictureScale 2; its pictures are taken instead wherever they
  // are exactly twice the size and the display needs more than 96 dpi, and it is kept while a
  // picture still to be made needs it.
  TSkinModel Scaled(int dpi, const std::shared_ptr<const TSkinModel>& detailed = nullptr) const;

  // Shows the reader's older-file message to the user.
  std::function<void(const std::string&)> OnMessage;

private:
  class TReading;
  friend class TReading;

  void Put(std::unique_ptr<TDataSkinObject> object);

  std::vector<std::unique_ptr<TDataSkinObject>> objects_;
  std::vector<std::unique_ptr<TDataSkinSysButton>> captionButtons_;
  std::array<TColor, 16> named_{};
  std::vector<TColor> table_;
  std::array<TColor, 10> custom_{};
  TColor skinColour_ = clBtnFace;
  std::string skinName_;
  std::string error_;
  int dpi_ = 96;
};

// The bare file name of an image value, or "" when it does not end exactly in ".bmp".
std::string SkinImageEntryName(const std::string& value);

