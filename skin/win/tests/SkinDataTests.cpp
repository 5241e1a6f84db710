#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "framework/controls/LayoutReader.h"
#include "framework/win32/DCState.h"
#include "framework/win32/Dpi.h"
#include "framework/win32/Handles.h"
#include "skin/win/data/SkinDataUnit.h"
#include "skin/win/tests/SkinFileRebuild.h"

namespace {

constexpr const char* kSkinFile = "skin-win-test-velskin.skn";

struct TCall {
  std::string what;
  int action = 0;
  int delay = 0;
  friend bool operator==(const TCall&, const TCall&) = default;
};

// Stands in for the skin manager and writes down what the skin data asked of it.
class TRecordingManager : public TSkinManagerBase {
public:
  explicit TRecordingManager(std::vector<TCall>& calls) : calls_(calls) {}
  void Register(TSkinData*) override { calls_.push_back({"register"}); }
  void Unregister(TSkinData*) override { calls_.push_back({"unregister"}); }
  void InstallHook() override { calls_.push_back({"hook"}); }
  void ServeIndividualForms() override { calls_.push_back({"individual"}); }
  void SkinForm(TSkinData*, TCustomForm*) override { calls_.push_back({"form"}); }
  void Schedule(TSkinData*, int action, int delay) override { calls_.push_back({"schedule", action, delay}); }
  void Refresh(TSkinData*) override { calls_.push_back({"refresh"}); }

private:
  std::vector<TCall>& calls_;
};

class SkinData : public ::testing::Test {
protected:
  void SetUp() override {
    RegisterSkinDataClass();
    SetSkinManagerFactory([this] { return std::make_unique<TRecordingManager>(calls); });
  }
  void TearDown() override {
    root.reset();
    SetSkinManagerFactory(nullptr);
  }

  // A skin data read from a layout, as a form carries it.
  TSkinData& FromLayout(const std::string& properties) {
    root = std::make_unique<TComponent>(nullptr);
    ReadLayout(*root, "object Root: TComponent\n  object SkinData1: TSkinData\n" + properties + "  end\nend\n",
               THandlerTable());
    return *static_cast<TSkinData*>(root->FindComponent("SkinData1"));
  }

  std::vector<TCall> calls;
  std::unique_ptr<TComponent> root;
};

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

TEST_F(SkinData, ConstructionGivesThePublishedDefaults) {
  TSkinData data(nullptr);
  EXPECT_EQ(GetPropValue(data, "Active"), "False");
  EXPECT_EQ(GetPropValue(data, "DisableTag"), "99");
  EXPECT_EQ(GetPropValue(data, "SkinControls"),
            "[xcMainMenu, xcPopupMenu, xcToolbar, xcControlbar, xcCombo, xcCheckBox, xcRadioButton, xcProgress, "
            "xcScrollbar, xcEdit, xcButton, xcBitBtn, xcSpeedButton, xcSpin, xcPanel, xcGroupBox, xcStatusBar, "
            "xcTab, xcTrackBar, xcSystemMenu]");
  EXPECT_EQ(GetPropValue(data, "Options"), "[xoPreview, xoToolbarBK]");
  EXPECT_EQ(data.ClassMap().size(), 117u);
  EXPECT_EQ(data.ClassMap().front(), "TComboboxex=combobox");
  EXPECT_EQ(GetPropValue(data, "SkinStore"), "(none)");
  EXPECT_EQ(GetPropValue(data, "SkinFormtype"), "sfMainform");
  SetPropValue(data, "Version", "9.9");
  EXPECT_EQ(GetPropValue(data, "Version"), "4.01.03.16");
  EXPECT_EQ(GetPropValue(data, "MenuUpdate"), "True");
  EXPECT_EQ(GetPropValue(data, "MenuMerge"), "False");
  EXPECT_TRUE(data.LoadingSkin());
  EXPECT_EQ(data.MenuGlyphs()->Count(), 4);
  EXPECT_GT(data.MaximizedSize().cx, 0);
}

TEST_F(SkinData, TheProgramsSkinLoadsWithABitmapForEveryPicture) {
  TSkinData& data = FromLayout("");
  calls.clear();
  data.SetSkinFile(kSkinFile);
  ASSERT_FALSE(data.LoadingSkin());
  EXPECT_EQ(data.SkinName(), "Qinglan Mist");
  EXPECT_EQ(calls, (std::vector<TCall>{{"refresh"}}));
  for (const auto& object : data.Model().Objects()) {
    if (object->Image.Empty()) continue;
    const TBitmap* bitmap = data.Picture(object->Image);
    ASSERT_NE(bitmap, nullptr) << object->Name;
    EXPECT_EQ(bitmap->Width(), object->Image.Width()) << object->Name;
  }
  const TDataSkinButton& buttons = data.Model().Buttons();
  ASSERT_NE(data.Picture(buttons.CheckImage), nullptr);
  EXPECT_EQ(data.Picture(buttons.CheckImage)->Height(), 13);
  EXPECT_NE(data.ButtonFaceBrush(), nullptr);
  EXPECT_NE(data.CaptionFont(), nullptr);
  // The caption's small icon: 16 pixels at 96 dpi, 32 at 200 %, whatever the system's own scale.
  ASSERT_NE(data.AppIcon(96), nullptr);
  EXPECT_EQ(data.AppIcon(96)->Width(), 16);
  ASSERT_NE(data.AppIcon(192), nullptr);
  EXPECT_EQ(data.AppIcon(192)->Width(), 32);
}

TEST_F(SkinData, ActiveSchedulesSkinningOnlyOnceASkinIsLoaded) {
  TSkinData& data = FromLayout("");
  calls.clear();
  data.SetActive(true);
  EXPECT_FALSE(data.Active());
  EXPECT_TRUE(calls.empty());

  data.SetSkinFile(kSkinFile);
  calls.clear();
  data.SetActive(true);
  data.SetActive(true);
  data.SetActive(false);
  EXPECT_EQ(calls, (std::vector<TCall>{{"schedule", 1, 250}, {"schedule", 2, 250}}));

  calls.clear();
  data.SetSkinFormtype(TSkinFormType::sfDialog);
  data.SetActive(true);
  EXPECT_TRUE(data.Active());
  EXPECT_TRUE(calls.empty());

  int changed = 0;
  data.OnSkinChanged = [&changed](TObject*) { ++changed; };
  data.SkinChanged();
  EXPECT_EQ(changed, 1);
}

TEST_F(SkinData, LoadedTurnsActiveOffWithoutASkinAndSchedulesItWithOne) {
  const std::string stored =
      "    Active = True\n    DisableTag = 99\n    SkinControls = [xcMainMenu, xcPopupMenu, xcToolbar]\n"
      "    Options = [xoPreview, xoToolbarBK]\n    SkinStore = '(none)'\n";
  TSkinData& bare = FromLayout(stored);
  EXPECT_FALSE(bare.Active());
  EXPECT_EQ(calls, (std::vector<TCall>{{"register"}, {"hook"}}));
  EXPECT_EQ(GetPropValue(bare, "SkinControls"), "[xcMainMenu, xcPopupMenu, xcToolbar]");

  calls.clear();
  TSkinData& skinned = FromLayout(stored + "    SkinFile = '" + kSkinFile + "'\n");
  EXPECT_TRUE(skinned.Active());
  EXPECT_EQ(calls, (std::vector<TCall>{{"unregister"}, {"register"}, {"hook"}, {"schedule", 1, 250}}));

  // Without the frame switch the system menu is left to the system.
  TSkinData& framed = FromLayout("    SkinControls = [xcMenuItem, xcSystemMenu]\n");
  EXPECT_EQ(GetPropValue(framed, "SkinControls"), "[xcMenuItem]");
}

TEST_F(SkinData, ADamagedOrOlderSkinLeavesTheLoadingFlagSet) {
  TSkinData& data = FromLayout("");
  std::vector<std::string> messages;
  data.OnReaderMessage = [&messages](const std::string& m) { messages.push_back(m); };
  WriteFile("skin-win-test-damaged.skn", std::string("\xFF\xFF\xFF\x00garbage", 11));
  data.SetSkinFile("skin-win-test-damaged.skn");
  EXPECT_TRUE(data.LoadingSkin());
  data.SetActive(true);
  EXPECT_FALSE(data.Active());

  std::vector<uint8_t> payload = BuildSkinPayload({{"a.ini", {'[', 'x', ']'}}});
  payload[0] = 0x1F;
  const std::vector<uint8_t> older = CompressSkinPayload(payload);
  WriteFile("skin-win-test-older.skn", std::string(older.begin(), older.end()));
  data.SetSkinFile("skin-win-test-older.skn");
  EXPECT_TRUE(data.LoadingSkin());
  EXPECT_EQ(messages, (std::vector<std::string>{kSkinOlderFileMessage}));

  // A skin loaded before stays whole, bytes and bitmaps; a file that does not exist only sets the
  // loading flag again.
  data.SetSkinFile(kSkinFile);
  data.SetSkinFile("skin-win-test-damaged.skn");
  TMemoryStream held;
  data.WriteSkinStream(held);
  std::ifstream file(kSkinFile, std::ios::binary | std::ios::ate);
  EXPECT_EQ(held.Size(), 4 + static_cast<int64_t>(file.tellg()));
  EXPECT_NE(data.Picture(data.Model().Buttons().Image), nullptr);
  data.SetSkinFile("skin-win-test-missing.skn");
  EXPECT_TRUE(data.LoadingSkin());
  EXPECT_EQ(data.SkinName(), "Qinglan Mist");
}

TEST_F(SkinData, SkinStreamCarriesTheCompressedSkin) {
  TSkinData& source = FromLayout("");
  source.SetSkinFile(kSkinFile);
  TMemoryStream stream;
  source.WriteSkinStream(stream);
  std::ifstream file(kSkinFile, std::ios::binary | std::ios::ate);
  EXPECT_EQ(stream.Size(), 4 + static_cast<int64_t>(file.tellg()));

  TSkinData copy(nullptr);
  stream.SetPosition(0);
  copy.ReadSkinStream(stream);
  EXPECT_FALSE(copy.LoadingSkin());
  EXPECT_EQ(copy.SkinName(), "Qinglan Mist");

  // A byte count beyond the data is refused before anything is read.
  TSkinData damaged(nullptr);
  const uint8_t tooLong[] = {0x10, 0, 0, 0, 1, 2, 3};
  TMemoryStream shortStream(std::vector<uint8_t>(std::begin(tooLong), std::end(tooLong)));
  EXPECT_THROW(damaged.ReadSkinStream(shortStream), EReadError);
  EXPECT_TRUE(damaged.LoadingSkin());
}

TEST_F(SkinData, EachScaleIsMadeOnceForAllWindowsFromTheNearestPicturesAtOrAboveIt) {
  TSkinData& data = FromLayout("");
  data.SetSkinFile(kSkinFile);
  ASSERT_FALSE(data.LoadingSkin());
  EXPECT_EQ(&data.Model(kDesignDpi), &data.Model());
  const TSkinModel& at150 = data.Model(144);
  EXPECT_EQ(&data.Model(144), &at150);
  // The left border: two 4-pixel frames at 96 dpi, its outer line the skin's darkest green.
  const TSkinImage& left150 = at150.Border("Left").Image;
  EXPECT_EQ(left150.Width(), 12);
  ASSERT_NE(data.Picture(left150), nullptr);
  EXPECT_EQ(data.Picture(left150)->Width(), 12);
  constexpr uint32_t kOuter = 0x4F8F6D;
  constexpr uint32_t kFrame = 0xA9D6BC;
  // At 200 % the file's 2x picture is taken as it is: its outline two pixels wide.
  EXPECT_EQ(data.Model(192).Border("Left").Image.Pixel(1, 60), kOuter);

  // The same skin without its 2x pictures is enlarged smoothly: the outline's second pixel blends.
  const std::vector<uint8_t> plain = RebuiltSkinFile(kSkinFile);
  ASSERT_FALSE(plain.empty());
  WriteFile("skin-win-test-1x.skn", std::string(plain.begin(), plain.end()));
  data.SetSkinFile("skin-win-test-1x.skn");
  ASSERT_FALSE(data.LoadingSkin());
  const TSkinImage& left200 = data.Model(192).Border("Left").Image;
  ASSERT_EQ(left200.Width(), 16);
  const uint32_t blend = left200.Pixel(1, 60);
  EXPECT_NE(blend, kOuter);
  EXPECT_NE(blend, kFrame);
  EXPECT_GT(blend >> 8 & 0xFF, kOuter >> 8 & 0xFF);
  EXPECT_LT(blend >> 8 & 0xFF, kFrame >> 8 & 0xFF);
}

}  // namespace

// A picture drawn transparently leaves the destination under its magenta pixels, and only under
// them (a near-magenta pixel is the picture's), whether copied one to one or stretched.
TEST(SkinPicture, TransparentDrawsKeepTheDestinationUnderMagentaOnly) {
  TSkinPicture picture;
  picture.SetSize(2, 2);
  // Blue, green, red, alpha: magenta, red / near-magenta, blue.
  const uint8_t rows[2][8] = {{255, 0, 255, 0, 0, 0, 255, 0}, {255, 0, 254, 0, 255, 0, 0, 0}};
  for (int y = 0; y < 2; ++y) std::memcpy(picture.ScanLine(y), rows[y], 8);

  const WindowDC screen(nullptr);
  const UniqueMemoryDC dc(CreateCompatibleDC(screen.get()));
  const UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), 6, 4));
  const SelectedObject selected(dc.get(), bitmap.get());
  const COLORREF ground = RGB(10, 20, 30);
  const UniqueBrush brush(CreateSolidBrush(ground));
  const RECT all{0, 0, 6, 4};
  FillRect(dc.get(), &all, brush.get());
  SetTextColor(dc.get(), RGB(1, 2, 3));

  DrawSkinPicture(dc.get(), picture, {0, 0, 2, 2}, {}, false, {0, 0, 2, 2}, true);
  DrawSkinPicture(dc.get(), picture, {0, 0, 2, 2}, {}, false, {2, 0, 6, 4}, true);
  const COLORREF expected[4][6] = {
      {ground, RGB(255, 0, 0), ground, ground, RGB(255, 0, 0), RGB(255, 0, 0)},
      {RGB(254, 0, 255), RGB(0, 0, 255), ground, ground, RGB(255, 0, 0), RGB(255, 0, 0)},
      {ground, ground, RGB(254, 0, 255), RGB(254, 0, 255), RGB(0, 0, 255), RGB(0, 0, 255)},
      {ground, ground, RGB(254, 0, 255), RGB(254, 0, 255), RGB(0, 0, 255), RGB(0, 0, 255)}};
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(GetPixel(dc.get(), x, y), expected[y][x]) << x << "," << y;
  // The caller's text colour is left for its own drawing.
  EXPECT_EQ(GetTextColor(dc.get()), RGB(1, 2, 3));
}
