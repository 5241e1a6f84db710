#include "skin/win/data/SkinArrow.h"

#include "framework/win32/DCState.h"
#include "framework/win32/Handles.h"

void DrawSkinArrow(HDC dc, TPoint centre, int size, TArrowDirection direction, TColor colour) {
  // Drawn row by row: a polygon's edges are rounded differently from one system to another, and an
  // arrow a few pixels high shows every such pixel.
  const int rows = (size + 1) / 2;
  const int top = centre.Y - rows / 2;
  const UniqueBrush brush(CreateSolidBrush(ColorToRGB(colour)));
  if (!brush) return;
  for (int row = 0; row < rows; ++row) {
    const int half = direction == TArrowDirection::Down ? rows - 1 - row : row;
    const RECT line{centre.X - half, top + row, centre.X + half + 1, top + row + 1};
    FillRect(dc, &line, brush.get());
  }
}
