#include "skin/win/data/SkinObjectDraw.h"

#include <algorithm>

#include "skin/win/data/SkinDataUnit.h"
#include "skin/win/data/SkinPaint.h"

void DrawSkinObject(HDC dc, const TSkinData& data, const TDataSkinObject& object, int frame, const TRect& target) {
  if (target.Width() <= 0 || target.Height() <= 0) return;
  DrawSkinPicture(dc, *data.Picture(object.Image),
                  object.FrameRect(std::clamp(frame, 1, std::max(object.FrameCount, 1))), object.Margins(),
                  object.TileMiddle(), target, object.Trans == 1);
}
