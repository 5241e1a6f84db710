#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/core/Exception.h"
#include "skin/format/SkinRead.h"
#include "skin/format/SkinWrite.h"

namespace {

std::vector<uint8_t> Bytes(const std::string& text) { return {text.begin(), text.end()}; }

void AppendU32(std::vector<uint8_t>& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

// A payload with any header, names text, size table and data, for files the packer refuses to make.
std::vector<uint8_t> RawPayload(uint32_t version, int32_t nameLength, const std::string& names,
                                const std::vector<int32_t>& sizes, const std::string& data) {
  std::vector<uint8_t> out;
  AppendU32(out, version);
  AppendU32(out, static_cast<uint32_t>(nameLength));
  out.insert(out.end(), 8, 0xEE);
  out.insert(out.end(), names.begin(), names.end());
  for (const int32_t size : sizes) AppendU32(out, static_cast<uint32_t>(size));
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

struct TLoaded {
  TSkinReader reader;
  std::vector<std::string> messages;
  bool ok = false;
};

void Load(TLoaded& loaded, const std::vector<uint8_t>& file) {
  loaded.reader.OnMessage = [&loaded](const std::string& m) { loaded.messages.push_back(m); };
  TMemoryStream stream(file);
  stream.SetPosition(stream.Size());  // the reader reads from the start whatever the position
  loaded.ok = loaded.reader.LoadFromStream(stream);
}

std::string Entry(const TSkinReader& reader, const std::string& name) {
  TMemoryStream out;
  reader.ReadEntry(name, out);
  EXPECT_EQ(out.Position(), 0);
  return {out.Bytes().begin(), out.Bytes().end()};
}

std::vector<TSkinEntry> SampleEntries() {
  return {{"Skin.ini", Bytes("[TitlebarSkin]\r\nSkinName=Test\r\n")},
          {"My Border.BMP", Bytes("BM border")},
          {"empty.bmp", {}},
          {"button.bmp", Bytes("BM button bytes")}};
}

}  // namespace

TEST(SkinReader, PackedEntriesComeBackByNameIgnoringCase) {
  TLoaded loaded;
  Load(loaded, BuildSkinFile(SampleEntries()));
  ASSERT_TRUE(loaded.ok) << loaded.reader.LastError();
  EXPECT_TRUE(loaded.messages.empty());
  ASSERT_EQ(loaded.reader.EntryCount(), 4) << "a final CR LF adds no name";
  EXPECT_EQ(loaded.reader.EntryName(1), "my border.bmp");
  EXPECT_EQ(Entry(loaded.reader, "my border.bmp"), "BM border");
  EXPECT_EQ(Entry(loaded.reader, "MY BORDER.bmp"), "BM border");
  EXPECT_EQ(Entry(loaded.reader, "button.bmp"), "BM button bytes") << "offset skips the empty entry";
  EXPECT_EQ(Entry(loaded.reader, "empty.bmp"), "");
  EXPECT_EQ(loaded.reader.IndexOf("EMPTY.BMP"), 2);
  EXPECT_EQ(loaded.reader.IndexOf("border.bmp"), -1) << "names match whole, not in part";
}

TEST(SkinReader, MissingEntryLeavesTheDestinationEmpty) {
  TLoaded loaded;
  Load(loaded, BuildSkinFile(SampleEntries()));
  TMemoryStream out(Bytes("stale"));
  loaded.reader.ReadEntry("nothere.bmp", out);
  EXPECT_EQ(out.Size(), 0);

  std::string name = "unchanged";
  TMemoryStream found(Bytes("stale"));
  loaded.reader.FindEntry(".gif", found, name);
  EXPECT_EQ(found.Size(), 0);
  EXPECT_EQ(name, "unchanged");
}

TEST(SkinReader, FindEntryTakesTheFirstNameContainingTheFragment) {
  TLoaded loaded;
  Load(loaded, BuildSkinFile({{"a.bmp", Bytes("BM")},
                              {"First.INI", Bytes("one")},
                              {"second.ini", Bytes("two")}}));
  ASSERT_TRUE(loaded.ok);
  TMemoryStream out;
  std::string name;
  loaded.reader.FindEntry(".ini", out, name);
  EXPECT_EQ(name, "first.ini");
  EXPECT_EQ(std::string(out.Bytes().begin(), out.Bytes().end()), "one");
  EXPECT_EQ(out.Position(), 0);
}

TEST(SkinReader, NameListAcceptsEveryLineBreakAndAnUnterminatedLastName) {
  const std::string names = "a.bmp\rb.bmp\nc.bmp\r\nd.bmp";
  TLoaded loaded;
  Load(loaded, CompressSkinPayload(RawPayload(kSkinVersion, static_cast<int32_t>(names.size()), names,
                                              {1, 2, 3, 4}, "ABBCCCDDDD")));
  ASSERT_TRUE(loaded.ok) << loaded.reader.LastError();
  ASSERT_EQ(loaded.reader.EntryCount(), 4);
  EXPECT_EQ(Entry(loaded.reader, "c.bmp"), "CCC");
  EXPECT_EQ(Entry(loaded.reader, "d.bmp"), "DDDD");
}

TEST(SkinReader, OlderFileShowsTheMessageAndLoadsNothing) {
  TLoaded loaded;
  Load(loaded, BuildSkinFile(SampleEntries()));
  ASSERT_TRUE(loaded.ok);
  Load(loaded, CompressSkinPayload(RawPayload(19999, 7, "x.bmp\r\n", {1}, "B")));
  EXPECT_FALSE(loaded.ok);
  ASSERT_EQ(loaded.messages.size(), 1u);
  EXPECT_EQ(loaded.messages[0], "This is Older Skin File\rPlease update to new version !");
  EXPECT_EQ(loaded.reader.EntryCount(), 0) << "nothing of the earlier file survives a failed load";
  EXPECT_EQ(Entry(loaded.reader, "skin.ini"), "");
}

TEST(SkinReader, DamagedDirectoriesAreRejected) {
  const std::string twoNames = "a.bmp\r\nb.bmp\r\n";
  const auto length = static_cast<int32_t>(twoNames.size());
  std::string manyNames;
  for (int i = 0; i <= kSkinMaxEntries; ++i) manyNames.append("n").append(std::to_string(i)).append("\r\n");
  const struct {
    const char* what;
    std::vector<uint8_t> payload;
  } cases[] = {
      {"negative name list length", RawPayload(kSkinVersion, -1, twoNames, {1, 1}, "AB")},
      {"name list longer than the payload", RawPayload(kSkinVersion, 5000, twoNames, {1, 1}, "AB")},
      {"size table cut off", RawPayload(kSkinVersion, length, twoNames, {}, "")},
      {"negative entry size", RawPayload(kSkinVersion, length, twoNames, {-1, 3}, "AB")},
      {"sizes beyond the data", RawPayload(kSkinVersion, length, twoNames, {1, 2}, "AB")},
      {"sizes that overflow 32 bits", RawPayload(kSkinVersion, length, twoNames,
                                                 {0x7FFFFFFF, 0x7FFFFFFF}, "AB")},
      {"1002 names", RawPayload(kSkinVersion, static_cast<int32_t>(manyNames.size()), manyNames,
                                std::vector<int32_t>(kSkinMaxEntries + 1, 0), "")},
      {"header cut short", std::vector<uint8_t>(10, 0x20)},
  };
  for (const auto& c : cases) {
    TLoaded loaded;
    Load(loaded, CompressSkinPayload(c.payload));
    EXPECT_FALSE(loaded.ok) << c.what;
    EXPECT_NE(loaded.reader.LastError().find("damaged"), std::string::npos) << c.what;
    EXPECT_TRUE(loaded.messages.empty()) << c.what;
  }
}

TEST(SkinReader, ExactlyTheLargestDirectoryLoads) {
  std::vector<TSkinEntry> entries;
  for (int i = 0; i < kSkinMaxEntries; ++i) {
    entries.push_back({std::string("e").append(std::to_string(i)).append(".bmp"), Bytes("BM")});
  }
  TLoaded loaded;
  Load(loaded, BuildSkinFile(entries));
  ASSERT_TRUE(loaded.ok) << loaded.reader.LastError();
  EXPECT_EQ(Entry(loaded.reader, "e1000.bmp"), "BM");
  entries.push_back({"one-too-many.bmp", Bytes("BM")});
  EXPECT_THROW(BuildSkinPayload(entries), EInvalidOperation);
}

TEST(SkinReader, DamagedOuterLayerIsRejectedBeforeAllocating) {
  std::vector<uint8_t> file = BuildSkinFile(SampleEntries());
  const struct {
    const char* what;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"shorter than the length field", {1, 2, 3}},
      {"stated length of 4 GB", [&] { auto f = file; f[0] = f[1] = f[2] = f[3] = 0xFF; return f; }()},
      {"stream cut in half", [&] { auto f = file; f.resize(f.size() / 2); return f; }()},
  };
  for (const auto& c : cases) {
    TLoaded loaded;
    Load(loaded, c.bytes);
    EXPECT_FALSE(loaded.ok) << c.what;
    EXPECT_FALSE(loaded.reader.LastError().empty()) << c.what;
  }
}

TEST(SkinWriter, RefusesNamesTheDirectoryCannotHold) {
  EXPECT_THROW(BuildSkinPayload({{"", Bytes("x")}}), EInvalidOperation);
  EXPECT_THROW(BuildSkinPayload({{"two\r\nlines.bmp", Bytes("x")}}), EInvalidOperation);
}
