#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "framework/media/MediaPlayer.h"
#include "framework/resources/ResourceFile.h"
#include "framework/win32/Strings.h"

namespace {
// Pumps messages (the completion notices among them) while waiting.
template <typename Condition>
bool WaitUntil(Condition condition, int milliseconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    if (condition()) return true;
    if (std::chrono::steady_clock::now() > deadline) return false;
    Sleep(10);
  }
}

void Pump(int milliseconds) { static_cast<void>(WaitUntil([] { return false; }, milliseconds)); }

// A private copy of the test tone per test, so that deleting it proves the player let go of it.
std::string CopyOfTone(const std::string& name) {
  const std::string path = PathNextToExecutable(name);
  EXPECT_TRUE(CopyFileW(Utf8ToWide(PathNextToExecutable("media-test-tone.mp3")).c_str(), Utf8ToWide(path).c_str(), FALSE));
  return path;
}

bool Delete(const std::string& path) { return DeleteFileW(Utf8ToWide(path).c_str()) != 0; }

// Someone else has the file open: an exclusive open is refused (Wine lets such a file be deleted,
// so deleting proves nothing there).
bool HeldOpen(const std::string& path) {
  const HANDLE file = CreateFileW(Utf8ToWide(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_SHARING_VIOLATION;
  CloseHandle(file);
  return false;
}

std::string ErrorOf(void (TMediaPlayer::*operation)(), TMediaPlayer& player) {
  try {
    (player.*operation)();
  } catch (const EMCIDeviceError& e) {
    return e.Message();
  }
  return "no error";
}
}  // namespace

TEST(MediaPlayer, PlaysPausesAndResumesFromTheSamePlace) {
  const std::string path = CopyOfTone("media-play.mp3");
  TMediaPlayer player(nullptr);
  player.FileName = path;
  player.Open();
  ASSERT_TRUE(player.IsOpen());
  EXPECT_EQ(player.Mode(), TMPModes::mpStopped);
  EXPECT_NEAR(static_cast<double>(player.Length()), 2500, 150);
  EXPECT_EQ(player.Position(), 0);

  player.Play();
  EXPECT_EQ(player.Mode(), TMPModes::mpPlaying);
  ASSERT_TRUE(WaitUntil([&] { return player.Position() > 200; }, 3000)) << "position does not advance";

  player.Pause();
  EXPECT_EQ(player.Mode(), TMPModes::mpPaused);
  const int64_t paused = player.Position();
  Pump(300);
  EXPECT_NEAR(static_cast<double>(player.Position()), static_cast<double>(paused), 30);

  player.Pause();  // the second press resumes
  EXPECT_EQ(player.Mode(), TMPModes::mpPlaying);
  ASSERT_TRUE(WaitUntil([&] { return player.Position() > paused + 150; }, 3000));
  EXPECT_LT(player.Position(), paused + 1500) << "resume started again from the beginning";

  // The reminder's button carries on from a pause with Play rather than with a resume.
  player.Pause();
  EXPECT_EQ(player.Mode(), TMPModes::mpPaused);
  player.Play();
  EXPECT_EQ(player.Mode(), TMPModes::mpPlaying);

  EXPECT_TRUE(HeldOpen(path));
  player.Close();
  EXPECT_FALSE(player.IsOpen());
  EXPECT_FALSE(HeldOpen(path)) << "the closed player still holds the file";
  EXPECT_TRUE(Delete(path));
}

TEST(MediaPlayer, PlayAtTheEndStartsAgainAndPauseDoesNothingOnceStopped) {
  const std::string path = CopyOfTone("media-end.mp3");
  {
    TMediaPlayer player(nullptr);
    player.FileName = path;
    player.Open();
    player.Play();
    ASSERT_TRUE(WaitUntil([&] { return player.Mode() == TMPModes::mpStopped; }, 8000)) << "never reached the end";

    player.Pause();  // stopped: nothing to pause
    EXPECT_EQ(player.Mode(), TMPModes::mpStopped);

    player.Play();
    EXPECT_EQ(player.Mode(), TMPModes::mpPlaying);
    ASSERT_TRUE(WaitUntil([&] { return player.Position() > 100; }, 3000));
    EXPECT_LT(player.Position(), 1500) << "did not start again from the beginning";
    // The device really plays again (not only its position), so the pause button works again.
    player.Pause();
    EXPECT_EQ(player.Mode(), TMPModes::mpPaused);
  }
  // Destroying the player closes the device, which lets go of the file.
  EXPECT_FALSE(HeldOpen(path));
  EXPECT_TRUE(Delete(path));
}

TEST(MediaPlayer, OpeningAgainClosesTheFirstDevice) {
  const std::string first = CopyOfTone("media-first.mp3");
  const std::string second = CopyOfTone("media-second.mp3");
  TMediaPlayer player(nullptr);
  player.FileName = first;
  player.Open();
  player.Play();
  player.FileName = second;
  player.Open();
  EXPECT_EQ(player.Mode(), TMPModes::mpStopped);
  EXPECT_FALSE(HeldOpen(first));
  EXPECT_TRUE(HeldOpen(second));
  player.Close();
  player.Close();  // nothing open: nothing to do
  EXPECT_FALSE(HeldOpen(second));
  EXPECT_TRUE(Delete(first));
  EXPECT_TRUE(Delete(second));
}

TEST(MediaPlayer, FailuresCarryTheMediaLayersTextAndLeaveNoDeviceOpen) {
  TMediaPlayer player(nullptr);
  EXPECT_EQ(ErrorOf(&TMediaPlayer::Pause, player), "No MCI device open");
  EXPECT_EQ(ErrorOf(&TMediaPlayer::Play, player), "No MCI device open");
  EXPECT_THROW(player.Position(), EMCIDeviceError);

  const std::string garbage = PathNextToExecutable("media-garbage.mp3");
  std::ofstream(std::filesystem::path(Utf8ToWide(garbage)), std::ios::binary) << std::string(4000, '\x5A');
  for (const std::string& path : {PathNextToExecutable("media-missing.mp3"), garbage}) {
    player.FileName = path;
    const std::string message = ErrorOf(&TMediaPlayer::Open, player);
    EXPECT_NE(message, "no error") << path;
    EXPECT_FALSE(message.empty());
    EXPECT_FALSE(player.IsOpen());
    EXPECT_EQ(ErrorOf(&TMediaPlayer::Pause, player), "No MCI device open");
  }
  EXPECT_TRUE(Delete(garbage));
}

TEST(MediaPlayer, IsALayoutComponentThatOpensWhenLoadedAndClosesWithItsOwner) {
  RegisterMediaPlayerClass();
  const std::string path = CopyOfTone("media-layout.mp3");
  {
    TComponent form(nullptr);
    TComponent* component = GetClass("TMediaPlayer").Create(&form);
    component->SetName("MediaPlayer1");
    component->BeginLoading();
    SetPropValue(*component, "FileName", path);
    SetPropValue(*component, "AutoOpen", "True");
    SetPropValue(*component, "Visible", "False");
    auto* player = dynamic_cast<TMediaPlayer*>(form.FindComponent("MediaPlayer1"));
    ASSERT_NE(player, nullptr);
    EXPECT_FALSE(player->Visible);
    EXPECT_FALSE(player->IsOpen()) << "opened before the layout was complete";
    player->Loaded();
    EXPECT_TRUE(player->IsOpen());
    EXPECT_TRUE(HeldOpen(path));
  }
  EXPECT_FALSE(HeldOpen(path)) << "the owner's destruction left the device open";
  EXPECT_TRUE(Delete(path));
}
