#pragma once
// Forms for the framework's own tests, built from layout text instead of a resource.
#include <string_view>

#include "framework/controls/Forms.h"

class TPlainForm : public TForm {
public:
  BREVIN_CLASS_INFO()
  explicit TPlainForm(TComponent* owner) : TForm(owner) {
    InitializeForm("object PlainForm: TPlainForm\n  ClientWidth = 200\n  ClientHeight = 120\nend\n");
  }
};
