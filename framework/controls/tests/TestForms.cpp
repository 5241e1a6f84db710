#include "framework/controls/tests/TestForms.h"

#include <gtest/gtest.h>

#include "framework/controls/Application.h"

const TClassInfo& TPlainForm::StaticClassInfo() {
  static const TClassInfo info("TPlainForm", &TForm::StaticClassInfo());
  return info;
}

namespace {
class FormEnvironment : public ::testing::Environment {
public:
  void SetUp() override { Application->Initialize(); }
};
const auto* const environment = ::testing::AddGlobalTestEnvironment(new FormEnvironment);
}  // namespace
