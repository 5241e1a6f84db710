#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "framework/controls/Application.h"
#include "framework/controls/Forms.h"
#include "framework/controls/MessageHook.h"
#include "gif/win/GIFCtrl.h"
#include "gif/win/tests/TestSupport.h"

namespace {

constexpr TColor kFormColor = clRed;
constexpr TColor kKeyGrey = RGBColor(0xC0, 0xC0, 0xC0);

class AnimEnvironment : public ::testing::Environment {
public:
  void SetUp() override {
    Application->Initialize();
    RegisterGIFControls();
  }
};
const auto* const environment = ::testing::AddGlobalTestEnvironment(new AnimEnvironment);

std::vector<uint8_t> ReadRestGif() {
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring name(path, n);
  name = name.substr(0, name.find_last_of(L"\\/") + 1) + L"anim-test-rest.gif";
  std::vector<uint8_t> bytes;
  if (FILE* f = _wfopen(name.c_str(), L"rb")) {
    int c;
    while ((c = fgetc(f)) != EOF) bytes.push_back(uint8_t(c));
    fclose(f);
  }
  return bytes;
}

std::string LayoutHex(const std::vector<uint8_t>& gif) {
  std::vector<uint8_t> data(4);
  const uint32_t count = uint32_t(gif.size());
  for (int i = 0; i < 4; ++i) data[size_t(i)] = uint8_t(count >> (8 * i));
  data.insert(data.end(), gif.begin(), gif.end());
  static const char digits[] = "0123456789ABCDEF";
  std::string hex;
  for (size_t i = 0; i < data.size(); ++i) {
    if (i % 64 == 0) hex += "\n      ";
    hex += digits[data[i] >> 4];
    hex += digits[data[i] & 15];
  }
  return hex;
}

class TAnimForm : public TForm {
public:
  BREVIN_CLASS_INFO()
  TAnimForm(TComponent* owner, const std::string& layout) : TForm(owner) { InitializeForm(layout); }
};

const TClassInfo& TAnimForm::StaticClassInfo() {
  static const TClassInfo info("TAnimForm", &TForm::StaticClassInfo());
  return info;
}

// With `sibling`, a yellow windowless label lies under the animator's top-left corner.
std::unique_ptr<TAnimForm> MakeForm(const std::vector<uint8_t>& gif, bool sibling = false) {
  const std::string label = "  object Label1: TLabel\n"
                            "    Left = 20\n"
                            "    Top = 10\n"
                            "    Width = 12\n"
                            "    Height = 12\n"
                            "    AutoSize = False\n"
                            "    Transparent = False\n"
                            "    Color = clYellow\n"
                            "  end\n";
  const std::string layout = "object AnimForm: TAnimForm\n"
                             "  ClientWidth = 300\n"
                             "  ClientHeight = 220\n"
                             "  Color = clRed\n" +
                             (sibling ? label : std::string()) +
                             "  object GIFAnimator1: TGIFAnimator\n"
                             "    Left = 20\n"
                             "    Top = 10\n"
                             "    Width = 115\n"
                             "    Height = 123\n"
                             "    Image.Data = {" +
                             LayoutHex(gif) +
                             "}\n"
                             "  end\n"
                             "end\n";
  auto form = std::make_unique<TAnimForm>(nullptr, layout);
  form->HandleNeeded();
  return form;
}

TGIFAnimator& AnimatorOf(TForm& form) {
  auto* animator = dynamic_cast<TGIFAnimator*>(form.FindComponent("GIFAnimator1"));
  if (!animator) throw std::runtime_error("no animator");
  return *animator;
}

// What the form shows, painted into a bitmap by the same code that paints the window.
std::unique_ptr<TBitmap> Capture(TWinControl& form) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(form.ClientWidth(), form.ClientHeight());
  form.PaintTo(bitmap->Canvas()->Handle(), 0, 0);
  return bitmap;
}

TColor ColorOf(const TRGB& c) { return RGBColor(c.r, c.g, c.b); }

// Pixels of the control that differ from the frame drawn over the form's colour.
int Mismatches(TBitmap& shot, const TGIFAnimator& animator, TGIFFrame& frame) {
  const TDibImage& dib = frame.Bitmap();
  int wrong = 0;
  for (int y = 0; y < dib.Height(); ++y) {
    for (int x = 0; x < dib.Width(); ++x) {
      const TColor pixel = ColorOf(dib.PixelColor(x, y));
      const TColor want = pixel == kKeyGrey ? kFormColor : pixel;
      if (PixelOf(shot, animator.Left() + x, animator.Top() + y) != want) ++wrong;
    }
  }
  return wrong;
}

TDibImage SolidDib(int width, int height, TColor color) {
  TDibImage dib(width, height, 32);
  for (int y = 0; y < height; ++y) {
    uint8_t* row = dib.Row(y);
    for (int x = 0; x < width; ++x) {
      row[4 * x] = BlueOf(color);
      row[4 * x + 1] = GreenOf(color);
      row[4 * x + 2] = RedOf(color);
    }
  }
  return dib;
}

struct FrameSpec {
  int left, top, width, height;
  TColor color;
  uint8_t disposal;
  uint16_t delay;
  TColor transparent;  // a colour painted in the frame's top-left pixel and keyed on, or clNone
};

std::unique_ptr<TGIFGraphic> MakeGif(const std::vector<FrameSpec>& frames) {
  auto graphic = std::make_unique<TGIFGraphic>();
  TGIFImage& gif = graphic->Image();
  for (const FrameSpec& shape : frames) {
    TDibImage dib = SolidDib(shape.width, shape.height, shape.color);
    if (shape.transparent != clNone) {
      uint8_t* row = dib.Row(0);
      row[0] = BlueOf(shape.transparent);
      row[1] = GreenOf(shape.transparent);
      row[2] = RedOf(shape.transparent);
    }
    const int index = gif.AddFrame(dib, shape.transparent);
    TGIFFrame& frame = gif.Frame(index);
    frame.Origin = {shape.left, shape.top};
    frame.Disposal = shape.disposal;
    frame.DelayMs = shape.delay;
  }
  gif.UpdateLogicalSize();
  gif.CurrentFrame = 0;
  return graphic;
}

std::vector<TColor> PixelsOf(TBitmap& bitmap) {
  std::vector<TColor> pixels;
  for (int y = 0; y < bitmap.Height(); ++y)
    for (int x = 0; x < bitmap.Width(); ++x) pixels.push_back(PixelOf(bitmap, x, y));
  return pixels;
}

}  // namespace

TEST(GIFAnimator, TheProgramsGifShowsTheBackgroundThroughItsTransparentPixelsOnEveryFrame) {
  const std::vector<uint8_t> gif = ReadRestGif();
  ASSERT_FALSE(gif.empty());
  auto form = MakeForm(gif);
  TGIFAnimator& animator = AnimatorOf(*form);
  ASSERT_EQ(animator.Image()->FrameCount(), 2);
  EXPECT_EQ(animator.FrameIndex(), 0);
  EXPECT_EQ(animator.Width(), 115);
  EXPECT_EQ(animator.Height(), 123);
  EXPECT_EQ(animator.Timer().Interval(), 500u);
  EXPECT_FALSE(animator.Animate());

  TGIFImage reference;
  TReadOnlyMemoryStream stream(gif.data(), int64_t(gif.size()));
  reference.LoadFromStream(stream);
  int differing = 0;
  for (int y = 0; y < 123; ++y) {
    for (int x = 0; x < 115; ++x)
      differing += reference.Frame(0).Bitmap().PixelColor(x, y) != reference.Frame(1).Bitmap().PixelColor(x, y);
  }
  ASSERT_GT(differing, 0);

  EXPECT_EQ(Mismatches(*Capture(*form), animator, reference.Frame(0)), 0);
  animator.AdvanceFrame();
  EXPECT_EQ(animator.FrameIndex(), 1);
  EXPECT_EQ(animator.Timer().Interval(), 500u);
  EXPECT_EQ(Mismatches(*Capture(*form), animator, reference.Frame(1)), 0);
  animator.AdvanceFrame();
  EXPECT_EQ(animator.FrameIndex(), 0);
  EXPECT_EQ(Mismatches(*Capture(*form), animator, reference.Frame(0)), 0);
  EXPECT_EQ(animator.CacheTransColor(), kKeyGrey);
}

// A skinner in front of the animator must be able to paint its buffer, not only the parent's DC.
TEST(GIFAnimator, AHookInFrontOfTheAnimatorPaintsItsBuffer) {
  auto form = MakeForm(ReadRestGif());
  TGIFAnimator& animator = AnimatorOf(*form);
  bool outerPaint = false;
  int bufferPaints = 0;
  TControlMessageHook skin;
  skin.Attach(animator, [&](TMessage& m, const TWndMethod& next) {
    if (m.Msg != WM_PAINT) return next(m);
    if (!outerPaint) {
      outerPaint = true;
      next(m);
      outerPaint = false;
      return;
    }
    ++bufferPaints;
    const RECT all{0, 0, animator.Width(), animator.Height()};
    UniqueBrush blue(CreateSolidBrush(RGB(0, 0, 255)));
    FillRect(reinterpret_cast<HDC>(m.WParam), &all, blue.get());
  });
  auto shot = Capture(*form);
  EXPECT_EQ(bufferPaints, 1);
  EXPECT_EQ(PixelOf(*shot, animator.Left() + 60, animator.Top() + 60), clBlue);
}

TEST(GIFAnimator, AnimateTicksEveryHalfSecondUntilSwitchedOff) {
  auto form = MakeForm(ReadRestGif());
  TGIFAnimator& animator = AnimatorOf(*form);
  std::vector<std::string> events;
  std::vector<int> frames;
  std::vector<std::chrono::steady_clock::time_point> times;
  animator.OnStart = [&](TObject*) { events.push_back("start"); };
  animator.OnStop = [&](TObject*) { events.push_back("stop"); };
  animator.OnFrameChanged = [&](TObject*) {
    frames.push_back(animator.FrameIndex());
    times.push_back(std::chrono::steady_clock::now());
  };

  const auto start = std::chrono::steady_clock::now();
  animator.SetAnimate(true);
  EXPECT_TRUE(animator.Animate());
  EXPECT_FALSE(animator.Timer().Thread().Suspended());
  const bool ticked = PumpUntil([&] { return frames.size() >= 3; }, 5000);
  animator.SetAnimate(false);
  EXPECT_TRUE(animator.Timer().Thread().Suspended());
  ASSERT_TRUE(ticked);
  EXPECT_EQ(frames, (std::vector<int>{1, 0, 1}));
  using std::chrono::milliseconds;
  EXPECT_GE(times[0] - start, milliseconds(480));
  EXPECT_GE(times[1] - times[0], milliseconds(480));
  EXPECT_GE(times[2] - times[1], milliseconds(480));
  EXPECT_EQ(events, (std::vector<std::string>{"start", "stop"}));
  const size_t stopped = frames.size();
  Pump(600);
  EXPECT_EQ(frames.size(), stopped);
}

TEST(GIFAnimator, OneFrameNeverTicksAndDelaysAreClamped) {
  auto form = MakeForm(ReadRestGif());
  TGIFAnimator& animator = AnimatorOf(*form);

  auto still = MakeGif({{0, 0, 10, 10, clBlue, 0, 100, clNone}});
  animator.SetImage(*still);
  EXPECT_EQ(animator.Width(), 10) << "AutoSize takes the picture's logical size";
  EXPECT_EQ(animator.Height(), 10);
  animator.SetAnimate(true);
  EXPECT_EQ(animator.Timer().Interval(), 0u);
  EXPECT_TRUE(animator.Timer().Thread().Suspended());
  animator.SetAnimate(false);

  auto moving = MakeGif({{0, 0, 10, 10, clBlue, 0, 0, clNone},
                         {0, 0, 10, 10, clLime, 0, 20000, clNone},
                         {0, 0, 10, 10, clYellow, 0, 30, clNone},
                         {0, 0, 10, 10, clYellow, 0, 120, clNone}});
  animator.SetImage(*moving);
  EXPECT_EQ(animator.FrameIndex(), 0);
  EXPECT_EQ(animator.Timer().Interval(), 50u);
  int changes = 0;
  animator.OnFrameChanged = [&](TObject*) { ++changes; };
  const uint32_t expected[] = {50, 10000, 50, 120};
  for (int i : {1, 2, 3, 0}) {
    animator.SetFrameIndex(i);
    EXPECT_EQ(animator.Timer().Interval(), expected[i]) << "frame " << i;
  }
  EXPECT_EQ(changes, 4);
  animator.SetFrameIndex(4);
  animator.SetFrameIndex(-1);
  animator.SetFrameIndex(0);
  EXPECT_EQ(animator.FrameIndex(), 0);
  EXPECT_EQ(changes, 4);
}

TEST(GIFAnimator, WithoutLoopThreeFramesEndOnFrameZeroWithOnStop) {
  auto form = MakeForm(ReadRestGif());
  TGIFAnimator& animator = AnimatorOf(*form);
  auto three = MakeGif({{0, 0, 10, 10, clBlue, 1, 100, clNone},
                        {0, 0, 10, 10, clLime, 1, 100, clNone},
                        {0, 0, 10, 10, clYellow, 1, 100, clNone}});
  animator.SetImage(*three);
  animator.SetLoop(false);
  std::vector<int> frames;
  int stops = 0;
  animator.OnFrameChanged = [&](TObject*) { frames.push_back(animator.FrameIndex()); };
  animator.OnStop = [&](TObject*) { ++stops; };
  animator.SetAnimate(true);
  animator.AdvanceFrame();
  animator.AdvanceFrame();
  EXPECT_TRUE(animator.Animate());
  animator.AdvanceFrame();
  EXPECT_EQ(frames, (std::vector<int>{1, 2, 0}));
  EXPECT_FALSE(animator.Animate());
  EXPECT_EQ(stops, 1);
  EXPECT_EQ(animator.FrameIndex(), 0);
}

TEST(GIFAnimator, NextFrameReusesTheCacheUnlessDisposalThreeAndMatchesAFreshComposition) {
  auto form = MakeForm(ReadRestGif());
  TGIFAnimator& animator = AnimatorOf(*form);
  constexpr TColor kKey = RGBColor(1, 2, 3);
  // Frame 0 paints the screen and stays, 1 is keyed in its corner and cleared afterwards, 2 is
  // restored to what was before it, 3 stays.
  auto gif = MakeGif({{0, 0, 8, 8, clBlue, 1, 100, clNone},
                      {4, 0, 4, 4, clLime, 2, 100, kKey},
                      {0, 4, 4, 4, clYellow, 3, 100, clNone},
                      {2, 2, 2, 2, clWhite, 0, 100, clNone}});
  animator.SetImage(*gif);
  TGIFGraphic& image = *animator.Image();
  ASSERT_EQ(image.Image().LogicalWidth(), 8);

  std::vector<std::vector<TColor>> incremental;
  TColor transparent = clNone;
  TBitmap* previous = nullptr;
  for (int k = 0; k < 4; ++k) {
    TBitmap& composed = animator.ComposeFrame(k, transparent);
    // A marker in a corner no later frame covers survives only when the next frame is composed on
    // top of the cached picture.
    if (k == 1 || k == 2) {
      EXPECT_EQ(&composed, previous) << "frame " << k;
      EXPECT_EQ(PixelOf(composed, 7, 7), clFuchsia) << "frame " << k;
    }
    if (k == 3) {
      EXPECT_EQ(PixelOf(composed, 7, 7), clBlue) << "after a frame with disposal 3";
    }
    std::vector<TColor> pixels = PixelsOf(composed);
    pixels[63] = 0;
    incremental.push_back(pixels);
    PutPixel(composed, 7, 7, clFuchsia);
    previous = &composed;
  }
  EXPECT_EQ(PixelOf(animator.ComposeFrame(0, transparent), 7, 7), clBlue) << "the wrap to 0 starts afresh";

  for (int k = 0; k < 4; ++k) {
    animator.ComposeFrame(k, transparent);
    TBitmap& fresh = animator.ComposeFrame(k, transparent);
    std::vector<TColor> pixels = PixelsOf(fresh);
    std::vector<TColor> expected = incremental[size_t(k)];
    pixels[63] = expected[63] = 0;  // the marker corner
    EXPECT_EQ(pixels, expected) << "frame " << k;
  }
  TBitmap& third = animator.ComposeFrame(3, transparent);
  // No frame has a transparent colour and there is no background colour: the window colour.
  EXPECT_EQ(PixelOf(third, 5, 1), TColor(ColorToRGB(clWindow))) << "frame 1 was restored to the background";
  EXPECT_EQ(PixelOf(third, 1, 5), clBlue) << "frame 2 was taken away again";
  EXPECT_EQ(PixelOf(third, 2, 2), clWhite);
  TBitmap& second = animator.ComposeFrame(1, transparent);
  EXPECT_EQ(PixelOf(second, 4, 0), clBlue) << "the keyed pixel shows the frame below";
  EXPECT_EQ(PixelOf(second, 5, 0), clLime);
}

TEST(GIFAnimator, CenterPlacesALargerPictureAtNegativeOffsets) {
  auto form = MakeForm(ReadRestGif());
  TGIFAnimator& animator = AnimatorOf(*form);
  animator.SetAutoSize(false);
  animator.SetBounds(20, 10, 51, 61);
  animator.SetTransparent(false);
  animator.SetCenter(true);
  auto shot = Capture(*form);
  TColor transparent = clNone;
  TBitmap& picture = animator.ComposeFrame(0, transparent);
  const int dx = (51 - 115) / 2;
  const int dy = (61 - 123) / 2;
  EXPECT_EQ(dx, -32);
  int wrong = 0;
  for (int y = 0; y < 61; ++y) {
    for (int x = 0; x < 51; ++x) wrong += PixelOf(*shot, 20 + x, 10 + y) != PixelOf(picture, x - dx, y - dy);
  }
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(PixelOf(*shot, 19, 10), kFormColor) << "clipped to the control";
  EXPECT_EQ(PixelOf(*shot, 71, 10), kFormColor);
}

TEST(GIFAnimator, AsyncDrawingTicksOnTheWorkerWithoutTearingOrDeadlock) {
  auto form = MakeForm(ReadRestGif());
  TGIFAnimator& animator = AnimatorOf(*form);
  auto gif = MakeGif({{0, 0, 40, 40, clBlue, 1, 50, clNone}, {0, 0, 40, 40, clLime, 1, 50, clNone}});
  animator.SetImage(*gif);
  animator.SetAsyncDrawing(true);
  EXPECT_FALSE(animator.Timer().SyncEvent());
  std::atomic<int> changes{0};
  std::atomic<bool> offUiThread{false};
  const DWORD ui = GetCurrentThreadId();
  animator.OnFrameChanged = [&](TObject*) {
    ++changes;
    if (GetCurrentThreadId() != ui) offUiThread = true;
  };
  animator.SetAnimate(true);

  int torn = 0;
  int shots = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(1000);
  while (std::chrono::steady_clock::now() < deadline) {
    Pump(5);
    auto shot = Capture(*form);
    ++shots;
    const TColor first = PixelOf(*shot, 20, 10);
    if (first != clBlue && first != clLime) ++torn;
    for (int y = 0; y < 40; y += 3) {
      for (int x = 0; x < 40; x += 3) torn += PixelOf(*shot, 20 + x, 10 + y) != first;
    }
    animator.SetStretch(shots % 2 == 0);
  }
  animator.SetAnimate(false);
  EXPECT_GE(changes.load(), 5);
  EXPECT_FALSE(offUiThread.load());
  EXPECT_EQ(torn, 0);
  form.reset();
}

TEST(GIFAnimator, FormsAnimatingOnTheWorkerComeAndGoWithoutARace) {
  const std::vector<uint8_t> rest = ReadRestGif();
  auto gif = MakeGif({{0, 0, 40, 40, clBlue, 1, 10, clNone}, {0, 0, 40, 40, clLime, 1, 10, clNone}});
  std::atomic<int> frames{0};
  for (int i = 0; i < 200; ++i) {
    auto form = MakeForm(rest, true);
    TGIFAnimator& animator = AnimatorOf(*form);
    animator.SetImage(*gif);
    animator.SetAsyncDrawing(true);
    animator.OnFrameChanged = [&](TObject*) { ++frames; };
    form->Show();
    animator.SetAnimate(true);
    Pump(i % 4 * 30);
    // Both ways out: stopped first, and freed while the worker ticks.
    if (i % 2 == 0) animator.SetAnimate(false);
    form.reset();
  }
  EXPECT_GT(frames.load(), 20) << "the animations did not run";
}

TEST(GIFAnimator, TheWorkerPaintsStraightIntoTheWindowOverTheCopiedBackground) {
  auto form = MakeForm(ReadRestGif(), true);
  TGIFAnimator& animator = AnimatorOf(*form);
  constexpr TColor kKey = RGBColor(1, 2, 3);
  auto gif = MakeGif({{0, 0, 40, 40, clBlue, 1, 60, kKey}, {0, 0, 40, 40, clLime, 1, 60, kKey}});
  animator.SetImage(*gif);
  form->Show();
  Pump(200);  // the UI thread's paint, which also copies the background under the control
  animator.SetAsyncDrawing(true);
  animator.SetAnimate(true);

  // No messages are pumped from here on: whatever reaches the window was painted by the worker.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  while (animator.FrameIndex() != 1 && std::chrono::steady_clock::now() < deadline) Sleep(5);
  animator.Lock();  // the worker advances and paints under this lock
  const int shown = animator.FrameIndex();
  HDC dc = GetDC(form->Handle());
  const TColor opaque = TColor(GetPixel(dc, 20 + 10, 10 + 10));
  const TColor keyed = TColor(GetPixel(dc, 20, 10));
  ReleaseDC(form->Handle(), dc);
  animator.Unlock();
  animator.SetAnimate(false);
  ASSERT_EQ(shown, 1);
  EXPECT_EQ(opaque, clLime);
  EXPECT_EQ(keyed, clYellow) << "the sibling under the control shows through the keyed pixel";
  form->Hide();
}

TEST(GIFGraphic, RegistrySizeAndConversions) {
  EXPECT_NE(TPicture::FileFilter().find("CompuServe GIF Image"), std::string::npos);
  EXPECT_NE(TGIFGraphic::ClipboardFormat(), 0u);
  const std::vector<uint8_t> bytes = ReadRestGif();
  TGIFGraphic graphic;
  TReadOnlyMemoryStream stream(bytes.data(), int64_t(bytes.size()));
  graphic.LoadFromStream(stream);
  EXPECT_EQ(graphic.Width(), 115);
  EXPECT_TRUE(graphic.Transparent());
  try {
    graphic.SetWidth(10);
    ADD_FAILURE() << "the size of a GIF changed";
  } catch (const EInvalidGraphicOperation& e) {
    EXPECT_STREQ(e.what(), "Cannot change the Size of a GIF image");
  }

  TBitmap bitmap;
  graphic.AssignTo(bitmap);
  EXPECT_EQ(bitmap.Width(), 115);
  EXPECT_TRUE(bitmap.Transparent());
  EXPECT_EQ(bitmap.TransparentColor(), kKeyGrey);

  TGIFGraphic fromBitmap;
  fromBitmap.Assign(bitmap);
  ASSERT_EQ(fromBitmap.FrameCount(), 1);
  EXPECT_EQ(fromBitmap.Frame(0).TransColor, kKeyGrey);
  EXPECT_EQ(fromBitmap.Frame(0).Bitmap().PixelColor(3, 3), graphic.Frame(0).Bitmap().PixelColor(3, 3));

  auto target = std::make_unique<TBitmap>();
  target->SetSize(115, 123);
  Fill(*target, clBlue);
  graphic.Draw(*target->Canvas(), Bounds(0, 0, 115, 123));
  EXPECT_EQ(PixelOf(*target, 0, 0) == clBlue, ColorOf(graphic.Frame(0).Bitmap().PixelColor(0, 0)) == kKeyGrey);

  TGIFGraphic copy;
  copy.Assign(graphic);
  EXPECT_EQ(copy.FrameCount(), 2);
  EXPECT_TRUE(copy.Image().Equals(graphic.Image()));
}

TEST(GIFGraphic, ClipboardRoundTripKeepsTheFrames) {
  const std::vector<uint8_t> bytes = ReadRestGif();
  TGIFGraphic graphic;
  TReadOnlyMemoryStream stream(bytes.data(), int64_t(bytes.size()));
  graphic.LoadFromStream(stream);
  graphic.SaveToClipboard();

  TGIFGraphic pasted;
  pasted.LoadFromClipboard();
  ASSERT_EQ(pasted.FrameCount(), 2);
  EXPECT_EQ(pasted.Frame(1).Bitmap(), graphic.Frame(1).Bitmap());
  EXPECT_EQ(pasted.Image().CurrentFrame, 0);
}

namespace {

// Puts one block of the given format on the clipboard.
void PutOnClipboard(UINT format, const std::vector<uint8_t>& bytes) {
  HWND owner = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  ASSERT_TRUE(OpenClipboard(owner));
  EmptyClipboard();
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
  GlobalUnlock(block);
  if (!SetClipboardData(format, block)) GlobalFree(block);
  CloseClipboard();
  DestroyWindow(owner);
}

}  // namespace

TEST(GIFGraphic, ClipboardBlocksThatClaimMoreThanTheyHoldAreRefused) {
  const std::vector<uint8_t> bytes = ReadRestGif();
  TGIFGraphic graphic;
  TReadOnlyMemoryStream stream(bytes.data(), int64_t(bytes.size()));
  graphic.LoadFromStream(stream);

  // A byte count far beyond the block.
  std::vector<uint8_t> gif = {0xFF, 0xFF, 0x00, 0x00, 'G', 'I', 'F', '8', '9', 'a'};
  PutOnClipboard(TGIFGraphic::ClipboardFormat(), gif);
  EXPECT_THROW(graphic.LoadFromClipboard(), EInvalidGraphicOperation);
  EXPECT_EQ(graphic.FrameCount(), 2) << "a refused paste leaves the picture as it was";

  // A bitmap header promising 1000 x 1000 pixels in 60 bytes.
  std::vector<uint8_t> dib(60, 0);
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = 1000;
  header.biHeight = 1000;
  header.biPlanes = 1;
  header.biBitCount = 24;
  std::memcpy(dib.data(), &header, sizeof header);
  PutOnClipboard(CF_DIB, dib);
  EXPECT_THROW(graphic.LoadFromClipboard(), EInvalidGraphicOperation);
  EXPECT_EQ(graphic.FrameCount(), 2);
}
