#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/format/SkinIni.h"

namespace {

TQuickIni Parse(const std::string& text) {
  TMemoryStream stream(std::vector<uint8_t>(text.begin(), text.end()));
  TQuickIni ini;
  ini.LoadFromStream(&stream);
  return ini;
}

const char* const kSample =
    "top=before any section\r\n"
    "  [TitleBarSkin]  \r\n"
    "SkinName = Velvet  \r\n"
    "  ; Colour = 12\r\n"
    "\r\n"
    "Empty=\r\n"
    "Twice=\n"
    "Twice=second\r"
    "no equals sign\n"
    "[Numbers]\n"
    "Hex=0x1F\n"
    "Dollar=$1F\n"
    "Plain=31\n"
    "Bare=1F\n"
    "Negative=-12\n"
    "Colour=0xFF00FF\n"
    "AllBits=$FFFFFFFF\n"
    "TooBig=2147483648\n"
    "JustPrefix=0x\n"
    "[numbers]\n"
    "Later=5\n"
    "[ Spaced ]\n"
    "k=v\n";

}  // namespace

TEST(QuickIni, SectionsAndKeysIgnoreCaseAndBlanks) {
  const TQuickIni ini = Parse(kSample);
  EXPECT_EQ(ini.ReadString("titlebarskin", "skinname", "x"), "Velvet");
  EXPECT_EQ(ini.ReadString("TITLEBARSKIN", "SKINNAME", "x"), "Velvet");
  EXPECT_EQ(ini.ReadString("TitleBarSkin", "Colour", "none"), "none") << "a comment is no line";
  EXPECT_EQ(ini.ReadString("TitleBarSkin", "top", "none"), "none") << "lines before a header belong nowhere";
  EXPECT_EQ(ini.ReadString("Spaced", "k", "none"), "none") << "blanks inside the brackets do not match";
  EXPECT_EQ(ini.ReadString(" Spaced ", "k", "none"), "v");
  EXPECT_EQ(ini.ReadString("TitleBarSkin", " SkinName", "none"), "none") << "the asked key is not trimmed";
}

TEST(QuickIni, FirstSectionAndFirstKeyWinEvenWhenEmpty) {
  const TQuickIni ini = Parse(kSample);
  EXPECT_EQ(ini.ReadString("TitleBarSkin", "Empty", "dflt"), "dflt");
  EXPECT_EQ(ini.ReadString("TitleBarSkin", "Twice", "dflt"), "dflt") << "the empty first line decides";
  EXPECT_EQ(ini.ReadString("Numbers", "Later", "dflt"), "dflt") << "the second [numbers] is never searched";
  EXPECT_EQ(ini.ReadString("TitleBarSkin", "Hex", "dflt"), "dflt") << "the search stops at the next header";
}

TEST(QuickIni, IntegersInDecimalAndBothHexadecimalForms) {
  const TQuickIni ini = Parse(kSample);
  EXPECT_EQ(ini.ReadInteger("Numbers", "Hex", -1), 31);
  EXPECT_EQ(ini.ReadInteger("Numbers", "Dollar", -1), 31);
  EXPECT_EQ(ini.ReadInteger("Numbers", "Plain", -1), 31);
  EXPECT_EQ(ini.ReadInteger("Numbers", "Bare", -1), -1);
  EXPECT_EQ(ini.ReadInteger("Numbers", "Negative", 0), -12);
  EXPECT_EQ(ini.ReadInteger("Numbers", "Colour", 0), 0xFF00FF);
  EXPECT_EQ(ini.ReadInteger("Numbers", "AllBits", 0), -1);
  EXPECT_EQ(ini.ReadInteger("Numbers", "TooBig", 7), 7);
  EXPECT_EQ(ini.ReadInteger("Numbers", "JustPrefix", 7), 7);
  EXPECT_EQ(ini.ReadInteger("Numbers", "Missing", 7), 7);
}

TEST(QuickIni, SectionListAndTextEndingAtNul) {
  std::string text = "[A]\nx=1\n[ B ]\n";
  text += '\0';
  text += "[Hidden]\n";
  TQuickIni ini = Parse(text);
  std::vector<std::string> sections = {"stale"};
  ini.ReadSections(sections);
  EXPECT_EQ(sections, (std::vector<std::string>{"A", "B"}));

  ini.LoadFromStream(nullptr);
  EXPECT_EQ(ini.ReadInteger("A", "x", 0), 1) << "a missing stream changes nothing";
  ini = Parse("[C]\ny=2");
  EXPECT_EQ(ini.ReadInteger("A", "x", 0), 0) << "loading replaces the earlier text";
  EXPECT_EQ(ini.ReadInteger("C", "y", 0), 2);
}

TEST(QuickIni, ReadsFromTheStreamPositionOn) {
  const std::string text = "garbage[S]\nk=v\n";
  TMemoryStream stream(std::vector<uint8_t>(text.begin(), text.end()));
  stream.SetPosition(7);
  TQuickIni ini;
  ini.LoadFromStream(&stream);
  EXPECT_EQ(ini.ReadString("S", "k", ""), "v");
}
