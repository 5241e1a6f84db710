#pragma once
// What a form skinner asks of the skin manager that made it. A form skinner made without one (in
// tests of a single window) skins its frame alone and maps no controls.
#include <vector>

#include "skin/win/manager/SkinControlChoice.h"

class TSkinData;
class TWinControl;

// The kind of popup menu being opened, as form skinners see it on WM_INITMENUPOPUP.
enum class TPopupMenuKind { None = 0, Ordinary = 1, SystemMenu = 2 };

class TSkinFormHost {
public:
  virtual void PopupMenuOpening(TPopupMenuKind kind) = 0;
  // MDI children keep their caption style and drop their region while one of them is maximised.
  virtual bool MaximizedMdiMode() const = 0;
  // The skinner each control of root gets, by the skin data's mapping rules.
  virtual std::vector<TControlSkinChoice> MapControls(TSkinData& data, TWinControl& root) const = 0;

protected:
  ~TSkinFormHost() = default;
};
