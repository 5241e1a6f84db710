#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "skin/layout/MenuBarLayout.h"
#include "skin/model/SkinClassMap.h"
#include "skin/model/SkinModel.h"
#include "skin/format/SkinWrite.h"
#include "skin/tests/SkinBytes.h"
#include "skin/tests/SkinTestModel.h"

using skin_test::Bmp24;
using skin_test::Bytes;

namespace {

// A model read from a description and images held in memory, entry names as the reader keeps them.
struct TSkin {
  explicit TSkin(const std::string& description, const skin_test::SkinEntries& entries = {}) {
    skin_test::LoadModel(model, description, entries, environment);
  }
  TSkinEnvironment environment;
  TSkinModel model;
};

std::vector<std::string> ButtonNames(const TSkinModel& model) {
  std::vector<std::string> names;
  for (const auto& b : model.CaptionButtons()) names.push_back(b->Name);
  return names;
}

int Frames(const TSkinModel& model, const std::string& name) {
  const TDataSkinObject* o = model.Find(name);
  return o ? o->FrameCount : -1;
}

TEST(SkinModel, AnEmptyDescriptionGivesTheFixedObjectsAndTheDefaults) {
  const TSkin skin("");
  const TSkinModel& m = skin.model;
  for (const char* name : {"Left", "Right", "Top", "Bottom", "Buttons", "Title"}) {
    ASSERT_NE(m.Find(name), nullptr) << name;
    EXPECT_TRUE(m.Find(name)->Image.Empty()) << name;
  }
  EXPECT_EQ(m.Find("Progress"), nullptr);
  EXPECT_EQ(m.Border("Top").FrameCount, 1);
  EXPECT_EQ(m.Border("Top").Stretch, 1);
  EXPECT_EQ(m.Border("Top").Trans, 1);
  EXPECT_EQ(m.Buttons().FrameCount, 5);
  EXPECT_EQ(m.Buttons().CheckFrame, 4);
  EXPECT_EQ(m.Title().FrameCount, 2);
  EXPECT_EQ(m.Title().FontHeight, 14);
  EXPECT_EQ(m.Title().ActiveText, clNone);
  EXPECT_EQ(m.Colour(TSkinColour::Menubar), clBtnFace);
  EXPECT_EQ(m.Colour(TSkinColour::TitleTextNoActive), clInactiveCaptionText);
  EXPECT_EQ(m.CustomColours()[9], clWhite);
  EXPECT_EQ(m.TableColour(-1), clNone);
  EXPECT_EQ(m.SkinColour(), clBtnFace);
  // Derived images exist without any picture in the skin.
  EXPECT_EQ(m.Find("Toolbar")->Image.Width(), 10);
  EXPECT_EQ(m.Find("ComboxArrow"), nullptr);
}

TEST(SkinModel, ColoursReadWithAnySeparatorAndFallBackWhenEmpty) {
  const TSkin skin(
      "[Colours]\nButtonFace=10,20,30\nWindowText=10 20 30\nMenu=\nHilight=7\nScrollbar=300 1 2\n"
      "[Colour1]\ncolor=1 1 1\n[COLOURS]\ncolor=9 9 9\n[colour0]\ncolor=2, 2, 2\n[Colour9]\n"
      "[Customcolors]\nColor3=4 5 6\n");
  const TSkinModel& m = skin.model;
  EXPECT_EQ(m.Colour(TSkinColour::ButtonFace), RGBColor(10, 20, 30));
  EXPECT_EQ(m.Colour(TSkinColour::WindowText), RGBColor(10, 20, 30));
  EXPECT_EQ(m.Colour(TSkinColour::Menubar), RGBColor(10, 20, 30));
  EXPECT_EQ(m.Colour(TSkinColour::Menu), clMenu);
  EXPECT_EQ(m.Colour(TSkinColour::Hilight), RGBColor(7, 0, 0));
  EXPECT_EQ(m.Colour(TSkinColour::Scrollbar), RGBColor(255, 1, 2));
  EXPECT_EQ(m.ColourTable(), (std::vector<TColor>{RGBColor(1, 1, 1), RGBColor(2, 2, 2), clWindowText}));
  EXPECT_EQ(m.CustomColours()[3], RGBColor(4, 5, 6));
  EXPECT_EQ(m.CustomColours()[2], clWhite);
}

TEST(SkinModel, CaptionButtonsAreKeptOrDroppedByActionAndVisibility) {
  const TSkin skin(
      "[Button.Close]\nAction=0\nButtonImage=close.bmp\nframe=4\n"
      "[Button.Gone]\nAction=-1\nButtonImage=close.bmp\n"
      "[Button.Hidden]\nAction=-1\nVisibility=3\nButtonImage=close.bmp\n"
      "[Button.Kept]\nAction=-1\nVisibility=0\n"
      "[Buttons]\n[Button.Radio]\n[BUTTON.CHECKBOX]\n[Button]\n"
      "[button.wide]\nAction=5\nButtonImage=wide.bmp\n"
      "[Button.Narrow]\nButtonImage=narrow.bmp\nVisibility1=7\n",
      {{"close.bmp", Bmp24(80, 18)}, {"wide.bmp", Bmp24(80, 10)}, {"narrow.bmp", Bmp24(38, 10)}});
  const TSkinModel& m = skin.model;
  EXPECT_EQ(ButtonNames(m), (std::vector<std::string>{"BUTTON.CLOSE", "BUTTON.KEPT", "BUTTON.WIDE",
                                                      "BUTTON.NARROW", "MDIMIN", "MDIRESTORE", "MDICLOSE"}));
  const auto& b = m.CaptionButtons();
  EXPECT_EQ(b[0]->FrameCount, 4);
  EXPECT_EQ(b[1]->FrameCount, 6);
  EXPECT_EQ(b[1]->Visibility1, -1);
  EXPECT_EQ(b[2]->FrameCount, 6);
  EXPECT_EQ(b[2]->Visibility1, 0);
  EXPECT_EQ(b[3]->FrameCount, 3);
  EXPECT_EQ(b[3]->Visibility1, 7);
  EXPECT_EQ(b[3]->CombineOp, -1);
}

TEST(SkinModel, MdiButtonsAreCutFromTwelveColumnsOrStayEmpty) {
  const TSkin without("");
  ASSERT_EQ(without.model.CaptionButtons().size(), 3u);
  for (int i = 0; i < 3; ++i) {
    const TDataSkinSysButton& b = *without.model.CaptionButtons()[size_t(i)];
    EXPECT_EQ(b.Action, 7 + i);
    EXPECT_EQ(b.Align, 100);
    EXPECT_EQ(b.Visibility, 100);
    EXPECT_EQ(b.Visibility1, 100);
    EXPECT_EQ(b.FrameCount, 4);
    EXPECT_TRUE(b.Image.Empty());
  }

  const TSkin with("[MDICONTROLS]\nImage=mdi.bmp\n",
                   {{"mdi.bmp", Bmp24(120, 9, [](int x, int) { return uint32_t(x / 10); })}});
  const auto& b = with.model.CaptionButtons();
  ASSERT_EQ(b.size(), 3u);
  EXPECT_EQ(b[0]->X, 42);
  EXPECT_EQ(b[1]->X, 28);
  EXPECT_EQ(b[2]->X, 14);
  EXPECT_EQ(b[1]->Image.Width(), 40);
  EXPECT_EQ(b[1]->Image.Height(), 9);
  EXPECT_EQ(b[1]->Image.Pixel(0, 0), 4u);
  EXPECT_EQ(b[2]->Image.Pixel(39, 8), 11u);

  const TSkin narrow("[MDICONTROLS]\nImage=mdi.bmp\n", {{"mdi.bmp", Bmp24(11, 9)}});
  EXPECT_TRUE(narrow.model.CaptionButtons()[0]->Image.Empty());
}

TEST(SkinModel, ImageValuesNameBareLowerBmpEntries) {
  const TSkin skin(
      "[Progress]\nBitmap=C:\\skins\\sub/bar.bmp\n[Tabs]\nImage=BAR.BMP\n[GroupBox]\nImage=bar\n"
      "[ToolBars]\nImage=missing.bmp\n[MenuItem]\nImage=broken.bmp\n[StatusBarEdges]\nImage=\n",
      {{"bar.bmp", Bmp24(6, 4)}, {"broken.bmp", Bytes("BM but nothing else")}});
  const TSkinModel& m = skin.model;
  ASSERT_NE(m.Find("Progress"), nullptr);
  EXPECT_EQ(m.Find("Progress")->Image.Width(), 6);
  for (const char* absent : {"Tabs", "GroupBox", "ToolBars", "MenuItem", "StatusBarEdges"}) {
    EXPECT_EQ(m.Find(absent), nullptr) << absent;
  }
}

TEST(SkinModel, FixedFrameCountsMarginsAndFlagsReplaceWhatTheSkinSays) {
  const TSkin skin(
      "[Scrollbar]\nImage=i.bmp\nFrame=7\n[Tab.Pane]\nImage=i.bmp\nLeftWidth=9\nTopHeight=2\nRightWidth=4\n"
      "BottomHeight=-3\n[Headerbar]\nImage=i.bmp\n[HorzScrollThumb]\nImage=i.bmp\nFrameCount=7\n"
      "[VertScrollThumb]\nImage=i.bmp\n[Progress]\nBitmap=i.bmp\nTile=5\nStyle=1\n"
      "[Buttons]\nBitmap=i.bmp\nTile=5\nNormalColour2=1 2 3\n"
      "[Personality]\nTopStretch=4\nmenuBar=i.bmp\nTileMenu=7\n",
      {{"i.bmp", Bmp24(46, 10)}});
  const TSkinModel& m = skin.model;
  EXPECT_EQ(Frames(m, "Scrollbar"), 23);
  const TDataSkinObject& pane = *m.Find("Tab.Pane");
  EXPECT_EQ(pane.Margins(), (TSkinMargins{4, 2, 4, 0}));
  EXPECT_EQ(Frames(m, "Tab.Pane"), 1);
  EXPECT_EQ(Frames(m, "Headerbar"), 5);
  EXPECT_EQ(Frames(m, "HorzScrollThumb"), 7);
  EXPECT_EQ(Frames(m, "VertScrollThumb"), 3);
  EXPECT_EQ(Frames(m, "Progress"), 1);
  EXPECT_EQ(m.Find("Progress")->Tile, 1);
  EXPECT_EQ(m.Buttons().Tile, 0);
  EXPECT_TRUE(m.Buttons().NormalColour2Given);
  EXPECT_FALSE(m.Buttons().PressedColour2Given);
  EXPECT_EQ(m.Buttons().NormalColour2, RGBColor(1, 2, 3));
  EXPECT_EQ(m.Buttons().PressedColour2, clBtnText);
  EXPECT_EQ(m.Border("Top").Stretch, 1);
  EXPECT_EQ(m.Find("menuBar")->Tile, 1);
  EXPECT_EQ(Frames(m, "menuBar"), 2);
}

TEST(SkinModel, HugeMarginsAndShiftsAreCutToThePicture) {
  const TSkin skin(
      "[GroupBox]\nImage=i.bmp\nLeftWidth=2147483647\nBottomHeight=99\nBackgroundLeftShift=-2147483648\n"
      "BackgroundRightShift=2147483647\n[Personality]\nmenuBar=i.bmp\nTileRightMenu=2147483647\nTop=i.bmp\n"
      "TopBotHeight=2147483647\nTextShift=2147483647\n"
      "[ButtonClose]\nButtonImage=i.bmp\nAction=0\nAlign=1\nXcoord=-2147483648\nYcoord=2147483647\n",
      {{"i.bmp", Bmp24(46, 10)}});
  const TSkinModel& m = skin.model;
  const auto hostile = std::find_if(m.CaptionButtons().begin(), m.CaptionButtons().end(),
                                    [](const auto& b) { return b->Align == 1 && b->Action == 0 && b->X != 0; });
  ASSERT_NE(hostile, m.CaptionButtons().end());
  EXPECT_EQ((*hostile)->X, -16384);
  EXPECT_EQ((*hostile)->Y, 16384);
  const auto& box = dynamic_cast<const TDataSkinBoxLabel&>(*m.Find("GroupBox"));
  EXPECT_EQ(box.Margins(), (TSkinMargins{46, 0, 0, 10}));
  EXPECT_EQ(box.BackgroundLeftShift, -46);
  EXPECT_EQ(box.BackgroundRightShift, 46);
  EXPECT_EQ(m.Border("Top").RightWidth, 46);
  EXPECT_EQ(m.Title().LeftWidth, 16384);
  // The bar's items start past its right end piece, by the painters' own sum.
  EXPECT_EQ(MenuBarStart(m.Find("menuBar"), 400, true), 46 + 8);
}

TEST(SkinModel, CheckAndRadioGlyphFramesComeFromTheKeyOrTheGlyphWidth) {
  const auto frames = [](const std::string& keys, int width, int height) {
    const TSkin skin("[Buttons]\nCheckButton=g.bmp\n" + keys, {{"g.bmp", Bmp24(width, height)}});
    return skin.model.Buttons().CheckFrame;
  };
  EXPECT_EQ(frames("CheckButtonFrame=3\n", 78, 13), 3);
  EXPECT_EQ(frames("", 78, 13), 6);
  EXPECT_EQ(frames("", 96, 16), 6);
  EXPECT_EQ(frames("", 26, 13), 4);
}

TEST(SkinModel, SkinColourAndToolbarGradientFollowTheTopBorder) {
  // A vivid caption: its measure is 255, so the gradient's foot is the skin colour lightened.
  const auto skinWith = [](uint32_t caption) {
    return TSkin("[Personality]\nTop=top.bmp\nTopFrame=2\n[Colours]\nButtonFace=236 246 240\n",
                 {{"top.bmp", Bmp24(30, 40, [caption](int x, int y) { return x == 10 && y == 6 ? caption : 0u; })}});
  };
  const TSkin vivid = skinWith(0x0080FF);
  EXPECT_EQ(vivid.model.SkinColour(), RGBColor(0, 128, 255));
  const TSkinImage& bar = vivid.model.Find("Toolbar")->Image;
  EXPECT_EQ(bar.Height(), 40);
  EXPECT_EQ(bar.Pixel(0, 0), 0xFCFEFDu);
  EXPECT_EQ(bar.Pixel(9, 39), 0x8CC6FFu);

  const TSkin grey = skinWith(0xC8C8C8);
  EXPECT_EQ(grey.model.Find("Toolbar")->Image.Pixel(0, 39), 0xBDBDBDu);
}

TEST(SkinModel, ComboImagesAreCombinedWithTheSunkEdge) {
  const std::string combo = "[ComboButton]\nImage=combo.bmp\n";
  const std::map<std::string, std::vector<uint8_t>> images = {
      {"combo.bmp", Bmp24(40, 21, 0x00FF00)}, {"sunk.bmp", Bmp24(48, 12, 0x0000FF)}};
  const TSkin alone(combo, images);
  const TDataSkinObject& arrow = *alone.model.Find("ComboxArrow");
  EXPECT_EQ(arrow.FrameCount, 4);
  EXPECT_EQ(arrow.Image.Width(), 40);
  EXPECT_EQ(static_cast<TDataSkinBorder*>(alone.model.Find("ComboButton"))->Image2.Width(), 40);

  const TSkin joined(combo + "[SunkEdge]\nImage=sunk.bmp\n", images);
  const TDataSkinObject& face = *joined.model.Find("ComboButton");
  EXPECT_EQ(face.Style, 2);
  EXPECT_EQ(face.Image.Width(), 200);
  EXPECT_EQ(face.Image.Height(), 21);
  EXPECT_EQ(face.RightWidth, 19);
  EXPECT_EQ(joined.model.Find("SunkEdge")->Image, face.Image);
  EXPECT_EQ(face.Image.Pixel(0, 0), 0x0000FFu);
  EXPECT_EQ(face.Image.Pixel(49, 10), 0x00FF00u);
  EXPECT_EQ(face.Image.Pixel(5, 5), 0xFFFFFFu);  // the inner area takes the window colour
  const TDataSkinObject& cut = *joined.model.Find("ComboxArrow");
  EXPECT_EQ(cut.Image.Width(), 68);
  EXPECT_EQ(cut.Image.Height(), 17);
}

TEST(SkinModel, MissingTrackImagesFallBackToTheProgramsOwn) {
  TSkinEnvironment environment;
  environment.TrackImage = TSkinImage(12, 6, 0x123456);
  TMemoryStream text(Bytes("[TRACKVERT]\nImage=v.bmp\nLeftWidth=1\n"));
  TQuickIni ini;
  ini.LoadFromStream(&text);
  TSkinModel model;
  model.Load(ini,
             [](const std::string& name, TMemoryStream& dest) {
               const std::vector<uint8_t> bytes = name == "v.bmp" ? Bmp24(5, 20) : std::vector<uint8_t>();
               dest.Clear();
               dest.Write(bytes.data(), int64_t(bytes.size()));
               dest.SetPosition(0);
             },
             environment);
  const TDataSkinObject& track = *model.Find("Track");
  EXPECT_EQ(track.Margins(), (TSkinMargins{3, 3, 3, 3}));
  EXPECT_EQ(track.FrameCount, 1);
  EXPECT_EQ(track.Tile, 0);
  EXPECT_EQ(track.Image.Pixel(0, 0), 0x123456u);
  EXPECT_EQ(model.Find("TRACKVERT")->LeftWidth, 1);
}

TEST(SkinModel, ADamagedFileLeavesTheModelAsItWas) {
  TSkin loaded("[TitlebarSkin]\nSkinName=Before\n");
  TSkinModel& model = loaded.model;
  TMemoryStream garbage(Bytes("\x10\x00\x00\x00 not a compressed skin"));
  EXPECT_FALSE(model.LoadFile(garbage, TSkinEnvironment()));
  EXPECT_FALSE(model.Error().empty());
  EXPECT_EQ(model.SkinName(), "Before");
}

TEST(SkinModel, TheProgramsSkinGivesEveryObjectWithItsFrames) {
  TMemoryStream file;
  file.LoadFromFile(BREVIN_SKIN_FILE);
  TSkinModel model;
  ASSERT_TRUE(model.LoadFile(file, TSkinEnvironment())) << model.Error();
  EXPECT_EQ(model.SkinName(), "Qinglan Mist");
  const std::map<std::string, int> frames = {
      {"Left", 2}, {"Right", 2}, {"Top", 2}, {"Bottom", 2}, {"Buttons", 5}, {"Title", 2},
      {"Progress", 2}, {"Progress.Chunk", 1}, {"menuBar", 2}, {"GroupBoxEdge", 2}, {"GroupBox", 1},
      {"Tabs", 5}, {"StatusBarEdges", 3}, {"Tab.Pane", 1}, {"ToolBars", 5}, {"ComboButton", 4},
      {"SunkEdge", 4}, {"ExtraImages", 5}, {"Headerbar", 5}, {"MenuItem", 5}, {"MenuBackground", 1},
      {"Scrollbar", 23}, {"HorzScroll", 4}, {"VertScroll", 4}, {"HorzScrollThumb", 3},
      {"VertScrollThumb", 3}, {"Trackbar.ThumbHorz", 5}, {"Trackbar.ThumbVert", 5},
      {"Trackbar.ThumbLeft", 5}, {"Trackbar.ThumbRight", 5}, {"Trackbar.ThumbUp", 5},
      {"Trackbar.ThumbDown", 5}, {"UpDown.Horz", 8}, {"UpDown.Vert", 8}, {"Track", 1}, {"TRACKVERT", 1},
      {"ComboxArrow", 4}, {"Toolbar", 1}};
  for (const auto& [name, count] : frames) {
    const TDataSkinObject* o = model.Find(name);
    ASSERT_NE(o, nullptr) << name;
    EXPECT_FALSE(o->Image.Empty()) << name;
    EXPECT_EQ(o->FrameCount, count) << name;
  }
  EXPECT_EQ(model.Objects().size(), frames.size());
  EXPECT_EQ(model.Buttons().CheckFrame, 6);
  EXPECT_EQ(model.Buttons().RadioFrame, 6);
  EXPECT_EQ(model.Find("Scrollbar")->Image.Width(), 23 * 17);
  EXPECT_EQ(ButtonNames(model),
            (std::vector<std::string>{"BUTTON.CLOSE", "BUTTON.MAX", "BUTTON.RESTORE", "BUTTON.MIN",
                                      "BUTTON.MINALONE", "BUTTON.SYSMENU", "MDIMIN", "MDIRESTORE", "MDICLOSE"}));
  for (const auto& b : model.CaptionButtons()) {
    EXPECT_FALSE(b->Image.Empty()) << b->Name;
    EXPECT_EQ(b->Image.Width() % b->FrameCount, 0) << b->Name;
  }
  EXPECT_EQ(model.Title().ActiveText, RGBColor(22, 70, 46));
}

TEST(SkinClassMap, EveryLineNamesAClassAndAKnownKind) {
  const std::vector<std::string> kinds = {"scrollbar", "pngbitbtn", "panel", "combobox", "speedbutton",
                                          "button", "bitbtn", "menubtn", "checkgroup", "radiogroup",
                                          "edit", "groupbox", "checkbox", "radiobutton"};
  ASSERT_EQ(DefaultSkinClassMap().size(), 117u);
  for (const std::string& line : DefaultSkinClassMap()) {
    EXPECT_EQ(line[0], 'T') << line;
    EXPECT_NE(std::find(kinds.begin(), kinds.end(), SkinClassMapKind(line)), kinds.end()) << line;
  }
  EXPECT_EQ(SkinClassMapKind("TControlBar=Panel"), "panel");
  EXPECT_EQ(SkinClassMapKind("no kind"), "");
}

}  // namespace
