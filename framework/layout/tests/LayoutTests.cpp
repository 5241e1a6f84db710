#include <gtest/gtest.h>

#include "framework/layout/Layout.h"

namespace {

const char* const kSample = R"(object velmain: Tvelmain
  // the main window
  Caption = '晴岚 V1.2'
  Font.Height = -19
  Ratio = 1.5
  Hex = $FF
  BorderIcons = [biSystemMenu, biMinimize]
  Empty = []
  OnShow = FormShow
  Lines.Strings = (
    'first'
    'it''s')
  Picture.Data = {
    0A0b FF
    00}
  object Label1: TLabel
    Caption = #13'将在' + #$41 + 'x'
  end
  object Panel1: TPanel
    object Label2: TLabel
    end
  end
end
)";

TEST(Layout, ParsesEveryValueKind) {
  const TLayoutObject root = ParseLayout(kSample);
  EXPECT_EQ(root.name, "velmain");
  EXPECT_EQ(root.className, "Tvelmain");
  ASSERT_EQ(root.properties.size(), 9u);
  EXPECT_EQ(root.properties[0].value.text, "晴岚 V1.2");
  EXPECT_EQ(root.properties[1].name, "Font.Height");
  EXPECT_EQ(root.properties[1].value.integer, -19);
  EXPECT_EQ(root.properties[2].value.kind, TLayoutValue::Kind::Float);
  EXPECT_DOUBLE_EQ(root.properties[2].value.number, 1.5);
  EXPECT_EQ(root.properties[3].value.integer, 255);
  EXPECT_EQ(LayoutValueText(root.properties[4].value), "[biSystemMenu, biMinimize]");
  EXPECT_EQ(LayoutValueText(root.properties[5].value), "[]");
  EXPECT_EQ(root.properties[6].value.kind, TLayoutValue::Kind::Ident);
  EXPECT_EQ(root.properties[6].value.text, "FormShow");
  ASSERT_EQ(root.properties[7].value.items.size(), 2u);
  EXPECT_EQ(root.properties[7].value.items[1].text, "it's");
  EXPECT_EQ(root.properties[8].value.bytes, (std::vector<uint8_t>{0x0A, 0x0B, 0xFF, 0x00}));
  ASSERT_EQ(root.children.size(), 2u);
  EXPECT_EQ(root.children[0].properties[0].value.text, "\r将在Ax");
  EXPECT_EQ(root.children[1].children[0].name, "Label2");
  EXPECT_EQ(root.children[1].line, 19);
}

TEST(Layout, WrittenTextReadsBackToTheSameTree) {
  const TLayoutObject first = ParseLayout(kSample);
  const std::string text = WriteLayout(first);
  const TLayoutObject second = ParseLayout(text);
  EXPECT_EQ(WriteLayout(second), text);
  EXPECT_EQ(second.children[0].properties[0].value.text, "\r将在Ax");
  EXPECT_EQ(second.properties[8].value.bytes, first.properties[8].value.bytes);
  EXPECT_DOUBLE_EQ(second.properties[2].value.number, 1.5);
}

TEST(Layout, FileReferencesAreKeptForTheBuildToExpand) {
  const TLayoutObject root =
      ParseLayout("object F: TF\n  Picture.Data = file('assets/p.jpg')\n  Image.Data = sizedfile('a.gif')\nend\n");
  EXPECT_EQ(root.properties[0].value.kind, TLayoutValue::Kind::File);
  EXPECT_EQ(root.properties[0].value.text, "assets/p.jpg");
  EXPECT_EQ(root.properties[0].value.integer, 0);
  EXPECT_EQ(root.properties[1].value.integer, 1);
  EXPECT_EQ(ParseLayout(WriteLayout(root)).properties[1].value.integer, 1);
}

TEST(Layout, MalformedTextNamesTheLine) {
  const char* const bad[] = {
      "object F: TF\n  Caption = 'open\nend\n",       // unterminated string
      "object F: TF\n  Data = { 0A1 }\nend\n",         // odd digits
      "object F: TF\n  Data = { 0G }\nend\n",          // not hex
      "object F: TF\n  X = \nend\n",                   // missing value
      "object F: TF\n  X = 1\n",                        // missing end
      "object F TF\nend\n",                             // missing colon
      "object F: TF\nend\nextra",                       // trailing text
      "object F: TF\n  C = #99999999\nend\n",           // bad character code
      "object F: TF\n  S = [a b]\nend\n",               // bad set
      "object F: TF\n  N = 99999999999999999999\nend\n",  // out of range
  };
  for (const char* text : bad) {
    try {
      ParseLayout(text);
      ADD_FAILURE() << "accepted: " << text;
    } catch (const EParserError& e) {
      EXPECT_EQ(e.Message().rfind("Line ", 0), 0u) << e.Message();
    }
  }
}

TEST(Layout, DeepNestingIsRefusedNotOverflowed) {
  std::string lists = "object F: TF\n  X = " + std::string(100000, '(') + "\nend\n";
  EXPECT_THROW(ParseLayout(lists), EParserError);
  std::string objects;
  for (int i = 0; i < 5000; ++i) objects += "object A: TA\n";
  EXPECT_THROW(ParseLayout(objects), EParserError);
  std::string fine;
  for (int i = 0; i < 50; ++i) fine += "object A" + std::to_string(i) + ": TA\n";
  for (int i = 0; i < 50; ++i) fine += "end\n";
  EXPECT_EQ(ParseLayout(fine).children.size(), 1u);
}

}  // namespace
