#include "skin/win/manager/SkinManagerBase.h"

namespace {

TSkinManagerFactory& Factory() {
  static TSkinManagerFactory factory;
  return factory;
}

std::unique_ptr<TSkinManagerBase>& Manager() {
  static std::unique_ptr<TSkinManagerBase> manager;
  return manager;
}

}  // namespace

void SetSkinManagerFactory(TSkinManagerFactory factory) {
  Manager().reset();
  Factory() = std::move(factory);
}

TSkinManagerBase* EnsureSkinManager() {
  if (!Manager() && Factory()) Manager() = Factory()();
  return Manager().get();
}

TSkinManagerBase* CurrentSkinManager() { return Manager().get(); }
