#pragma once
#include <string>

#include "skin/model/SkinModel.h"

// The model as one JSON object: {"name", "objects": {name: {"image": [w, h] or null, "frames",
// "margins": [l, t, r, b], "trans", "tile", "style"}}, "buttons": [...], "colours": {key: colour},
// "table": [...], "custom": [...]}. Colours are "#rrggbb" or a system colour's name ("clBtnFace").
// Border pieces show "tile" 1 where they tile their middle; border objects add "image2", the
// push-button object "check" and "radio" (image and frames).
std::string SkinModelJson(const TSkinModel& model);
