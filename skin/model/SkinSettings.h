#pragma once
// What a skin data lets the engine skin (SkinControls) and how (Options): sets of these members,
// member i being bit i, as the layout's "[xcMainMenu, ...]" texts name them.
#include <cstdint>

enum TSkinControlType : uint32_t {
  xcMainMenu, xcPopupMenu, xcMenuItem, xcToolbar, xcControlbar, xcCombo, xcCheckBox, xcRadioButton,
  xcProgress, xcScrollbar, xcEdit, xcButton, xcBitBtn, xcSpeedButton, xcSpin, xcPanel, xcGroupBox,
  xcStatusBar, xcTab, xcTrackBar, xcSystemMenu, xcFastReport
};
enum TSkinOption : uint32_t {
  xoMDIScrollbar, xoMenuMerge, xoTransparent, xoPreview, xoParentBackGround, xoNoFocusRect, xoToolbarBK,
  xoMDIChildBorder, xoMenuBG
};

constexpr uint32_t SkinBit(uint32_t member) { return 1u << member; }
inline constexpr uint32_t kDefaultSkinControls =
    ((1u << (xcFastReport + 1)) - 1) & ~SkinBit(xcMenuItem) & ~SkinBit(xcFastReport);
inline constexpr uint32_t kDefaultSkinOptions = SkinBit(xoPreview) | SkinBit(xoToolbarBK);
