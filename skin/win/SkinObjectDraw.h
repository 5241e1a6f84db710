#pragma once
// Drawing one state frame of a skin object, for the painters that pick objects by name.
#include <windows.h>

#include "framework/classes/Types.h"

class TDataSkinObject;
class TSkinData;

// The object named name when the skin has a picture for it, else nullptr.
const TDataSkinObject* PaintableSkinObject(const TSkinData* data, const char* name);
// Draws frame (from 1, held within the object's frame count) over target by nine-slice.
void DrawSkinObject(HDC dc, const TSkinData& data, const TDataSkinObject& object, int frame, const TRect& target);
