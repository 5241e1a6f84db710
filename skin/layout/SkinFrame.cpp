#include "skin/layout/SkinFrame.h"

#include <algorithm>

namespace {

int PerFrame(int extent, int frameCount) { return extent / std::max(1, frameCount); }

bool CodeAllows(int code, int action, const TCaptionFacts& f, const TCaptionVisibilityQuery& query) {
  const bool maximized = f.Show == TWindowShow::Maximized;
  switch (code) {
    case 0: return true;
    case 1: return maximized;
    case 2: return !maximized;
    case 3: return f.Active;
    case 4: return !f.Active;
    case 6: return f.CanMaximize && f.HasSystemMenu;
    case 7: return !f.CanMaximize;
    case 8: return f.CanMinimize && f.HasSystemMenu;
    case 9: return !f.CanMinimize;
    case 100: return f.MdiChildMaximized;
    case 200: return f.DialogFrame && !f.ForeignDialog;
    default: break;
  }
  if (code > 200 && code < 1000) return true;
  if (code >= 1000 && code <= 2000) return query && query(code, action);
  return false;
}

}  // namespace

TFrameMetrics SkinFrameMetrics(const TSkinModel& model, TBorderMode mode, int menuBarHeight) {
  if (mode == TBorderMode::NoCaption) return {};
  const auto& left = model.Border("Left");
  const auto& right = model.Border("Right");
  const auto& top = model.Border("Top");
  const auto& bottom = model.Border("Bottom");
  return {PerFrame(left.Image.Width(), left.FrameCount), PerFrame(top.Image.Height(), top.FrameCount),
          PerFrame(right.Image.Width(), right.FrameCount), PerFrame(bottom.Image.Height(), bottom.FrameCount),
          menuBarHeight, model.Dpi()};
}

TRect SkinClientRect(int width, int height, const TFrameMetrics& m) {
  TRect client{m.Left, m.Top(), width - m.Right, height - m.Bottom};
  // A window smaller than its frame has an empty client area at the frame's inner edge.
  client.Right = std::max(client.Left, client.Right);
  client.Bottom = std::max(client.Top, client.Bottom);
  return client;
}

int SkinHitTest(int systemResult, TPoint p, const TFrameMetrics& m) {
  if (systemResult != kHitNowhere && systemResult != kHitCaption) return systemResult;
  if (p.Y > ScaleToDpi(3, m.Dpi) && p.Y < m.Caption) return kHitCaption;
  if (m.MenuBar > 0 && p.Y >= m.Caption && p.Y < m.Top()) return kHitMenu;
  return systemResult;
}

bool CaptionButtonVisible(const TDataSkinSysButton& b, const TCaptionFacts& f, const TCaptionVisibilityQuery& query) {
  if (!CodeAllows(b.Visibility, b.Action, f, query) || !CodeAllows(b.Visibility1, b.Action, f, query)) return false;
  switch (b.Action) {
    case 0: return f.HasSystemMenu;
    case 1: return f.CanMaximize;
    case 2: return f.CanMinimize;
    case 3:
    case 11:
    case 12: return !f.DialogFrame;
    default: return true;
  }
}

TRect CaptionButtonRect(const TDataSkinSysButton& b, int windowWidth, const TRect& text, const TFrameMetrics& m,
                        int menuBarMargin) {
  if (b.Image.Empty()) return {};
  const int w = PerFrame(b.Image.Width(), b.FrameCount);
  const int h = b.Image.Height();
  switch (b.Align) {
    case 1: return Bounds(windowWidth - b.X, b.Y, w, h);
    case 2:
    case 8: return Bounds(text.Left - w - b.X, b.Y, w, h);
    case 3:
    case 9: return Bounds(text.Right + b.X, b.Y, w, h);
    case kMdiButtonAlign:
      return Bounds(windowWidth - b.X - m.Right - menuBarMargin, m.Caption + (m.MenuBar - h) / 2, w, h);
    default: return Bounds(b.X, b.Y, w, h);
  }
}

int BorderPieceFrame(bool active, int frameCount) { return active || frameCount <= 1 ? 1 : 2; }

int CaptionButtonFrame(int state, bool active, int frameCount) {
  if ((state == 2 || state == 3) && frameCount >= state) return state;
  return active || frameCount < 4 ? 1 : 4;
}

const char* BorderPieceName(TBorderPiece piece) {
  switch (piece) {
    case TBorderPiece::Left: return "Left";
    case TBorderPiece::Right: return "Right";
    case TBorderPiece::Bottom: return "Bottom";
    case TBorderPiece::Top: break;
  }
  return "Top";
}

TFrameLayout BorderPieceLayout(TBorderPiece piece) {
  return piece == TBorderPiece::Top || piece == TBorderPiece::Bottom ? TFrameLayout::Stacked
                                                                     : TFrameLayout::SideBySide;
}

TRect BorderPieceRect(TBorderPiece piece, int width, int height, const TFrameMetrics& m) {
  switch (piece) {
    case TBorderPiece::Left: return {0, 0, m.Left, height};
    case TBorderPiece::Right: return {width - m.Right, 0, width, height};
    case TBorderPiece::Bottom: return {m.Left, height - m.Bottom, width - m.Right, height};
    case TBorderPiece::Top: break;
  }
  return {m.Left, 0, width - m.Right, m.Caption};
}

std::vector<TRect> SkinRegionRects(const TSkinModel& model, int width, int height, const TFrameMetrics& m,
                                   bool active) {
  std::vector<TRect> rects;
  if (width <= 0 || height <= 0) return rects;
  rects.push_back({m.Left, m.Caption, width - m.Right, height - m.Bottom});
  for (TBorderPiece piece : kBorderPieces) {
    const TRect place = BorderPieceRect(piece, width, height, m);
    if (place.Empty()) continue;
    const TDataSkinBorder& border = model.Border(BorderPieceName(piece));
    const bool shaped = border.Trans == 1 && !border.Image.Empty() && !(piece == TBorderPiece::Bottom && m.Bottom < 2);
    if (!shaped) {
      rects.push_back(place);
      continue;
    }
    TSkinImage drawn(place.Width(), place.Height(), kSkinMagenta);
    const TFrameLayout layout = BorderPieceLayout(piece);
    DrawNineSlice(border.Image, border.FrameRect(BorderPieceFrame(active, border.FrameCount), layout),
                  border.Margins(), border.Stretch == 0, drawn, {0, 0, place.Width(), place.Height()});
    for (const TRect& run : OpaqueRuns(drawn))
      rects.push_back({run.Left + place.Left, run.Top + place.Top, run.Right + place.Left, run.Bottom + place.Top});
  }
  return rects;
}

TRect CaptionTextRect(const TDataSkinTitle& title, int windowWidth, const TFrameMetrics& m, int firstRightButton) {
  TRect text{title.LeftWidth, title.TopHeight, windowWidth - title.RightWidth, m.Caption};
  text.Right = std::min(text.Right, firstRightButton - ScaleToDpi(kCaptionTextGap, m.Dpi));
  text.Right = std::max(text.Left, text.Right);
  text.Bottom = std::max(text.Top, text.Bottom);
  return text;
}

std::vector<TSkinMenuEntry> SkinSystemMenuItems(const std::vector<TSystemMenuEntry>& entries, TWindowShow show,
                                                bool canMaximize, bool canMinimize) {
  std::vector<TSkinMenuEntry> items;
  for (const TSystemMenuEntry& e : entries) {
    TSkinMenuEntry item;
    item.Caption = e.Separator || e.Text.empty() ? "-" : e.Text;
    item.Tag = e.Command;
    switch (e.Command) {
      case kScMinimize:
        item.Glyph = 2;
        item.Enabled = show != TWindowShow::Minimized && canMinimize;
        break;
      case kScMaximize:
        item.Glyph = 1;
        item.Enabled = show != TWindowShow::Maximized && canMaximize;
        break;
      case kScClose: item.Glyph = 3; break;
      case kScRestore:
        item.Glyph = 0;
        item.Enabled = show != TWindowShow::Normal;
        break;
      case kScSize:
      case kScMove: item.Enabled = show != TWindowShow::Maximized; break;
      default: break;
    }
    item.Enabled = item.Enabled && !e.Disabled;
    item.Checked = e.Checked;
    items.push_back(item);
  }
  return items;
}

bool NeedsCaptionStyleWorkaround(const TPlatformVersion& v, bool appWindow, bool owned, bool mdiChild) {
  if (v.Major <= 4 || v.Minor != 0) return false;
  return (appWindow && v.NtPlatform) || (!owned && !mdiChild);
}

bool CloseFollowsSystemMenu(const TPlatformVersion& v) { return v.NtPlatform && v.Major >= 5; }
