#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "framework/core/Exception.h"
#include "skin/format/SkinIni.h"
#include "skin/format/SkinRead.h"
#include "tools/skntool/Pack.h"

namespace fs = std::filesystem;

namespace {

class PackFolder : public ::testing::Test {
protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("skntool-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  void Put(const std::string& name, const std::string& bytes) {
    std::ofstream(folder_ / name, std::ios::binary) << bytes;
  }

  fs::path folder_;
};

}  // namespace

TEST_F(PackFolder, DescriptionFirstThenBitmapsByNameAndNothingElse) {
  Put("b.bmp", "BM second");
  Put("A.bmp", "BM first");
  Put("skin.ini", "[TitlebarSkin]\nSkinName=Packed\n");
  Put("notes.txt", "left out");
  fs::create_directories(folder_ / "sub.bmp");

  const TMemoryStream file(BuildSkinFile(CollectSkinSources(folder_)));
  TMemoryStream copy(file.Bytes());
  TSkinReader reader;
  ASSERT_TRUE(reader.LoadFromStream(copy)) << reader.LastError();
  ASSERT_EQ(reader.EntryCount(), 3);
  EXPECT_EQ(reader.EntryName(0), "skin.ini");
  EXPECT_EQ(reader.EntryName(1), "a.bmp");
  EXPECT_EQ(reader.EntryName(2), "b.bmp");

  TMemoryStream description;
  std::string name;
  reader.FindEntry(".ini", description, name);
  TQuickIni ini;
  ini.LoadFromStream(&description);
  EXPECT_EQ(ini.ReadString("TitlebarSkin", "SkinName", ""), "Packed");

  EXPECT_EQ(BuildSkinFile(CollectSkinSources(folder_)), file.Bytes()) << "packing is repeatable";
}

TEST_F(PackFolder, RefusesFoldersThatWouldPackBadly) {
  EXPECT_THROW(CollectSkinSources(folder_ / "absent"), EInvalidOperation);
  Put("a.bmp", "BM");
  EXPECT_THROW(CollectSkinSources(folder_), EInvalidOperation) << "no description";
  Put("one.ini", "[a]");
  Put("two.INI", "[b]");
  EXPECT_THROW(CollectSkinSources(folder_), EInvalidOperation) << "two descriptions";
  fs::remove(folder_ / "two.INI");
  if (!fs::exists(folder_ / "A.BMP")) {  // only a case-sensitive file system can hold both
    Put("A.BMP", "BM");
    EXPECT_THROW(CollectSkinSources(folder_), EInvalidOperation) << "names equal after lower-casing";
    fs::remove(folder_ / "A.BMP");
  }
  Put("fake.bmp", "GIF89a");
  EXPECT_THROW(CollectSkinSources(folder_), EInvalidOperation) << "not a bitmap";
}

TEST_F(PackFolder, TwiceSizedPicturesFollowTheSkinWhereAReaderOfTheSkinAloneNeverLooks) {
  Put("skin.ini", "[TitlebarSkin]\nSkinName=Packed\n");
  Put("a.bmp", "BM small");
  Put("a@2x.bmp", "BM large");
  TMemoryStream file(PackSkinFolder(folder_));
  TSkinReader reader;
  ASSERT_TRUE(reader.LoadFromStream(file)) << reader.LastError();
  ASSERT_EQ(reader.EntryCount(), 2);
  EXPECT_EQ(reader.EntryName(1), "a.bmp");

  TMemoryStream detail;
  ASSERT_TRUE(ReadSkinDetail(file, detail));
  TSkinReader large;
  ASSERT_TRUE(large.LoadFromStream(detail)) << large.LastError();
  ASSERT_EQ(large.EntryCount(), 2);
  EXPECT_EQ(large.EntryName(0), "skin.ini");
  TMemoryStream picture;
  large.ReadEntry("a.bmp", picture);
  EXPECT_EQ(std::string(picture.Bytes().begin(), picture.Bytes().end()), "BM large");

  // A skin without a trailer, or with one that claims more than the file holds, has no detail.
  std::vector<uint8_t> bytes = BuildSkinFile(CollectSkinSources(folder_));
  TMemoryStream plain(bytes);
  EXPECT_FALSE(ReadSkinDetail(plain, detail));
  bytes.insert(bytes.end(), {0x00, 0x00, 0x01, 0x00, 'S', 'K', 'X', '2'});
  TMemoryStream damaged(bytes);
  EXPECT_FALSE(ReadSkinDetail(damaged, detail));
}
