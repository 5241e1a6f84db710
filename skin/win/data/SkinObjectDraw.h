#pragma once
// Drawing one state frame of a skin object, for the painters that pick objects by name.
#include <windows.h>

#include <string>

#include "framework/classes/Types.h"
#include "skin/win/data/SkinDataUnit.h"

// The object named name in the skin at dpi, when it is a T and the skin has a picture for it; else
// nullptr.
template <typename T = TDataSkinObject>
const T* PaintableSkinObject(const TSkinData* data, const std::string& name, int dpi) {
  if (!data) return nullptr;
  const auto* object = dynamic_cast<const T*>(data->Model(dpi).Find(name));
  return object && data->Picture(object->Image) ? object : nullptr;
}
// Draws frame (from 1, held within the object's frame count) over target by nine-slice.
void DrawSkinObject(HDC dc, const TSkinData& data, const TDataSkinObject& object, int frame, const TRect& target);
