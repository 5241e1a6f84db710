#include "framework/win32/Region.h"

#include <cstddef>
#include <cstring>

UniqueRegion RegionFromRects(const std::vector<TRect>& rects, int dx, int dy) {
  // One call with every rectangle: uniting them one by one costs a region per rectangle and grows
  // quadratically with the rows of a shaped border.
  std::vector<RECT> ordered;
  ordered.reserve(rects.size());
  RECT bound{0, 0, 0, 0};
  for (const TRect& r : rects) {
    if (r.Empty()) continue;
    const RECT moved{r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
    if (ordered.empty()) {
      bound = moved;
    } else {
      UnionRect(&bound, &bound, &moved);
    }
    ordered.push_back(moved);
  }
  const size_t bytes = sizeof(RGNDATAHEADER) + ordered.size() * sizeof(RECT);
  std::vector<std::byte> data(bytes);
  auto* header = reinterpret_cast<RGNDATA*>(data.data());
  header->rdh.dwSize = sizeof(RGNDATAHEADER);
  header->rdh.iType = RDH_RECTANGLES;
  header->rdh.nCount = static_cast<DWORD>(ordered.size());
  header->rdh.nRgnSize = static_cast<DWORD>(ordered.size() * sizeof(RECT));
  header->rdh.rcBound = bound;
  if (!ordered.empty()) std::memcpy(header->Buffer, ordered.data(), ordered.size() * sizeof(RECT));
  return UniqueRegion(ExtCreateRegion(nullptr, static_cast<DWORD>(bytes), header));
}

bool SetWindowRegion(HWND window, UniqueRegion region, bool redraw) {
  if (!SetWindowRgn(window, region.get(), redraw)) return false;
  // Accepted: from here on the region is the system's.
  region.release();
  return true;
}
