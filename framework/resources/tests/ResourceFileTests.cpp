#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "framework/core/Exception.h"
#include "framework/resources/ResourceFile.h"
#include "framework/resources/ResourceFileWriting.h"
#include "framework/resources/ResourceStream.h"
#include "framework/win32/Strings.h"

namespace fs = std::filesystem;

namespace {
std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(fs::path(Utf8ToWide(path)), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(fs::path(Utf8ToWide(path)), std::ios::binary) << text;
}

bool Exists(const std::string& path) { return GetFileAttributesW(Utf8ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

std::vector<uint8_t> ResourceBytes(const std::string& name, const std::string& type) {
  const TResourceStream stream(GetModuleHandleW(nullptr), name, type);
  return {stream.Memory(), stream.Memory() + stream.Size()};
}

// Every test works in a folder of its own next to the test program.
class ResourceFileTest : public testing::Test {
protected:
  void SetUp() override {
    dir_ = PathNextToExecutable("resource-scratch\\");
    fs::remove_all(fs::path(Utf8ToWide(dir_)));
    fs::create_directory(fs::path(Utf8ToWide(dir_)));
  }
  void TearDown() override {
    for (const auto& entry : fs::directory_iterator(fs::path(Utf8ToWide(dir_))))
      SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
    fs::remove_all(fs::path(Utf8ToWide(dir_)));
  }
  std::string dir_;
};
}  // namespace

TEST(ResourceStream, FindsTheEmbeddedFilesByLowerCaseNamesWithoutCopying) {
  for (const auto& [name, type] : {std::pair{"skn", "my3"}, {"flash", "swf3"}, {"mp3", "eye3"}, {"Mp3", "EYE3"}}) {
    const TResourceStream stream(GetModuleHandleW(nullptr), name, type);
    EXPECT_GT(stream.Size(), 0) << name;
    EXPECT_EQ(stream.Position(), 0);
    // The view points into the loaded image of the module, not into a copy on the heap.
    MEMORY_BASIC_INFORMATION info{};
    ASSERT_TRUE(VirtualQuery(stream.Memory(), &info, sizeof info));
    EXPECT_EQ(info.AllocationBase, GetModuleHandleW(nullptr)) << name;
  }
  const std::vector<uint8_t> audio = ResourceBytes("mp3", "eye3");
  EXPECT_EQ(audio.size(), fs::file_size(fs::path(L"Z:" + Utf8ToWide(RES_TEST_AUDIO_SOURCE))));
}

TEST(ResourceStream, MissingResourceRaisesWithTheNameAsPassed) {
  try {
    TResourceStream stream(GetModuleHandleW(nullptr), "skn", "swf3");
    FAIL() << "no error";
  } catch (const EResNotFound& e) {
    EXPECT_EQ(e.Message(), "Resource skn not found");
  }
  EXPECT_THROW(TResourceStream(GetModuleHandleW(nullptr), "NoSuchThing", "MY3"), EResNotFound);
}

TEST_F(ResourceFileTest, WritingTwiceGivesTheResourceBytesBothTimes) {
  const std::string path = dir_ + "晴岚.mp3";
  const std::vector<uint8_t> expected = ResourceBytes("MP3", "EYE3");
  WriteResourceToFile("mp3", "eye3", path);
  EXPECT_EQ(ReadBytes(path), expected);
  WriteResourceToFile("mp3", "eye3", path);
  EXPECT_EQ(ReadBytes(path), expected);

  // A longer file of the same name is truncated, not overwritten in front.
  WriteText(path, std::string(expected.size() + 100, 'x'));
  WriteResourceToFile("skn", "my3", path);
  EXPECT_EQ(ReadBytes(path), ResourceBytes("SKN", "MY3"));
}

TEST_F(ResourceFileTest, MissingResourceFailsBeforeTheTargetIsTouched) {
  const std::string fresh = dir_ + "fresh.vel";
  EXPECT_THROW(WriteResourceToFile("film", "swf3", fresh), EResNotFound);
  EXPECT_FALSE(Exists(fresh));

  const std::string existing = dir_ + "existing.vel";
  WriteText(existing, "keep me");
  EXPECT_THROW(WriteResourceToFile("flash", "swf4", existing), EResNotFound);
  const std::vector<uint8_t> kept = ReadBytes(existing);
  EXPECT_EQ(std::string(kept.begin(), kept.end()), "keep me");
}

TEST_F(ResourceFileTest, ReadOnlyTargetFailsWithTheCreateErrorAndIsLeftAsItWas) {
  const std::string path = dir_ + "velskin.skn";
  WriteText(path, "old skin");
  ASSERT_TRUE(SetFileAttributesW(Utf8ToWide(path).c_str(), FILE_ATTRIBUTE_READONLY));

  DeleteFileIfExists(path);  // refused for a read-only file, and the refusal is ignored
  ASSERT_TRUE(Exists(path));
  try {
    WriteResourceToFile("skn", "my3", path);
    FAIL() << "no error";
  } catch (const EFCreateError& e) {
    const std::string prefix = "Cannot create file \"" + path + "\". ";
    EXPECT_EQ(e.Message().rfind(prefix, 0), 0u) << e.Message();
    EXPECT_GT(e.Message().size(), prefix.size() + 1) << "the cause is missing";
  }
  const std::vector<uint8_t> kept = ReadBytes(path);
  EXPECT_EQ(std::string(kept.begin(), kept.end()), "old skin");
  EXPECT_EQ(GetFileAttributesW(Utf8ToWide(path).c_str()) & FILE_ATTRIBUTE_READONLY, DWORD{FILE_ATTRIBUTE_READONLY});
}

TEST_F(ResourceFileTest, TargetsThatCannotBeCreatedNameThePathAndTheCause) {
  for (const std::string& path : {dir_ + "no-such-folder\\eyezz.mp3", dir_.substr(0, dir_.size() - 1)}) {
    try {
      WriteResourceToFile("mp3", "eye3", path);
      ADD_FAILURE() << "no error for " << path;
    } catch (const EFCreateError& e) {
      EXPECT_EQ(e.Message().rfind("Cannot create file \"" + path + "\". ", 0), 0u) << e.Message();
      EXPECT_EQ(e.Message().back(), '.');
    }
  }
  EXPECT_FALSE(Exists(dir_ + "no-such-folder"));
}

TEST_F(ResourceFileTest, AWriteFailingPartWayLeavesNoFileBehind) {
  const std::string path = dir_ + "eyezz.mp3";
  const std::vector<uint8_t> data(100000, 0x42);
  static int calls;
  calls = 0;
  // Half of the first chunk gets through, then the device is full.
  const FileWriteFunction failing = [](HANDLE file, const void* bytes, DWORD count, DWORD* written) -> BOOL {
    if (calls++ == 0) return WriteFileChunk(file, bytes, count / 2, written);
    SetLastError(ERROR_DISK_FULL);
    return FALSE;
  };
  try {
    WriteBytesToNewFile(path, data.data(), data.size(), failing);
    FAIL() << "no error";
  } catch (const EWriteError& e) {
    EXPECT_EQ(e.Message(), "Cannot write file \"" + path + "\". " + SystemErrorMessage(ERROR_DISK_FULL));
  }
  EXPECT_EQ(calls, 2);
  EXPECT_FALSE(Exists(path));

  // Short writes that do succeed are continued to the end.
  const FileWriteFunction dribbling = [](HANDLE file, const void* bytes, DWORD count, DWORD* written) -> BOOL {
    return WriteFileChunk(file, bytes, count < 777 ? count : 777, written);
  };
  WriteBytesToNewFile(path, data.data(), data.size(), dribbling);
  EXPECT_EQ(ReadBytes(path), data);
}

TEST(ExecutableDirectory, IsTheFolderOfTheRunningProgramWithItsSeparator) {
  wchar_t module[MAX_PATH];
  ASSERT_GT(GetModuleFileNameW(nullptr, module, MAX_PATH), 0u);
  const std::string full = WideToUtf8(module);
  const std::string dir = ExecutableDirectory();
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.back(), '\\');
  EXPECT_EQ(full.rfind(dir, 0), 0u);
  EXPECT_EQ(full.find('\\', dir.size()), std::string::npos);
  EXPECT_EQ(PathNextToExecutable("eyezz.mp3"), dir + "eyezz.mp3");
}

TEST(ResourcePatterns, ReplaceWritesAFreshCopyNextToTheProgramAndDeleteRemovesIt) {
  const std::string path = PathNextToExecutable("tarno-test.vel");
  WriteText(path, "stale copy from a run that crashed");
  EXPECT_EQ(ExtractResourceNextToExecutable("flash", "swf3", "tarno-test.vel"), path);
  EXPECT_EQ(ReadBytes(path), ResourceBytes("FLASH", "SWF3"));
  DeleteFileIfExists(path);
  EXPECT_FALSE(Exists(path));
  DeleteFileIfExists(path);  // already gone: quietly nothing
}
