#include "gif/win/GIFCtrl.h"

#include <algorithm>

#include "framework/win32/DCState.h"
#include "gif/win/TransparentDraw.h"

namespace {

constexpr int kMinDelayMs = 50;
constexpr int kMaxDelayMs = 10000;

// Sets a flag for a scope and puts the old value back.
class FlagScope {
public:
  FlagScope(bool& flag, bool value) : flag_(flag), old_(flag) { flag_ = value; }
  ~FlagScope() { flag_ = old_; }
  FlagScope(const FlagScope&) = delete;
  FlagScope& operator=(const FlagScope&) = delete;

private:
  bool& flag_;
  bool old_;
};

class CanvasHandleScope {
public:
  CanvasHandleScope(TCanvas& canvas, HDC dc) : canvas_(canvas), old_(canvas.Handle()) { canvas_.SetHandle(dc); }
  ~CanvasHandleScope() { canvas_.SetHandle(old_); }
  CanvasHandleScope(const CanvasHandleScope&) = delete;
  CanvasHandleScope& operator=(const CanvasHandleScope&) = delete;

private:
  TCanvas& canvas_;
  HDC old_;
};

}  // namespace

// ---------------------------------------------------------------------------------------------
// TImageControl

const TClassInfo& TImageControl::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TImageControl>("TImageControl", &TGraphicControl::StaticClassInfo())
                                     .Property("AutoSize", &TImageControl::AutoSize, &TImageControl::SetAutoSize);
  return info;
}

TImageControl::TImageControl(TComponent* owner) : TGraphicControl(owner), uiThread_(GetCurrentThreadId()) {
  SetBounds(Left(), Top(), 105, 105);
  SetParentColor(true);
}

TImageControl::~TImageControl() = default;

void TImageControl::SetAutoSize(bool autoSize) {
  if (autoSize == autoSize_) return;
  autoSize_ = autoSize;
  AdjustSize();
}

void TImageControl::AdjustSize() {
  if (!autoSize_ || Loading()) return;
  const TPoint size = PictureSize();
  if (size.X <= 0 || size.Y <= 0) return;
  SetBounds(Left(), Top(), size.X, size.Y);
}

void TImageControl::SetBounds(int left, int top, int width, int height) {
  if (autoSize_ && !Loading()) {
    const TPoint size = PictureSize();
    if (size.X > 0 && size.Y > 0) {
      const TAlign align = Align();
      if (align == TAlign::alNone || align == TAlign::alLeft || align == TAlign::alRight) width = size.X;
      if (align == TAlign::alNone || align == TAlign::alTop || align == TAlign::alBottom) height = size.Y;
    }
  }
  TGraphicControl::SetBounds(left, top, width, height);
}

void TImageControl::PictureChanged() {
  if (Destroying()) return;
  AdjustSize();
  if (!drawing_) Invalidate();
}

void TImageControl::WndProc(TMessage& message) {
  if (message.Msg != WM_PAINT) return TGraphicControl::WndProc(message);
  HDC dc = reinterpret_cast<HDC>(message.WParam);
  if (!dc) return;
  // The flags below belong to whichever thread holds the canvas: read without the lock, the UI
  // thread could take the worker's nested paint for its own and paint through a canvas in use.
  TCanvasLock lock(*Canvas());
  if (paintingForCopy_) return;
  NoteParentWindow();
  if (buffered_) {
    CanvasHandleScope scope(*Canvas(), dc);
    Paint();
    return;
  }
  PaintBuffered(dc);
}

void TImageControl::PaintBuffered(HDC dc) {
  const int width = ClientWidth();
  const int height = ClientHeight();
  if (width <= 0 || height <= 0) return;
  TCanvasLock lock(*Canvas());
  UniqueMemoryDC memory(CreateCompatibleDC(dc));
  UniqueBitmap buffer(CreateCompatibleBitmap(dc, width, height));
  if (!memory || !buffer) throw EOutOfResources("Out of system resources");
  SelectedObject keep(memory.get(), buffer.get());
  {
    // Through Perform, so that a hook in front of the control paints the buffer too.
    FlagScope nested(buffered_, true);
    Perform(WM_PAINT, reinterpret_cast<WPARAM>(memory.get()), 0);
  }
  BitBlt(dc, 0, 0, width, height, memory.get(), 0, 0, SRCCOPY);
}

void TImageControl::Paint() {
  TCanvas& canvas = *Canvas();
  canvas.Brush()->SetColor(Color());
  canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
  canvas.FillRect(ClientRect());
  FlagScope drawing(drawing_, true);
  PaintImage();
}

void TImageControl::CopyParentImage(HDC dc) {
  TWinControl* parent = Parent();
  if (!parent) return;
  const int width = ClientWidth();
  const int height = ClientHeight();
  if (GetCurrentThreadId() != uiThread_) {
    // Other controls' painting belongs to the UI thread: the worker reuses the last copy.
    if (background_ && backgroundWidth_ == width && backgroundHeight_ == height) {
      UniqueMemoryDC source(CreateCompatibleDC(dc));
      SelectedObject keep(source.get(), background_.get());
      BitBlt(dc, 0, 0, width, height, source.get(), 0, 0, SRCCOPY);
    }
    return;
  }
  {
    FlagScope copying(paintingForCopy_, true);
    parent->PaintTo(dc, -Left(), -Top());
  }
  if (width <= 0 || height <= 0) return;
  UniqueBitmap copy(CreateCompatibleBitmap(dc, width, height));
  UniqueMemoryDC target(CreateCompatibleDC(dc));
  if (!copy || !target) return;  // Without a copy the worker paints on the plain colour: cosmetic only.
  {
    SelectedObject keep(target.get(), copy.get());
    BitBlt(target.get(), 0, 0, width, height, dc, 0, 0, SRCCOPY);
  }
  background_ = std::move(copy);
  backgroundWidth_ = width;
  backgroundHeight_ = height;
}

void TImageControl::NoteParentWindow() {
  if (GetCurrentThreadId() != uiThread_) return;
  TWinControl* parent = Parent();
  parentWindow_ = parent && parent->HandleAllocated() ? parent->Handle() : nullptr;
}

void TImageControl::PaintNow() {
  TWinControl* parent = Parent();
  if (!parent || !parent->HandleAllocated() || !Visible()) return;
  if (GetCurrentThreadId() == uiThread_) {
    NoteParentWindow();
    Repaint();
    return;
  }
  // Asking the parent for its window here could make one on this thread while the UI thread
  // destroys the parent's; a window that has gone since the UI thread saw it takes no paint.
  HWND window = parentWindow_;
  if (!window || !IsWindow(window)) return;
  WindowDC dc(window);
  if (!dc.get()) return;
  ShiftedDC control(dc.get(), Left(), Top(), Width(), Height());
  Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc.get()), 0);
}

// ---------------------------------------------------------------------------------------------
// TGIFAnimator

const TClassInfo& TGIFAnimator::StaticClassInfo() {
  static const TClassInfo info =
      TClassBuilder<TGIFAnimator>("TGIFAnimator", &TImageControl::StaticClassInfo())
          .Creatable()
          .Property("Animate", &TGIFAnimator::Animate, &TGIFAnimator::SetAnimate)
          .Object("Image", &TGIFAnimator::Image)
          .Property("Stretch", &TGIFAnimator::Stretch, &TGIFAnimator::SetStretch)
          .Property("Center", &TGIFAnimator::Center, &TGIFAnimator::SetCenter)
          .Property("Loop", &TGIFAnimator::Loop, &TGIFAnimator::SetLoop)
          .Property("Transparent", &TGIFAnimator::Transparent, &TGIFAnimator::SetTransparent)
          .Property("AsyncDrawing", &TGIFAnimator::AsyncDrawing, &TGIFAnimator::SetAsyncDrawing)
          .Event("OnStart", &TGIFAnimator::OnStart)
          .Event("OnStop", &TGIFAnimator::OnStop)
          .Event("OnChange", &TGIFAnimator::OnChange)
          .Event("OnFrameChanged", &TGIFAnimator::OnFrameChanged);
  return info;
}

TGIFAnimator::TGIFAnimator(TComponent* owner)
    : TImageControl(owner), image_(std::make_unique<TGIFGraphic>()), timer_(new TThreadTimer(this)) {
  SetAutoSize(true);
  image_->OnChange = [this](TObject*) { ImageChanged(); };
}

TGIFAnimator::~TGIFAnimator() {
  {
    // A tick on the worker reads the handlers under the lock.
    std::lock_guard<std::recursive_mutex> lock(Mutex());
    OnStart = OnStop = OnChange = OnFrameChanged = nullptr;
  }
  SetAnimate(false);
  // The timer goes first and waits for a tick in progress on its worker, while everything that
  // tick may touch still exists.
  delete timer_;
  timer_ = nullptr;
  cache_.reset();
  image_->OnChange = nullptr;
  image_.reset();
}

void TGIFAnimator::Fire(const TNotifyEvent& event) {
  if (event) event(this);
}

void TGIFAnimator::SetAnimate(bool animate) {
  if (animate == animate_) return;
  if (animate) {
    NoteParentWindow();
    timer_->SetOnTimer([this](TObject*) { AdvanceFrame(); });
    timer_->SetEnabled(true);
    animate_ = timer_->Enabled();
    Fire(OnStart);
    return;
  }
  timer_->SetEnabled(false);
  timer_->SetOnTimer(nullptr);
  animate_ = false;
  Fire(OnStop);
  PictureChanged();
}

void TGIFAnimator::SetImage(const TGIFGraphic& image) {
  std::lock_guard<std::recursive_mutex> lock(Mutex());
  image_->Assign(image);
}

void TGIFAnimator::SetFrameIndex(int index) {
  if (index == frameIndex_ || index < 0 || index >= image_->FrameCount()) return;
  {
    std::lock_guard<std::recursive_mutex> lock(Mutex());
    frameIndex_ = index;
    timer_->SetInterval(uint32_t(FrameDelay()));
  }
  Fire(OnFrameChanged);
  PictureChanged();
}

void TGIFAnimator::RepaintIfAnimating() {
  if (animate_) PaintNow();
}

void TGIFAnimator::SetStretch(bool stretch) {
  if (stretch == stretch_) return;
  {
    std::lock_guard<std::recursive_mutex> lock(Mutex());
    stretch_ = stretch;
  }
  PictureChanged();
  RepaintIfAnimating();
}

void TGIFAnimator::SetCenter(bool center) {
  if (center == center_) return;
  {
    std::lock_guard<std::recursive_mutex> lock(Mutex());
    center_ = center;
  }
  PictureChanged();
  RepaintIfAnimating();
}

void TGIFAnimator::SetTransparent(bool transparent) {
  if (transparent == transparent_) return;
  {
    std::lock_guard<std::recursive_mutex> lock(Mutex());
    transparent_ = transparent;
  }
  PictureChanged();
  RepaintIfAnimating();
}

void TGIFAnimator::SetAsyncDrawing(bool asyncDrawing) {
  if (asyncDrawing == asyncDrawing_) return;
  std::lock_guard<std::recursive_mutex> lock(Mutex());
  timer_->SetSyncEvent(!asyncDrawing);
  asyncDrawing_ = asyncDrawing;
}

TPoint TGIFAnimator::PictureSize() const {
  if (!image_ || image_->Empty()) return {};
  return {image_->Image().LogicalWidth(), image_->Image().LogicalHeight()};
}

int TGIFAnimator::FrameDelay() {
  const int count = image_->FrameCount();
  if (frameIndex_ < 0 || frameIndex_ >= count || count < 2) return 0;
  return std::clamp(int(image_->Frame(frameIndex_).DelayMs), kMinDelayMs, kMaxDelayMs);
}

void TGIFAnimator::ImageChanged() {
  {
    std::lock_guard<std::recursive_mutex> lock(Mutex());
    cacheIndex_ = -1;
    cache_.reset();
    cacheTransColor_ = clNone;
    frameIndex_ = image_->Image().CurrentFrame;
    if (frameIndex_ >= 0 && image_->FrameCount() > 0) timer_->SetInterval(uint32_t(FrameDelay()));
  }
  PictureChanged();
  Fire(OnChange);
}

TBitmap& TGIFAnimator::ComposeFrame(int index, TColor& transparent) {
  TGIFImage& gif = image_->Image();
  const int count = gif.FrameCount();
  if (count == 0) throw EInvalidGraphicOperation("No GIF Data to draw");
  index = std::clamp(index, 0, count - 1);
  const bool incremental =
      cache_ && cacheIndex_ >= 0 && cacheIndex_ < count && index == cacheIndex_ + 1 && gif.Frame(cacheIndex_).Disposal != 3;

  std::unique_ptr<TBitmap> fresh;
  TBitmap* bitmap;
  if (incremental) {
    bitmap = cache_.get();
    transparent = cacheTransColor_;
  } else {
    cache_.reset();
    cacheIndex_ = -1;
    fresh = std::make_unique<TBitmap>();
    fresh->SetSize(gif.LogicalWidth(), gif.LogicalHeight());
    bitmap = fresh.get();
  }

  try {
    TCanvas& canvas = *bitmap->Canvas();
    TCanvasLock lock(canvas);
    HDC dc = canvas.Handle();
    auto frameRect = [&](int i) {
      TGIFFrame& frame = gif.Frame(i);
      TBitmap& picture = image_->FrameBitmap(i);
      return Bounds(frame.Origin.X, frame.Origin.Y, picture.Width(), picture.Height());
    };
    auto fill = [&](const TRect& rect) {
      canvas.Brush()->SetColor(cacheBrush_);
      canvas.Brush()->SetStyle(TBrushStyle::bsSolid);
      canvas.FillRect(rect);
    };

    if (incremental) {
      if (gif.Frame(cacheIndex_).Disposal == 2) fill(frameRect(cacheIndex_));
    } else {
      const int backgroundIndex = std::clamp(gif.CurrentFrame, 0, count - 1);
      const TGIFFrame& background = gif.Frame(backgroundIndex);
      if (background.TransColor != clNone) {
        transparent = TColor(GetNearestColor(dc, ColorToRGB(background.TransColor)) & 0x00FFFFFF);
        cacheBrush_ = transparent;
      } else if (gif.BackColor != clNone && gif.IsTransparent()) {
        cacheBrush_ = gif.BackColor;
      } else {
        cacheBrush_ = clWindow;
      }
      fill(Bounds(0, 0, bitmap->Width(), bitmap->Height()));

      int start = 0;
      for (int i = index; i >= 1; --i) {
        TGIFFrame& frame = gif.Frame(i);
        const TGIFSize size = frame.CoveredSize();
        const bool coversScreen = size.Width == gif.LogicalWidth() && size.Height == gif.LogicalHeight();
        if (coversScreen && (frame.TransColor == clNone || (frame.Disposal == 2 && i < index))) {
          start = i;
          break;
        }
      }
      for (int j = start; j < index; ++j) {
        switch (gif.Frame(j).Disposal) {
          case 0:
          case 1:
            image_->DrawFrame(j, canvas, frameRect(j), true);
            break;
          case 2:
            if (j != start) fill(frameRect(j));
            break;
          default:
            break;
        }
      }
    }
    image_->DrawFrame(index, canvas, frameRect(index), true);
  } catch (...) {
    // A half-composed picture must not be taken for a finished one: the next paint starts afresh.
    cache_.reset();
    cacheIndex_ = -1;
    cacheTransColor_ = clNone;
    throw;
  }

  if (fresh) {
    if (transparent != clNone && transparent_) {
      fresh->SetTransparentColor(transparent);
      fresh->SetTransparent(true);
    }
    cache_ = std::move(fresh);
  }
  cacheIndex_ = index;
  cacheTransColor_ = transparent;
  return *cache_;
}

void TGIFAnimator::PaintImage() {
  HDC dc = Canvas()->Handle();
  if (image_->Transparent() || image_->Empty()) CopyParentImage(dc);
  TGIFImage& gif = image_->Image();
  if (image_->Empty() || gif.LogicalWidth() < 1 || gif.LogicalHeight() < 1) return;

  TColor transparent = clNone;
  TBitmap& picture = ComposeFrame(frameIndex_, transparent);
  TCanvasLock lock(*picture.Canvas());
  TRect target;
  if (stretch_) {
    target = ClientRect();
  } else if (center_) {
    target = Bounds((ClientWidth() - picture.Width()) / 2, (ClientHeight() - picture.Height()) / 2, picture.Width(),
                    picture.Height());
  } else {
    target = Bounds(0, 0, picture.Width(), picture.Height());
  }
  if (transparent != clNone && transparent_) {
    DrawBitmapTransparent(*Canvas(), target.Left, target.Top, target.Width(), target.Height(), picture, 0, 0, 0, 0,
                          transparent);
    return;
  }
  StretchBltModeKept mode(dc, COLORONCOLOR);
  StretchBlt(dc, target.Left, target.Top, target.Width(), target.Height(), picture.Canvas()->Handle(), 0, 0,
             picture.Width(), picture.Height(), SRCCOPY);
}

void TGIFAnimator::AdvanceFrame() {
  TWinControl* parent = Parent();
  if (PaintingForCopy() || !Visible() || image_->FrameCount() < 2 || !parent || !parent->HandleAllocated()) return;
  bool stop = false;
  bool notify = false;
  {
    std::lock_guard<std::recursive_mutex> lock(Mutex());
    notify = static_cast<bool>(OnFrameChanged);
    const int count = image_->FrameCount();
    frameIndex_ = frameIndex_ + 1 >= count || frameIndex_ < 0 ? 0 : frameIndex_ + 1;
    try {
      TCanvasLock canvasLock(*Canvas());
      PaintNow();
    } catch (...) {
      timer_->SetInterval(uint32_t(FrameDelay()));
      throw;
    }
    timer_->SetInterval(uint32_t(FrameDelay()));
    stop = !loop_ && frameIndex_ == 0;
  }
  // Handed to the UI thread only now that no lock is held, so a UI thread waiting for the lock can
  // never stall a worker that waits for the UI thread.
  if (notify) {
    if (asyncDrawing_)
      timer_->SyncCall([this] { Fire(OnFrameChanged); });
    else
      Fire(OnFrameChanged);
  }
  if (stop) {
    if (asyncDrawing_)
      timer_->SyncCall([this] { SetAnimate(false); });
    else
      SetAnimate(false);
  }
}

void RegisterGIFControls() {
  static const bool done = [] {
    RegisterGIFGraphic();
    RegisterThreadTimer();
    RegisterComponentClass(TGIFAnimator::StaticClassInfo());
    return true;
  }();
  (void)done;
}
