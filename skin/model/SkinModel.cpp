#include "skin/model/SkinModel.h"

#include <algorithm>

#include "framework/core/Exception.h"
#include "skin/format/SkinRead.h"

namespace {

constexpr std::array<TColor, 16> kDefaultNamedColours = {
    clWindowText, clBtnFace,  clScrollBar,   clHighlightText, clHighlight, clBtnFace,
    clMenu,       clMenuText, clBtnText,     clBtnHighlight,  clBtnHighlight, clBtnShadow,
    cl3DDkShadow, clMenuText, clCaptionText, clInactiveCaptionText};

constexpr const char* kFixedObjects[] = {"Left", "Right", "Top", "Bottom", "Buttons", "Title"};
constexpr const char* kBorderPieces[] = {"Left", "Right", "Top", "Bottom"};

// The combined combo-box face is drawn in cells of this size, one per sunk-edge frame.
constexpr int kComboCellWidth = 50;
constexpr int kComboCellHeight = 21;
constexpr int kComboArrowCell = 17;

std::string UpperCase(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

bool IsFixed(const std::string& name) {
  return std::find(std::begin(kFixedObjects), std::end(kFixedObjects), name) != std::end(kFixedObjects);
}

// The combo button's arrow, toned towards the button face so that it reads as a glyph; magenta
// stays the see-through colour.
TSkinImage RecolourAgainst(const TSkinImage& image, TColor face) {
  TSkinImage copy = image;
  for (int y = 0; y < copy.Height(); ++y) {
    uint32_t* row = copy.Row(y);
    for (int x = 0; x < copy.Width(); ++x) {
      if (row[x] != kSkinMagenta) row[x] = PixelOfColour(SkinBlend(ColourOfPixel(row[x]), face, 60));
    }
  }
  return copy;
}

TSkinImage VerticalGradient(int width, int height, TColor top, TColor bottom) {
  TSkinImage image(width, height);
  for (int y = 0; y < height; ++y) {
    const auto step = [&](uint8_t a, uint8_t b) {
      return static_cast<uint8_t>(a + (b - a) * y / std::max(height - 1, 1));
    };
    const TColor c = RGBColor(step(RedOf(top), RedOf(bottom)), step(GreenOf(top), GreenOf(bottom)),
                              step(BlueOf(top), BlueOf(bottom)));
    image.Fill({0, y, width, y + 1}, PixelOfColour(c));
  }
  return image;
}

}  // namespace

std::string SkinImageEntryName(const std::string& value) {
  const size_t slash = value.find_last_of("/\\");
  std::string name = slash == std::string::npos ? value : value.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos || name.compare(dot, std::string::npos, ".bmp") != 0) return {};
  return name;
}

// One pass over a description, in the order the painters' objects depend on one another.
class TSkinModel::TReading {
public:
  TReading(TSkinModel& model, const TQuickIni& ini, const TSkinImageSource& images, const TSkinEnvironment& env)
      : model_(model), ini_(ini), images_(images), env_(env) {}

  void Run() {
    model_.skinName_ = ini_.ReadString("TitlebarSkin", "SkinName", "");
    for (const char* piece : kBorderPieces) ReadBorderPiece(piece);
    ReadColours();
    ReadCaptionButtons();
    ReadButtons();
    ReadTitle();
    if (TDataSkinObject* progress = ReadObject<TDataSkinObject>("Progress", "Bitmap")) {
      progress->Tile = ini_.ReadInteger("Progress", "Tile", 0) > 1 ? 1 : progress->Tile;
    }
    ReadObject<TDataSkinObject>("Progress.Chunk");
    ReadMenuBar();
    ReadObject<TDataSkinObject>("GroupBoxEdge");
    if (auto* box = ReadObject<TDataSkinBoxLabel>("GroupBox")) {
      const int width = box->Image.Width();
      box->BackgroundLeftShift = std::clamp(ini_.ReadInteger("GroupBox", "BackgroundLeftShift", 0), -width, width);
      box->BackgroundRightShift = std::clamp(ini_.ReadInteger("GroupBox", "BackgroundRightShift", 0), -width, width);
      box->BackgroundAlignment = ini_.ReadInteger("GroupBox", "BackgroundAlignment", 0);
    }
    ReadBorderObject("Tabs", "Border");
    ReadObject<TDataSkinObject>("StatusBarEdges");
    if (TDataSkinObject* pane = ReadObject<TDataSkinObject>("Tab.Pane")) {
      pane->LeftWidth = std::min(pane->LeftWidth, 4);
      pane->TopHeight = std::min(pane->TopHeight, 4);
      pane->RightWidth = std::min(pane->RightWidth, 4);
      pane->BottomHeight = std::min(pane->BottomHeight, 4);
    }
    ReadObject<TDataSkinObject>("ToolBars");
    // "****" is never a key: the combo button's second image is its toned copy.
    if (TDataSkinBorder* combo = ReadBorderObject("ComboButton", "****")) {
      combo->Image2 = RecolourAgainst(combo->Image, Resolved(model_.Colour(TSkinColour::ButtonFace)));
    }
    ReadObject<TDataSkinObject>("SunkEdge");
    for (const char* name : {"ExtraImages", "Headerbar", "MenuItem", "MenuBackground", "Scrollbar", "HorzScroll",
                             "VertScroll", "HorzScrollThumb", "VertScrollThumb", "Trackbar.ThumbHorz",
                             "Trackbar.ThumbVert", "Trackbar.ThumbLeft", "Trackbar.ThumbRight", "Trackbar.ThumbUp",
                             "Trackbar.ThumbDown"}) {
      ReadObject<TDataSkinObject>(name);
    }
    ReadBorderObject("UpDown.Horz", "GlyphImage");
    ReadBorderObject("UpDown.Vert", "GlyphImage");
    ReadTrack("Track", env_.TrackImage);
    ReadTrack("TRACKVERT", env_.TrackVertImage);
    FixFrameCounts();
    TakeSkinColour();
    MakeComboImages();
    MakeToolbarGradient();
  }

private:
  TColor Resolved(TColor c) const { return env_.Resolve ? env_.Resolve(c) : ClassicSystemColour(c); }
  int Margin(const std::string& section, const std::string& key, int defaultValue) const {
    return std::max(ini_.ReadInteger(section, key, defaultValue), 0);
  }
  // A margin wider than its picture slices nothing more, and the painters add to margins: a hostile
  // skin's huge values must not reach their sums.
  static void FitMargins(TDataSkinObject& o, int width, int height) {
    o.LeftWidth = std::min(o.LeftWidth, width);
    o.RightWidth = std::min(o.RightWidth, width);
    o.TopHeight = std::min(o.TopHeight, height);
    o.BottomHeight = std::min(o.BottomHeight, height);
  }
  static void FitMargins(TDataSkinObject& o) { FitMargins(o, o.Image.Width(), o.Image.Height()); }

  TSkinImage Image(const std::string& section, const std::string& key) const {
    TSkinImage image;
    const std::string name = SkinImageEntryName(ini_.ReadString(section, key, ""));
    if (name.empty() || !images_) return image;
    TMemoryStream entry;
    images_(name, entry);
    // An entry that is no readable BMP leaves the element to the system's painting.
    (void)DecodeSkinBitmap(entry.Memory(), entry.Bytes().size(), image);
    return image;
  }

  void ReadCommon(TDataSkinObject& o, const std::string& section, const std::string& imageKey) const {
    o.LeftWidth = Margin(section, "LeftWidth", 0);
    o.TopHeight = Margin(section, "TopHeight", 0);
    o.RightWidth = Margin(section, "RightWidth", 0);
    o.BottomHeight = Margin(section, "BottomHeight", 0);
    o.Image = Image(section, imageKey);
    FitMargins(o);
    o.Trans = ini_.ReadInteger(section, "Trans", 0);
    const int tile = ini_.ReadInteger(section, "Tile", 0);
    o.Tile = tile > 1 ? 0 : tile;
    o.FrameCount = ini_.ReadInteger(section, "Frame", 0);
    o.Style = ini_.ReadInteger(section, "Style", 0);
    o.NormalColour = ini_.ReadInteger(section, "NormalColour", -1);
    o.MouseOverColour = ini_.ReadInteger(section, "MouseOverColour", -1);
    o.PressedColour = ini_.ReadInteger(section, "PressedColour", -1);
    const TColor text = model_.Colour(TSkinColour::ButtonText);
    o.NormalColour2 = ParseSkinColour(ini_.ReadString(section, "NormalColour2", ""), text);
    o.MouseOverColour2 = ParseSkinColour(ini_.ReadString(section, "MouseOverColour2", ""), text);
    o.PressedColour2 = ParseSkinColour(ini_.ReadString(section, "PressedColour2", ""), text);
  }

  template <typename T>
  T* ReadObject(const std::string& section, const std::string& imageKey = "Image") {
    auto object = std::make_unique<T>(section);
    ReadCommon(*object, section, imageKey);
    return Keep(std::move(object));
  }

  TDataSkinBorder* ReadBorderObject(const std::string& section, const std::string& secondKey) {
    TDataSkinBorder* border = ReadObject<TDataSkinBorder>(section);
    if (border) border->Image2 = Image(section, secondKey);
    return border;
  }

  template <typename T>
  T* Keep(std::unique_ptr<T> object) {
    if (object->Image.Empty() && !IsFixed(object->Name)) return nullptr;
    T* kept = object.get();
    model_.Put(std::move(object));
    return kept;
  }

  void ReadBorderPiece(const std::string& piece) {
    auto border = std::make_unique<TDataSkinBorder>(piece);
    const bool vertical = piece == "Left" || piece == "Right";
    const int first = Margin("Personality", piece + "TopHeight", 0);
    const int second = Margin("Personality", piece + "BotHeight", 0);
    if (vertical) {
      border->TopHeight = first;
      border->BottomHeight = second;
    } else {
      border->LeftWidth = first;
      border->RightWidth = second;
    }
    border->Image = Image("Personality", piece);
    FitMargins(*border);
    border->FrameCount = ini_.ReadInteger("Personality", piece + "Frame", 1);
    border->Stretch = std::min(ini_.ReadInteger("Personality", piece + "Stretch", 1), 1);
    border->Trans = ini_.ReadInteger("Personality", piece + "Trans", 1);
    Keep(std::move(border));
  }

  void ReadColours() {
    for (size_t i = 0; i < kSkinColourNames.size(); ++i) {
      TColor fallback = kDefaultNamedColours[i];
      if (static_cast<TSkinColour>(i) == TSkinColour::Menubar) fallback = model_.Colour(TSkinColour::ButtonFace);
      model_.named_[i] = ParseSkinColour(ini_.ReadString("Colours", kSkinColourNames[i], ""), fallback);
    }
    std::vector<std::string> sections;
    ini_.ReadSections(sections);
    model_.table_.clear();
    for (const std::string& section : sections) {
      const std::string upper = UpperCase(section);
      if (upper.rfind("COLOUR", 0) == 0 && upper != "COLOURS") {
        model_.table_.push_back(ParseSkinColour(ini_.ReadString(section, "color", ""), clWindowText));
      }
    }
    for (size_t i = 0; i < model_.custom_.size(); ++i) {
      model_.custom_[i] = ParseSkinColour(ini_.ReadString("Customcolors", "Color" + std::to_string(i), ""), clWhite);
    }
  }

  void ReadCaptionButtons() {
    model_.captionButtons_.clear();
    std::vector<std::string> sections;
    ini_.ReadSections(sections);
    for (const std::string& section : sections) {
      const std::string upper = UpperCase(section);
      if (upper.size() <= 6 || upper.rfind("BUTTON", 0) != 0 || upper == "BUTTONS" || upper == "BUTTON.RADIO" ||
          upper == "BUTTON.CHECKBOX") {
        continue;
      }
      const int action = ini_.ReadInteger(section, "Action", 0);
      if (action == -1 && ini_.ReadInteger(section, "Visibility", -1) != 0) continue;

      auto button = std::make_unique<TDataSkinSysButton>(upper);
      ReadCommon(*button, section, "ButtonImage");
      button->Action = action;
      button->Align = ini_.ReadInteger(section, "Align", 0);
      // Places within the largest window a skin can draw: the layout adds and subtracts them from
      // window sizes, which must not overflow on a hostile file.
      const int reach = TSkinImage::kMaxSide;
      button->X = std::clamp(ini_.ReadInteger(section, "Xcoord", 0), -reach, reach);
      button->Y = std::clamp(ini_.ReadInteger(section, "Ycoord", 0), -reach, reach);
      button->CombineOp = ini_.ReadInteger(section, "CombineOp", -1);
      button->Visibility = ini_.ReadInteger(section, "Visibility", 0);
      button->Visibility1 = ini_.ReadInteger(section, "Visibility1", action == -1 ? -1 : 0);
      if (button->FrameCount == 0) {
        const TSkinImage& image = button->Image;
        button->FrameCount = 6;
        if (!image.Empty()) button->FrameCount = double(image.Width()) / image.Height() <= 3.8 ? 3 : 6;
        if (action < 0) button->FrameCount = 6;
      }
      model_.captionButtons_.push_back(std::move(button));
    }

    const TSkinImage mdi = Image("MDICONTROLS", "Image");
    const int column = mdi.Width() / 12;
    static constexpr const char* kMdiNames[] = {"MDIMIN", "MDIRESTORE", "MDICLOSE"};
    for (int i = 0; i < 3; ++i) {
      auto button = std::make_unique<TDataSkinSysButton>(kMdiNames[i]);
      button->Action = 7 + i;
      button->Align = button->Visibility = button->Visibility1 = 100;
      button->FrameCount = 4;
      if (column > 0) {
        button->Image = mdi.Crop({4 * i * column, 0, 4 * (i + 1) * column, mdi.Height()});
        button->X = (column + 4) * (3 - i);
      }
      model_.captionButtons_.push_back(std::move(button));
    }
  }

  void ReadButtons() {
    auto buttons = std::make_unique<TDataSkinButton>("Buttons");
    ReadCommon(*buttons, "Buttons", "Bitmap");
    buttons->CheckImage = Image("Buttons", "CheckButton");
    buttons->RadioImage = Image("Buttons", "RadioButton");
    buttons->RadioFrame = ini_.ReadInteger("Buttons", "RadioButtonFrame", 0);
    buttons->CheckFrame = ini_.ReadInteger("Buttons", "CheckButtonFrame", 0);
    buttons->NormalColour2Given = !ini_.ReadString("Buttons", "NormalColour2", "").empty();
    buttons->MouseOverColour2Given = !ini_.ReadString("Buttons", "MouseOverColour2", "").empty();
    buttons->PressedColour2Given = !ini_.ReadString("Buttons", "PressedColour2", "").empty();
    Keep(std::move(buttons));
  }

  TColor TextColour(const std::string& prefix) const {
    const int r = ini_.ReadInteger("Personality", prefix + "R", -1);
    const int g = ini_.ReadInteger("Personality", prefix + "G", -1);
    const int b = ini_.ReadInteger("Personality", prefix + "B", -1);
    if (r < 0 || g < 0 || b < 0) return clNone;
    return RGBColor(static_cast<uint8_t>(std::min(r, 255)), static_cast<uint8_t>(std::min(g, 255)),
                    static_cast<uint8_t>(std::min(b, 255)));
  }

  void ReadTitle() {
    auto title = std::make_unique<TDataSkinTitle>("Title");
    title->Image = Image("Personality", "TextBack");
    title->LeftWidth = Margin("Personality", "TextShift", 0);
    title->TopHeight = Margin("Personality", "TextShiftVert", 0);
    title->RightWidth = Margin("Personality", "TextRightClip", 0);
    // The caption text's shifts belong to no picture of their own: no window is wider than a picture.
    FitMargins(*title, TSkinImage::kMaxSide, TSkinImage::kMaxSide);
    title->TextAlignment = ini_.ReadInteger("Personality", "TextAlignment", 0);
    title->TextBackground = ini_.ReadInteger("Personality", "Textbackground", 0);
    title->FontHeight = ini_.ReadInteger("Fonts", "FontHeight", 14);
    title->TextBackLeft = ini_.ReadInteger("Personality", "TXTBackleft", 0);
    title->TextBackRight = ini_.ReadInteger("Personality", "TXTBackRight", 0);
    title->ActiveText = TextColour("ActiveText");
    title->InactiveText = TextColour("InActiveText");
    Keep(std::move(title));
  }

  void ReadMenuBar() {
    auto bar = std::make_unique<TDataSkinObject>("menuBar");
    bar->Image = Image("Personality", "menuBar");
    bar->Tile = std::min(ini_.ReadInteger("Personality", "TileMenu", 1), 1);
    bar->LeftWidth = Margin("Personality", "TileLeftMenu", 1);
    bar->RightWidth = Margin("Personality", "TileRightMenu", 1);
    FitMargins(*bar);
    Keep(std::move(bar));
  }

  void ReadTrack(const std::string& section, const TSkinImage& fallback) {
    if (ReadObject<TDataSkinObject>(section) || fallback.Empty()) return;
    auto track = std::make_unique<TDataSkinObject>(section);
    track->Image = fallback;
    track->LeftWidth = track->TopHeight = track->RightWidth = track->BottomHeight = 3;
    track->FrameCount = 1;
    Keep(std::move(track));
  }

  void SetFrames(const std::string& name, int frames) {
    if (TDataSkinObject* o = model_.Find(name)) o->FrameCount = frames;
  }

  static int GlyphFrames(int given, const TSkinImage& glyph) {
    if (given > 0) return given;
    return std::max(glyph.Width() / (glyph.Height() < 16 ? 13 : 16), 4);
  }

  void FixFrameCounts() {
    TDataSkinButton& buttons = model_.Buttons();
    buttons.FrameCount = 5;
    buttons.RadioFrame = GlyphFrames(buttons.RadioFrame, buttons.RadioImage);
    buttons.CheckFrame = GlyphFrames(buttons.CheckFrame, buttons.CheckImage);
    model_.Title().FrameCount = 2;
    if (TDataSkinObject* progress = model_.Find("Progress")) progress->FrameCount = progress->Style != 0 ? 1 : 2;
    for (const auto& [name, frames] : std::initializer_list<std::pair<const char*, int>>{
             {"menuBar", 2}, {"GroupBoxEdge", 2}, {"ToolBars", 5}, {"Tabs", 5}, {"Tab.Pane", 1},
             {"StatusBarEdges", 3}, {"GroupBox", 1}, {"ComboButton", 4}, {"SunkEdge", 4}, {"ExtraImages", 5},
             {"MenuItem", 5}, {"MenuBackground", 1}, {"Scrollbar", 23}, {"HorzScroll", 4}, {"VertScroll", 4},
             {"UpDown.Horz", 8}, {"UpDown.Vert", 8}, {"Trackbar.ThumbHorz", 5}, {"Trackbar.ThumbVert", 5},
             {"Trackbar.ThumbLeft", 5}, {"Trackbar.ThumbRight", 5}, {"Trackbar.ThumbUp", 5},
             {"Trackbar.ThumbDown", 5}}) {
      SetFrames(name, frames);
    }
    if (TDataSkinObject* header = model_.Find("Headerbar"); header && header->FrameCount == 0) header->FrameCount = 5;
    for (const char* thumb : {"HorzScrollThumb", "VertScrollThumb"}) {
      SetFrames(thumb, ini_.ReadInteger(thumb, "FrameCount", 3));
    }
  }

  void TakeSkinColour() {
    const TDataSkinBorder& top = model_.Border("Top");
    if (top.Image.Empty()) {
      model_.skinColour_ = model_.Colour(TSkinColour::ButtonFace);
      return;
    }
    const int frameHeight = top.Image.Height() / std::max(top.FrameCount, 1);
    model_.skinColour_ = ColourOfPixel(top.Image.Pixel(top.Image.Width() / 3, frameHeight / 3));
  }

  void MakeComboImages() {
    auto* combo = dynamic_cast<TDataSkinBorder*>(model_.Find("ComboButton"));
    if (!combo) return;
    TDataSkinObject* sunk = model_.Find("SunkEdge");
    auto arrow = std::make_unique<TDataSkinObject>("ComboxArrow");
    arrow->Trans = 1;
    if (!sunk) {
      arrow->Image = RecolourAgainst(combo->Image, Resolved(model_.Colour(TSkinColour::ButtonFace)));
      arrow->FrameCount = combo->FrameCount;
      Keep(std::move(arrow));
      return;
    }

    // Drawn in the pictures' pixels, which may be several to one of the description's.
    const int s = std::max(env_.PictureScale, 1);
    const int cells = std::max(sunk->FrameCount, 1);
    const int width = kComboCellWidth * s;
    const int height = kComboCellHeight * s;
    const int arrowCell = kComboArrowCell * s;
    const int buttonWidth = std::clamp(env_.ScrollArrowWidth + 2, 4, kComboCellWidth - 4);
    const int button = buttonWidth * s;
    const auto inPixels = [s](TSkinMargins m) { return TSkinMargins{m.Left * s, m.Top * s, m.Right * s, m.Bottom * s}; };
    const TDataSkinObject* extra = model_.Find("ExtraImages");
    const uint32_t window = PixelOfColour(Resolved(clWindow));
    TSkinImage face(width * cells, height, kSkinMagenta);
    arrow->Image = TSkinImage(arrowCell * cells, arrowCell);
    for (int i = 0; i < cells; ++i) {
      const int left = i * width;
      const int right = left + width;
      DrawNineSlice(sunk->Image, sunk->FrameRect(i + 1), inPixels(sunk->Margins()), sunk->TileMiddle(), face,
                    {left, 0, right, height});
      const TRect part{right - button, 0, right, height};
      DrawNineSlice(combo->Image, combo->FrameRect(i + 1), inPixels(combo->Margins()), combo->TileMiddle(), face, part);
      if (extra) {
        const TRect glyph = extra->FrameRect(i + 1);
        const int x = part.Left + (part.Width() - glyph.Width()) / 2;
        const int y = (height - glyph.Height()) / 2;
        DrawNineSlice(extra->Image, glyph, {}, false, face, {x, y, x + glyph.Width(), y + glyph.Height()}, true);
      }
      face.Fill({left + 2 * s, 2 * s, right - s - button, height - 3 * s}, window);
      const TSkinImage cut = face.Crop({right - 19 * s, 2 * s, right - 2 * s, 2 * s + arrowCell});
      for (int y = 0; y < cut.Height(); ++y) std::copy_n(cut.Row(y), cut.Width(), arrow->Image.Row(y) + i * arrowCell);
    }
    arrow->FrameCount = cells;
    sunk->Image = face;
    combo->Image = std::move(face);
    combo->FrameCount = cells;
    combo->Style = 2;
    combo->LeftWidth = sunk->LeftWidth;
    combo->TopHeight = sunk->TopHeight;
    combo->RightWidth = buttonWidth;
    combo->BottomHeight = sunk->BottomHeight;
    Keep(std::move(arrow));
  }

  void MakeToolbarGradient() {
    const TGradientEnds ends =
        ToolbarGradientEnds(Resolved(model_.Colour(TSkinColour::ButtonFace)), Resolved(model_.skinColour_));
    auto gradient = std::make_unique<TDataSkinObject>("Toolbar");
    const int s = std::max(env_.PictureScale, 1);
    gradient->Image = VerticalGradient(10 * s, 40 * s, ends.Top, ends.Bottom);
    gradient->FrameCount = 1;
    Keep(std::move(gradient));
  }

  TSkinModel& model_;
  const TQuickIni& ini_;
  const TSkinImageSource& images_;
  const TSkinEnvironment& env_;
};

TSkinModel::TSkinModel() {
  named_ = kDefaultNamedColours;
  custom_.fill(clWhite);
  for (const char* piece : kBorderPieces) Put(std::make_unique<TDataSkinBorder>(piece));
  Put(std::make_unique<TDataSkinButton>("Buttons"));
  Put(std::make_unique<TDataSkinTitle>("Title"));
}

bool TSkinModel::LoadFile(TStream& file, const TSkinEnvironment& environment, int pictureScale) {
  TMemoryStream detail;
  if (pictureScale != 1 && (pictureScale != kSkinDetailScale || !ReadSkinDetail(file, detail))) {
    error_ = Format("The skin file has no pictures at %dx", pictureScale);
    return false;
  }
  TSkinReader reader;
  reader.OnMessage = OnMessage;
  if (!reader.LoadFromStream(pictureScale == 1 ? file : detail)) {
    error_ = reader.LastError();
    return false;
  }
  TMemoryStream description;
  std::string name;
  reader.FindEntry(".ini", description, name);
  description.SetPosition(0);
  TQuickIni ini;
  ini.LoadFromStream(&description);
  TSkinEnvironment atScale = environment;
  atScale.PictureScale = pictureScale;
  Load(ini, [&reader](const std::string& entry, TMemoryStream& dest) { reader.ReadEntry(entry, dest); }, atScale);
  return true;
}

void TSkinModel::Load(const TQuickIni& ini, const TSkinImageSource& images, const TSkinEnvironment& environment) {
  // Read into a fresh model so that a load that fails half-way leaves this one whole.
  TSkinModel fresh;
  fresh.OnMessage = OnMessage;
  TReading(fresh, ini, images, environment).Run();
  *this = std::move(fresh);
}

void TSkinModel::Put(std::unique_ptr<TDataSkinObject> object) {
  for (auto& existing : objects_) {
    if (existing->Name == object->Name) {
      existing = std::move(object);
      return;
    }
  }
  objects_.push_back(std::move(object));
}

TDataSkinObject* TSkinModel::Find(const std::string& name) const {
  for (const auto& object : objects_)
    if (object->Name == name) return object.get();
  return nullptr;
}

TDataSkinBorder& TSkinModel::Border(const std::string& piece) const {
  return *static_cast<TDataSkinBorder*>(Find(piece));
}
TDataSkinButton& TSkinModel::Buttons() const { return *static_cast<TDataSkinButton*>(Find("Buttons")); }
TDataSkinTitle& TSkinModel::Title() const { return *static_cast<TDataSkinTitle*>(Find("Title")); }

TColor TSkinModel::TableColour(int index) const {
  return index >= 0 && static_cast<size_t>(index) < table_.size() ? table_[static_cast<size_t>(index)] : clNone;
}

size_t TSkinModel::ImageBytes() const {
  size_t bytes = 0;
  for (const auto& o : objects_) {
    bytes += o->Image.ByteSize();
    if (const auto* border = dynamic_cast<const TDataSkinBorder*>(o.get())) bytes += border->Image2.ByteSize();
    if (const auto* buttons = dynamic_cast<const TDataSkinButton*>(o.get())) {
      bytes += buttons->CheckImage.ByteSize() + buttons->RadioImage.ByteSize();
    }
  }
  for (const auto& b : captionButtons_) bytes += b->Image.ByteSize();
  return bytes;
}
