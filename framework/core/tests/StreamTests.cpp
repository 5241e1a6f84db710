#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "framework/core/Exception.h"
#include "framework/core/Stream.h"

TEST(Streams, ReadBufferPastTheEndRaisesAndReadStopsAtTheEnd) {
  const uint8_t bytes[4] = {1, 2, 3, 4};
  TReadOnlyMemoryStream view(bytes, sizeof bytes);
  uint8_t out[8] = {};
  view.SetPosition(2);
  EXPECT_EQ(view.Read(out, 8), 2);
  EXPECT_EQ(out[0], 3);
  EXPECT_EQ(view.Read(out, 8), 0);
  view.SetPosition(3);
  try {
    view.ReadBuffer(out, 2);
    ADD_FAILURE() << "reading past the end must raise";
  } catch (const EReadError& e) {
    EXPECT_EQ(e.Message(), "Stream read error");
  }
}

TEST(Streams, ReadOnlyViewRefusesWritesAndSeeksAreClamped) {
  const uint8_t bytes[2] = {9, 8};
  TReadOnlyMemoryStream view(bytes, sizeof bytes);
  EXPECT_THROW(view.WriteBuffer(bytes, 1), EWriteError);
  EXPECT_EQ(view.Seek(-10, TSeekOrigin::soCurrent), 0);
  EXPECT_EQ(view.Seek(-1, TSeekOrigin::soEnd), 1);
  EXPECT_EQ(view.Memory(), bytes) << "a view must not copy";
}

TEST(Streams, MemoryStreamGrowsOnWritePastTheEndAndCopiesWholeSources) {
  TMemoryStream stream;
  stream.SetPosition(3);
  const uint8_t b = 7;
  stream.WriteBuffer(&b, 1);
  ASSERT_EQ(stream.Size(), 4);
  EXPECT_EQ(stream.Bytes()[3], 7);
  EXPECT_EQ(stream.Bytes()[0], 0);

  TMemoryStream copy;
  copy.CopyFrom(stream, 0);
  EXPECT_EQ(copy.Bytes(), stream.Bytes());
  stream.SetSize(2);
  EXPECT_EQ(stream.Position(), 2);
}

TEST(Streams, FileRoundTripUnderAUtf8NameAndMissingFileError) {
  const std::string folder = std::filesystem::temp_directory_path().string();
  const std::string name = "晴岚-stream-test.bin";
  const std::string path = folder + "/" + name;
  const std::filesystem::path onDisk =
      std::filesystem::temp_directory_path() / std::u8string(reinterpret_cast<const char8_t*>(name.data()), name.size());
  TMemoryStream out(std::vector<uint8_t>{0, 255, 10, 13});
  out.SaveToFile(path);
  EXPECT_TRUE(std::filesystem::exists(onDisk)) << "the file bears the name it was given";
  EXPECT_TRUE(IsExistingFile(path));
  EXPECT_FALSE(IsExistingFile(folder)) << "a folder is not a file";
  TMemoryStream in;
  in.LoadFromFile(path);
  EXPECT_EQ(in.Bytes(), out.Bytes());
  std::filesystem::remove(onDisk);
  EXPECT_FALSE(IsExistingFile(path));
  EXPECT_THROW(in.LoadFromFile(path), EFOpenError);
}

TEST(Format, FormatsLikePrintf) {
  EXPECT_EQ(Format("Unrecognized extension block: %.2x", 0x2C), "Unrecognized extension block: 2c");
  EXPECT_EQ(Format("Resource %s not found", "skn"), "Resource skn not found");
}
