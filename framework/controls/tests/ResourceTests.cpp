#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "framework/controls/ExtCtrls.h"
#include "framework/controls/LayoutReader.h"
#include "framework/controls/tests/TestForms.h"

namespace {

// Keeps the bytes its layout reader is handed.
class TBlob : public TComponent {
public:
  BREVIN_CLASS_INFO()
  explicit TBlob(TComponent* owner) : TComponent(owner) {}
  void ReadData(TStream& s) {
    bytes.resize(static_cast<size_t>(s.Remaining()));
    s.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  }
  std::vector<uint8_t> bytes;
};

const TClassInfo& TBlob::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TBlob>("TBlob", &TComponent::StaticClassInfo()).Creatable().Binary("Data", &TBlob::ReadData);
  return info;
}

class TResourceForm : public TForm {
public:
  BREVIN_CLASS_INFO()
  explicit TResourceForm(TComponent* owner) : TForm(owner) {
    Handler("FormCreate", &TResourceForm::FormCreate);
    Bind(Image1, "Image1");
    Bind(Blob1, "Blob1");
    InitializeForm();
  }
  void FormCreate(TObject*) { created = Image1 != nullptr && Blob1 != nullptr; }
  TImage* Image1 = nullptr;
  TBlob* Blob1 = nullptr;
  bool created = false;
};

const TClassInfo& TResourceForm::StaticClassInfo() {
  static const TClassInfo info("TResourceForm", &TForm::StaticClassInfo());
  return info;
}

TEST(LayoutResource, TheBuildEmbedsTheLayoutWithItsFiles) {
  RegisterComponentClass(TBlob::StaticClassInfo());
  TResourceForm form(nullptr);
  EXPECT_TRUE(form.created);
  EXPECT_EQ(form.Caption(), "资源");
  EXPECT_EQ(form.Image1->Picture()->Width(), 3);
  EXPECT_EQ(form.Image1->Picture()->Height(), 2);
  // sizedfile: a 32-bit little-endian count, then the file.
  std::ifstream file(BREVIN_TEST_DATA "/dot.bmp", std::ios::binary);
  const std::vector<uint8_t> dot((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  ASSERT_GE(form.Blob1->bytes.size(), 4u);
  const uint32_t count = form.Blob1->bytes[0] | form.Blob1->bytes[1] << 8 | form.Blob1->bytes[2] << 16 |
                         static_cast<uint32_t>(form.Blob1->bytes[3]) << 24;
  EXPECT_EQ(count, dot.size());
  EXPECT_EQ(std::vector<uint8_t>(form.Blob1->bytes.begin() + 4, form.Blob1->bytes.end()), dot);
}

TEST(LayoutResource, AFormWithoutALayoutResourceSaysWhichOneIsMissing) {
  try {
    LayoutResource("TNoSuchForm");
    ADD_FAILURE();
  } catch (const EResNotFound& e) {
    EXPECT_EQ(e.Message(), "Resource TNOSUCHFORM not found");
  }
}

}  // namespace
