#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "skin/model/NCObject.h"
#include "skin/layout/SkinFrame.h"
#include "skin/tests/SkinBytes.h"
#include "skin/tests/SkinTestModel.h"

using skin_test::Bmp24;
using skin_test::Bytes;

namespace {

TSkinModel ModelOf(const std::string& description, const skin_test::SkinEntries& entries) {
  TSkinModel model;
  skin_test::LoadModel(model, description, entries);
  return model;
}

// A left border of two 3-pixel frames whose top-left pixels are magenta, a solid right border 4 wide,
// a caption of two stacked 20-pixel frames and a bottom 5 high.
TSkinModel FrameSkin() {
  const auto leftImage = Bmp24(6, 12, [](int x, int y) { return (x % 3 == 0 && y == 0) ? 0xFF00FFu : 0x336699u; });
  return ModelOf("[Personality]\nLeft=l.bmp\nLeftFrame=2\nLeftTopHeight=2\nLeftBotHeight=2\n"
                 "Right=r.bmp\nRightFrame=1\nRightTrans=0\nTop=t.bmp\nTopFrame=2\nBottom=b.bmp\nBottomTrans=1\n",
                 {{"l.bmp", leftImage}, {"r.bmp", Bmp24(4, 8)}, {"t.bmp", Bmp24(30, 40)}, {"b.bmp", Bmp24(10, 5)}});
}

bool Covered(const std::vector<TRect>& rects, int x, int y) {
  for (const TRect& r : rects)
    if (r.Contains({x, y})) return true;
  return false;
}

TDataSkinSysButton Button(int action, int align, int x, int visibility, int visibility1 = 0) {
  TDataSkinSysButton b("BUTTON");
  b.Action = action;
  b.Align = align;
  b.X = x;
  b.Y = 4;
  b.Visibility = visibility;
  b.Visibility1 = visibility1;
  b.Image = TSkinImage(64, 16);
  b.FrameCount = 4;
  return b;
}

TEST(SkinFrame, MetricsClientRectAndHitTestFollowTheBorderImages) {
  const TSkinModel model = FrameSkin();
  const TFrameMetrics m = SkinFrameMetrics(model, TBorderMode::Sizeable, 19);
  EXPECT_EQ(m, (TFrameMetrics{3, 20, 4, 5, 19}));
  EXPECT_EQ(SkinFrameMetrics(model, TBorderMode::NoCaption, 19), TFrameMetrics{});

  EXPECT_EQ(SkinClientRect(200, 100, m), (TRect{3, 39, 196, 95}));
  EXPECT_EQ(SkinClientRect(5, 30, m), (TRect{3, 39, 3, 39}));

  // The top 3 pixels keep the system's answer (sizing); the rest of the band is caption, then menu.
  EXPECT_EQ(SkinHitTest(kHitNowhere, {50, 2}, m), kHitNowhere);
  EXPECT_EQ(SkinHitTest(kHitNowhere, {50, 4}, m), kHitCaption);
  EXPECT_EQ(SkinHitTest(kHitCaption, {50, 25}, m), kHitMenu);
  EXPECT_EQ(SkinHitTest(kHitNowhere, {50, 80}, m), kHitNowhere);
  EXPECT_EQ(SkinHitTest(12 /*HTTOP*/, {50, 10}, m), 12);
}

TEST(SkinFrame, CaptionButtonsShowByTheirCodesAndTheWindowsCapabilities) {
  TCaptionFacts facts;
  facts.CanMaximize = facts.CanMinimize = facts.HasSystemMenu = true;
  const TDataSkinSysButton maximize = Button(1, 1, 48, 6, 2);
  const TDataSkinSysButton restore = Button(1, 1, 48, 6, 1);
  EXPECT_TRUE(CaptionButtonVisible(maximize, facts, nullptr));
  EXPECT_FALSE(CaptionButtonVisible(restore, facts, nullptr));
  facts.Show = TWindowShow::Maximized;
  EXPECT_FALSE(CaptionButtonVisible(maximize, facts, nullptr));
  EXPECT_TRUE(CaptionButtonVisible(restore, facts, nullptr));

  // A minimise button standing alone where maximise would be, for windows that cannot maximise.
  const TDataSkinSysButton minAlone = Button(2, 1, 48, 8, 7);
  EXPECT_FALSE(CaptionButtonVisible(minAlone, facts, nullptr));
  facts.CanMaximize = false;
  EXPECT_TRUE(CaptionButtonVisible(minAlone, facts, nullptr));
  EXPECT_FALSE(CaptionButtonVisible(restore, facts, nullptr));

  EXPECT_TRUE(CaptionButtonVisible(Button(0, 1, 26, 0), facts, nullptr));
  EXPECT_TRUE(CaptionButtonVisible(Button(3, 0, 7, 0), facts, nullptr));
  facts.HasSystemMenu = false;
  facts.DialogFrame = true;
  EXPECT_FALSE(CaptionButtonVisible(Button(0, 1, 26, 0), facts, nullptr));
  EXPECT_FALSE(CaptionButtonVisible(Button(3, 0, 7, 0), facts, nullptr));
  EXPECT_TRUE(CaptionButtonVisible(Button(40, 0, 7, 200), facts, nullptr));
  facts.ForeignDialog = true;
  EXPECT_FALSE(CaptionButtonVisible(Button(40, 0, 7, 200), facts, nullptr));

  EXPECT_TRUE(CaptionButtonVisible(Button(40, 0, 0, 3), {.Active = true}, nullptr));
  EXPECT_FALSE(CaptionButtonVisible(Button(40, 0, 0, 3), {}, nullptr));
  EXPECT_TRUE(CaptionButtonVisible(Button(40, 0, 0, 4), {}, nullptr));
  EXPECT_TRUE(CaptionButtonVisible(Button(40, 0, 0, 555), {}, nullptr));
  EXPECT_FALSE(CaptionButtonVisible(Button(40, 0, 0, 5), {}, nullptr));
  EXPECT_FALSE(CaptionButtonVisible(Button(40, 0, 0, 2001), {}, nullptr));
  std::vector<std::pair<int, int>> asked;
  const auto query = [&asked](int code, int action) {
    asked.push_back({code, action});
    return code == 1500;
  };
  EXPECT_TRUE(CaptionButtonVisible(Button(40, 0, 0, 1500), {}, query));
  EXPECT_FALSE(CaptionButtonVisible(Button(41, 0, 0, 1000), {}, query));
  EXPECT_EQ(asked, (std::vector<std::pair<int, int>>{{1500, 40}, {1000, 41}}));
}

TEST(SkinFrame, CaptionButtonsAreLaidOutByAlignment) {
  const TFrameMetrics m{4, 26, 4, 4, 20};
  const TRect text{28, 0, 300, 26};
  EXPECT_EQ(CaptionButtonRect(Button(3, 0, 7, 0), 400, text, m), (TRect{7, 4, 23, 20}));
  EXPECT_EQ(CaptionButtonRect(Button(0, 1, 26, 0), 400, text, m), (TRect{374, 4, 390, 20}));
  EXPECT_EQ(CaptionButtonRect(Button(40, 2, 5, 0), 400, text, m), (TRect{7, 4, 23, 20}));
  EXPECT_EQ(CaptionButtonRect(Button(40, 9, 5, 0), 400, text, m), (TRect{305, 4, 321, 20}));
  EXPECT_EQ(CaptionButtonRect(Button(7, kMdiButtonAlign, 20, 100), 400, text, m, 2), (TRect{374, 28, 390, 44}));
  TDataSkinSysButton blank = Button(0, 1, 26, 0);
  blank.Image = TSkinImage();
  EXPECT_TRUE(CaptionButtonRect(blank, 400, text, m).Empty());

  TDataSkinTitle title("Title");
  title.LeftWidth = 28;
  title.TopHeight = 2;
  title.RightWidth = 92;
  EXPECT_EQ(CaptionTextRect(title, 400, m, 330), (TRect{28, 2, 308, 26}));
  EXPECT_EQ(CaptionTextRect(title, 400, m, 300), (TRect{28, 2, 296, 26}));
  EXPECT_EQ(CaptionTextRect(title, 60, m, 60), (TRect{28, 2, 28, 26}));
}

TEST(SkinFrame, PiecesAndButtonsPickTheirStateFrames) {
  EXPECT_EQ(BorderPieceFrame(true, 2), 1);
  EXPECT_EQ(BorderPieceFrame(false, 2), 2);
  EXPECT_EQ(BorderPieceFrame(false, 1), 1);
  EXPECT_EQ(CaptionButtonFrame(TNCObject::kNormal, true, 4), 1);
  EXPECT_EQ(CaptionButtonFrame(TNCObject::kNormal, false, 4), 4);
  EXPECT_EQ(CaptionButtonFrame(TNCObject::kNormal, false, 3), 1);
  EXPECT_EQ(CaptionButtonFrame(TNCObject::kPressed, false, 4), 2);
  EXPECT_EQ(CaptionButtonFrame(TNCObject::kHot, true, 3), 3);
  EXPECT_EQ(CaptionButtonFrame(TNCObject::kHot, true, 2), 1);
}

TEST(SkinFrame, RegionCutsMagentaFromTransparentPiecesOnly) {
  const TSkinModel model = FrameSkin();
  const TFrameMetrics m = SkinFrameMetrics(model, TBorderMode::Sizeable, 0);
  const std::vector<TRect> active = SkinRegionRects(model, 50, 40, m, true);
  // The left piece's corner pixel (column 0 of frame 1, the top row copied 1:1) is cut.
  EXPECT_FALSE(Covered(active, 0, 0));
  EXPECT_TRUE(Covered(active, 1, 0));
  EXPECT_TRUE(Covered(active, 0, 1));
  // The right piece is solid; so are the client part, the caption and the plain bottom.
  EXPECT_TRUE(Covered(active, 49, 0));
  EXPECT_TRUE(Covered(active, 25, 30));
  EXPECT_TRUE(Covered(active, 25, 0));
  EXPECT_TRUE(Covered(active, 25, 39));
  // The inactive frame's magenta column is at the same place within its frame.
  EXPECT_FALSE(Covered(SkinRegionRects(model, 50, 40, m, false), 0, 0));
  EXPECT_TRUE(SkinRegionRects(model, 0, 40, m, true).empty());
}

class TRecordingObject : public TNCObject {
public:
  TRecordingObject(TNCHotSlot& slot, std::vector<std::string>& log, std::string name)
      : TNCObject(slot), log_(log), name_(std::move(name)) {}
  void Paint() override { log_.push_back(name_ + std::to_string(State())); }

private:
  std::vector<std::string>& log_;
  std::string name_;
};

TEST(SkinFrame, OneHotObjectPerWindow) {
  TNCHotSlot slot;
  std::vector<std::string> log;
  TRecordingObject a(slot, log, "a"), b(slot, log, "b");
  a.MouseEnter();
  a.MouseEnter();
  b.MouseDown();
  EXPECT_EQ(slot.Hot(), &b);
  b.MouseUp();
  a.MouseEnter();
  a.MouseLeave();
  EXPECT_EQ(log, (std::vector<std::string>{"a3", "a1", "b2", "b3", "b1", "a3", "a1"}));
  EXPECT_EQ(slot.Hot(), nullptr);
  b.MouseDown();
  slot.Clear();
  EXPECT_EQ(b.State(), TNCObject::kNormal);
  EXPECT_EQ(slot.Hot(), nullptr);
}

TEST(SkinFrame, SystemMenuItemsFollowTheWindowsState) {
  const std::vector<TSystemMenuEntry> system = {
      {"&Restore", kScRestore}, {"&Move", kScMove},          {"&Size", kScSize}, {"Mi&nimize", kScMinimize},
      {"Ma&ximize", kScMaximize}, {"", 0, true},            {"&Close\tAlt+F4", kScClose, false, true},
      {"Extra", 0x120, false, false, true}};
  const auto normal = SkinSystemMenuItems(system, TWindowShow::Normal, true, false);
  const std::vector<TSkinMenuEntry> expected = {
      {"&Restore", kScRestore, 0, false},   {"&Move", kScMove, -1, true},     {"&Size", kScSize, -1, true},
      {"Mi&nimize", kScMinimize, 2, false}, {"Ma&ximize", kScMaximize, 1, true}, {"-", 0, -1, true},
      {"&Close\tAlt+F4", kScClose, 3, false}, {"Extra", 0x120, -1, true, true}};
  EXPECT_EQ(normal, expected);
  const auto maximized = SkinSystemMenuItems(system, TWindowShow::Maximized, true, true);
  EXPECT_TRUE(maximized[0].Enabled);
  EXPECT_FALSE(maximized[1].Enabled);
  EXPECT_FALSE(maximized[2].Enabled);
  EXPECT_TRUE(maximized[3].Enabled);
  EXPECT_FALSE(maximized[4].Enabled);
}

TEST(SkinFrame, PlatformRules) {
  const TPlatformVersion win2000{5, 0, true}, xp{5, 1, true}, nt4{4, 0, true};
  EXPECT_TRUE(NeedsCaptionStyleWorkaround(win2000, true, true, false));
  EXPECT_TRUE(NeedsCaptionStyleWorkaround(win2000, false, false, false));
  EXPECT_FALSE(NeedsCaptionStyleWorkaround(win2000, false, true, false));
  EXPECT_FALSE(NeedsCaptionStyleWorkaround(win2000, false, false, true));
  EXPECT_FALSE(NeedsCaptionStyleWorkaround(xp, true, false, false));
  EXPECT_FALSE(NeedsCaptionStyleWorkaround(nt4, true, false, false));
  EXPECT_TRUE(CloseFollowsSystemMenu(xp));
  EXPECT_FALSE(CloseFollowsSystemMenu(nt4));
}

}  // namespace
