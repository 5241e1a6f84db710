#pragma once
// Colours are 32-bit values: 00BBGGRR for RGB, system colours as symbolic values resolved when
// they are used, and two markers: clNone (no colour) and clDefault (where a transparent colour is
// expected: the bitmap's bottom-left pixel). Adding 02000000h makes an RGB colour palette-relative.
#include <cstdint>

using TColor = int32_t;

constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;
constexpr TColor kPaletteRelative = 0x02000000;
constexpr TColor kSystemColorFlag = static_cast<TColor>(0x80000000u);

constexpr TColor RGBColor(uint8_t r, uint8_t g, uint8_t b) {
  return static_cast<TColor>(r | (g << 8) | (b << 16));
}
constexpr uint8_t RedOf(TColor c) { return static_cast<uint8_t>(c & 0xFF); }
constexpr uint8_t GreenOf(TColor c) { return static_cast<uint8_t>((c >> 8) & 0xFF); }
constexpr uint8_t BlueOf(TColor c) { return static_cast<uint8_t>((c >> 16) & 0xFF); }
constexpr bool IsSystemColor(TColor c) { return (static_cast<uint32_t>(c) & 0xFF000000u) == 0x80000000u; }
// The system colour index (COLOR_BTNFACE and so on) of a symbolic colour.
constexpr int SystemColorIndex(TColor c) { return static_cast<int>(c & 0xFF); }
constexpr TColor SystemColor(int index) { return kSystemColorFlag | index; }

constexpr TColor clBlack = RGBColor(0, 0, 0);
constexpr TColor clMaroon = RGBColor(0x80, 0, 0);
constexpr TColor clGreen = RGBColor(0, 0x80, 0);
constexpr TColor clOlive = RGBColor(0x80, 0x80, 0);
constexpr TColor clNavy = RGBColor(0, 0, 0x80);
constexpr TColor clPurple = RGBColor(0x80, 0, 0x80);
constexpr TColor clTeal = RGBColor(0, 0x80, 0x80);
constexpr TColor clGray = RGBColor(0x80, 0x80, 0x80);
constexpr TColor clSilver = RGBColor(0xC0, 0xC0, 0xC0);
constexpr TColor clRed = RGBColor(0xFF, 0, 0);
constexpr TColor clLime = RGBColor(0, 0xFF, 0);
constexpr TColor clYellow = RGBColor(0xFF, 0xFF, 0);
constexpr TColor clBlue = RGBColor(0, 0, 0xFF);
constexpr TColor clFuchsia = RGBColor(0xFF, 0, 0xFF);
constexpr TColor clAqua = RGBColor(0, 0xFF, 0xFF);
constexpr TColor clWhite = RGBColor(0xFF, 0xFF, 0xFF);

constexpr TColor clScrollBar = SystemColor(0);
constexpr TColor clBackground = SystemColor(1);
constexpr TColor clActiveCaption = SystemColor(2);
constexpr TColor clInactiveCaption = SystemColor(3);
constexpr TColor clMenu = SystemColor(4);
constexpr TColor clWindow = SystemColor(5);
constexpr TColor clWindowFrame = SystemColor(6);
constexpr TColor clMenuText = SystemColor(7);
constexpr TColor clWindowText = SystemColor(8);
constexpr TColor clCaptionText = SystemColor(9);
constexpr TColor clHighlight = SystemColor(13);
constexpr TColor clHighlightText = SystemColor(14);
constexpr TColor clBtnFace = SystemColor(15);
constexpr TColor clBtnShadow = SystemColor(16);
constexpr TColor clGrayText = SystemColor(17);
constexpr TColor clBtnText = SystemColor(18);
constexpr TColor clInactiveCaptionText = SystemColor(19);
constexpr TColor clBtnHighlight = SystemColor(20);
constexpr TColor cl3DDkShadow = SystemColor(21);
constexpr TColor cl3DLight = SystemColor(22);
constexpr TColor clInfoText = SystemColor(23);
constexpr TColor clInfoBk = SystemColor(24);
