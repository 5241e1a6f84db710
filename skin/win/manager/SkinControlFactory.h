#pragma once
// The control skinner for one answer of the control mapping. Kinds whose skinners are not written
// yet get none: their controls stay as they are.
#include <memory>

#include "skin/win/controls/SkinControl.h"
#include "skin/win/manager/SkinControlChoice.h"

std::unique_ptr<TSkinControl> MakeControlSkinner(const TControlSkinChoice& choice);
