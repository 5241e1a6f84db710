#pragma once
// A stand-in of the main window's class that reads its layout (or the one given) with handlers
// that do nothing, so that the skin engine can be tried on the main window's real controls without
// the program around them. The program's layout is built in as resource TVELMAIN.
#include <string_view>

#include "framework/controls/Forms.h"
#include "skin/win/data/SkinDataUnit.h"

class Tvelmain : public TForm {
public:
  BREVIN_CLASS_INFO()
  explicit Tvelmain(std::string_view layout = {}) : TForm(nullptr) {
    RegisterSkinDataClass();
    Handler("FormClose", &Tvelmain::Close);
    for (const char* name : {"FormMouseMove", "Panel3MouseMove", "Label12MouseMove", "BitBtn1MouseMove"})
      Handler(name, &Tvelmain::MouseMove);
    for (const char* name : {"FormCreate", "FormShow", "TabSheet1Hide", "TabSheet1Show", "TabSheet2Hide",
                             "TabSheet2Show", "TabSheet4Hide", "TabSheet4Show", "SpeedButton1Click",
                             "SpeedButton2Click", "SpeedButton3Click", "RadioButton1Click", "RadioButton2Click",
                             "Label12Click", "BitBtn1Click", "Timer1Timer", "S1Click", "H1Click", "A1Click", "X1Click"})
      Handler(name, &Tvelmain::Event);
    layout.empty() ? InitializeForm() : InitializeForm(layout);
  }

private:
  void Close(TObject*, TCloseAction&) {}
  void MouseMove(TObject*, TShiftState, int, int) {}
  void Event(TObject*) {}
};

inline const TClassInfo& Tvelmain::StaticClassInfo() {
  static const TClassInfo info("Tvelmain", &TForm::StaticClassInfo());
  return info;
}
