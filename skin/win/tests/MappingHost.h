#pragma once
// A form-skinner host for tests that skin a form without the manager: controls get the skinners
// the mapping rules name, as under the manager.
#include "skin/win/manager/SkinControlMapping.h"
#include "skin/win/form/SkinFormHost.h"

class TMappingHost : public TSkinFormHost {
public:
  void PopupMenuOpening(TPopupMenuKind) override {}
  bool MaximizedMdiMode() const override { return false; }
  std::vector<TControlSkinChoice> MapControls(TSkinData& data, TWinControl& root) const override {
    return ::MapControls(data, root);
  }
};
