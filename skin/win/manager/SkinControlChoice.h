#pragma once
// One answer of the control mapping: the control, the skinner kind it gets and the skinner's mode,
// or the skinner object that the skin data's OnSkinControl handler made for it.
#include "skin/model/SkinnerKind.h"

class TComponent;
class TControl;

struct TControlSkinChoice {
  TControl* Control = nullptr;
  TSkinnerKind Kind = TSkinnerKind::None;
  int Mode = 0;
  TComponent* Custom = nullptr;
};
