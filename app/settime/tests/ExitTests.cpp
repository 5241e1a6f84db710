// The exit command, in a process of its own because it ends the message loop for good.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/settime/TrayIcon.h"
#include "app/settime/Velmain.h"
#include "app/settime/tests/AppFixture.h"
#include "framework/controls/Application.h"
#include "framework/resources/ResourceFile.h"

namespace {

class Exit : public AppFixture {};

TEST_F(Exit, RemovesTheIconAndTheProgramsFilesButNotTheAudio) {
  TCloseAction action = TCloseAction::caHide;
  velmain->FormClose(nullptr, action);
  EXPECT_EQ(action, TCloseAction::caNone);
  ASSERT_TRUE(TrayIcon1->Active());
  const std::string skin = PathNextToExecutable("velskin.skn");
  const std::string movie = PathNextToExecutable("tarno.vel");
  const std::string audio = PathNextToExecutable("eyezz.mp3");
  ASSERT_TRUE(std::filesystem::exists(std::filesystem::u8path(skin)));
  std::ofstream(std::filesystem::u8path(movie)) << "movie";
  std::ofstream(std::filesystem::u8path(audio)) << "audio";
  velmain->X1Click(nullptr);
  EXPECT_FALSE(TrayIcon1->Active());
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::u8path(skin)));
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::u8path(movie)));
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::u8path(audio)));
  Application->ProcessMessages();
  EXPECT_TRUE(Application->Terminated()) << "the message loop ends";
  DeleteFileIfExists(audio);
}

}  // namespace
