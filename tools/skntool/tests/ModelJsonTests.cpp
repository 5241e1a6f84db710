#include <gtest/gtest.h>

#include <string>

#include "tools/skntool/ModelJson.h"

namespace {

TSkinModel Read(const std::string& description) {
  TMemoryStream text(std::vector<uint8_t>(description.begin(), description.end()));
  TQuickIni ini;
  ini.LoadFromStream(&text);
  TSkinModel model;
  model.Load(ini, nullptr, TSkinEnvironment());
  return model;
}

TEST(ModelJson, EscapesNamesAndNamesSystemColours) {
  const std::string json = SkinModelJson(Read("[TitlebarSkin]\nSkinName=\"Mist\"\\\x01\xC3\xA9\xFF\n"));
  EXPECT_EQ(json.rfind("{\"name\": \"\\\"Mist\\\"\\\\\\u0001\xC3\xA9\\ufffd\",", 0), 0u) << json;
  EXPECT_NE(json.find("\"ButtonFace\": \"clBtnFace\""), std::string::npos);
  EXPECT_NE(json.find("\"TitleTextNoActive\": \"clInactiveCaptionText\""), std::string::npos);
  EXPECT_NE(json.find("\"Top\": {\"image\": null, \"frames\": 1, \"margins\": [0, 0, 0, 0], \"trans\": 1, \"tile\": 0,"),
            std::string::npos);
  EXPECT_NE(json.find("{\"name\": \"MDICLOSE\", \"action\": 9, \"align\": 100"), std::string::npos);
  EXPECT_NE(json.find("\"custom\": [\"#ffffff\""), std::string::npos);
}

}  // namespace
