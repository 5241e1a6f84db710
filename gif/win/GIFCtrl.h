#pragma once
// TImageControl: a windowless picture control with a re-entrant lock, a double-buffered paint and
// painting from a worker thread. TGIFAnimator plays a TGIFGraphic on it: a TThreadTimer advances the
// frame at each frame's display time, every frame is composed onto the previous picture by the
// frames' disposal methods and transparency, and the result is painted over the parent's background.
//
// Threads and locks. The UI thread runs the setters and the paints; with AsyncDrawing on, the timer's
// worker runs AdvanceFrame and paints through a device context of the parent window. The control's
// lock guards FrameIndex, the composition cache and the image; painting runs under the control's
// canvas lock. Order: control lock, then canvas lock, then the frame bitmap's canvas lock. The worker
// never waits for the UI thread while it holds either lock (OnFrameChanged and the end-of-run stop are
// handed over after they are released), and it never runs other controls' painting: the parent's
// background comes from the copy taken by the last paint on the UI thread.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "framework/classes/Properties.h"
#include "framework/controls/Controls.h"
#include "framework/win32/Handles.h"
#include "gif/win/GIFGraphic.h"
#include "gif/win/ThreadTimer.h"

class TImageControl : public TGraphicControl {
public:
  BREVIN_CLASS_INFO()
  explicit TImageControl(TComponent* owner);
  ~TImageControl() override;

  void Lock() { lock_.lock(); }
  void Unlock() { lock_.unlock(); }
  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool autoSize);
  bool Drawing() const { return drawing_; }
  // True while the control is drawn into another control's background copy.
  bool PaintingForCopy() const { return paintingForCopy_; }

  // With AutoSize on, the picture's logical size wins over the size asked for (only the side that
  // the control's alignment leaves free).
  void SetBounds(int left, int top, int width, int height) override;
  void WndProc(TMessage& message) override;
  // Repaints now: on the UI thread through the parent; on another thread into a device context of
  // the parent's window, clipped to the control.
  void PaintNow();

protected:
  std::recursive_mutex& Mutex() { return lock_; }
  // Draws the picture into Canvas(); runs with the drawing flag set.
  virtual void PaintImage() = 0;
  // The size the picture wants (width, height), or an empty size when it has none.
  virtual TPoint PictureSize() const { return {}; }
  void Paint() override;
  // Copies the parent's background (and the windowless siblings painted with it) under the control.
  void CopyParentImage(HDC dc);
  // After the picture changed: auto-size, then invalidate unless painting.
  void PictureChanged();
  void AdjustSize();

  // Remembers the parent's window, on the UI thread only, for the worker's paints.
  void NoteParentWindow();

private:
  void PaintBuffered(HDC dc);

  std::recursive_mutex lock_;
  bool drawing_ = false;
  bool buffered_ = false;
  bool paintingForCopy_ = false;
  bool autoSize_ = false;
  DWORD uiThread_;
  std::atomic<HWND> parentWindow_{nullptr};
  // The parent's background under the control, as the last paint on the UI thread saw it.
  UniqueBitmap background_;
  int backgroundWidth_ = 0;
  int backgroundHeight_ = 0;
};

class TGIFAnimator : public TImageControl {
public:
  BREVIN_CLASS_INFO()
  explicit TGIFAnimator(TComponent* owner);
  ~TGIFAnimator() override;

  bool Animate() const { return animate_; }
  void SetAnimate(bool animate);
  TGIFGraphic* Image() const { return image_.get(); }
  // Assigns the given picture to the owned one.
  void SetImage(const TGIFGraphic& image);
  int FrameIndex() const { return frameIndex_; }
  void SetFrameIndex(int index);
  bool Stretch() const { return stretch_; }
  void SetStretch(bool stretch);
  bool Center() const { return center_; }
  void SetCenter(bool center);
  bool Loop() const { return loop_; }
  void SetLoop(bool loop) { loop_ = loop; }
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool transparent);
  bool AsyncDrawing() const { return asyncDrawing_; }
  void SetAsyncDrawing(bool asyncDrawing);
  TThreadTimer& Timer() const { return *timer_; }

  // The current frame's display time clamped to 50..10000 ms; 0 without animation.
  int FrameDelay();
  // The picture seen when frame `index` is shown, of the logical screen's size; the transparent
  // colour found while composing goes to `transparent`. Consecutive frames reuse the cached picture.
  TBitmap& ComposeFrame(int index, TColor& transparent);
  // The timer's tick: next frame, painted at once.
  void AdvanceFrame();
  int CacheIndex() const { return cacheIndex_; }
  TColor CacheTransColor() const { return cacheTransColor_; }
  TBitmap* CacheBitmap() const { return cache_.get(); }

  TNotifyEvent OnStart;
  TNotifyEvent OnStop;
  TNotifyEvent OnChange;
  TNotifyEvent OnFrameChanged;

protected:
  void PaintImage() override;
  TPoint PictureSize() const override;

private:
  void ImageChanged();
  void Fire(const TNotifyEvent& event);
  void RepaintIfAnimating();

  std::unique_ptr<TGIFGraphic> image_;
  TThreadTimer* timer_;
  bool animate_ = false;
  int frameIndex_ = -1;
  bool stretch_ = false;
  bool center_ = false;
  bool loop_ = true;
  bool transparent_ = true;
  bool asyncDrawing_ = false;
  std::unique_ptr<TBitmap> cache_;
  int cacheIndex_ = -1;
  TColor cacheTransColor_ = clNone;
  TColor cacheBrush_ = clNone;
};

// Makes TGIFAnimator, TThreadTimer and the GIF picture known to layouts and the picture registry.
void RegisterGIFControls();
