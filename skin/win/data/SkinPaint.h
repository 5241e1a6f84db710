#pragma once
// Drawing skin pictures on Windows with the shared nine-slice geometry: corners 1:1, edges
// stretched along their length, the middle stretched or tiled (stretching with COLORONCOLOR, as
// skin pictures are never smoothed). Also the DC owners the skin painters share.
#include <windows.h>

#include "framework/graphics/Graphic.h"
#include "framework/win32/Handles.h"
#include "skin/layout/SkinGeometry.h"

// A skin picture as the painters draw it. Drawn transparently, its magenta pixels leave what lies
// beneath; the mask that marks them is made at the first such draw and kept, since a skin picture
// does not change once made, so that no paint needs work bitmaps of its own.
class TSkinPicture : public TBitmap {
public:
  // A memory DC holding the monochrome mask, white over the magenta pixels; raises EOutOfResources.
  HDC MaskDC();

private:
  // Declared first so that it is deleted after the DC it is selected into.
  UniqueBitmap mask_;
  UniqueMemoryDC maskDc_;
};

// Draws frame of picture over target; transparent leaves the destination under magenta pixels.
void DrawSkinPicture(HDC dc, TSkinPicture& picture, const TRect& frame, TSkinMargins margins, bool tileMiddle,
                     const TRect& target, bool transparent = false);

// An off-screen bitmap with its DC, kept while it is large enough.
class TPaintBuffer {
public:
  TPaintBuffer() = default;
  TPaintBuffer(const TPaintBuffer&) = delete;
  TPaintBuffer& operator=(const TPaintBuffer&) = delete;
  ~TPaintBuffer() { Release(); }

  // A DC holding a bitmap of at least width x height compatible with like; raises EOutOfResources.
  HDC Prepare(HDC like, int width, int height);
  void Release();

private:
  UniqueMemoryDC dc_;
  UniqueBitmap bitmap_;
  HGDIOBJ previous_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};
