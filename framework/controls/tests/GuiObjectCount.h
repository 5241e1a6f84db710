#pragma once
// Window-system objects held by this process, for leak checks. Wine answers GetGuiResources with
// zero, so GDI objects are also counted from the process's GDI handle table and USER objects as
// the windows the process owns.
struct GuiObjectCount {
  int gdi;
  int windows;
};

GuiObjectCount CountGuiObjects();
