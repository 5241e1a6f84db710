#pragma once
// Which control skinner each control of a window gets, by the skin data's settings.
//
// Every control inside root is visited once, parents before their children except where the rule
// says that a control's own controls come first (panels, group boxes, containers, groups of other
// libraries). For each control:
// - one whose Tag is the skin data's DisableTag is left alone; the items of a radio or check group
//   so marked get its Tag too, so they are left alone with it;
// - a windowed control gets its window handle;
// - the skin data's OnSkinControl handler may claim it: the component it returns is the answer;
// - otherwise the rules of skin/SkinControlMapping.h decide. Where they say so, the control's
//   "Transparent" property is set to True, and each of its child controls gets a skinner of the kind
//   they name (its Tag permitting) instead of being decided on its own.
// Controls that get no skinner are left out of the answer; their children are still visited, except
// those of a page whose windows are not made yet.
#include <vector>

#include "skin/win/manager/SkinControlChoice.h"

class TSkinData;
class TWinControl;

std::vector<TControlSkinChoice> MapControls(TSkinData& data, TWinControl& root);
