#pragma once
// What a skin data asks of the process's one skin manager. The manager itself (window hook, form
// and control skinners) implements it; until one is installed through SetSkinManagerFactory, skin
// data works alone and the program runs unskinned.
#include <functional>
#include <memory>

class TCustomForm;
class TSkinData;

// Deferred actions, run by the manager after their delay.
enum TSkinAction { kSkinActionSkinAll = 1, kSkinActionUnskinAll = 2 };

class TSkinManagerBase {
public:
  virtual ~TSkinManagerBase() = default;

  virtual void Register(TSkinData* data) = 0;
  virtual void Unregister(TSkinData* data) = 0;
  // Starts watching window creation and activation for the whole application.
  virtual void InstallHook() = 0;
  // The skin data covers single forms only (not the main form's whole application).
  virtual void ServeIndividualForms() = 0;
  virtual void SkinForm(TSkinData* data, TCustomForm* form) = 0;
  // Runs action after delayMs milliseconds, then calls data->SkinChanged().
  virtual void Schedule(TSkinData* data, int action, int delayMs) = 0;
  // A new skin was loaded: every window skinned with data is drawn again from it.
  virtual void Refresh(TSkinData* data) = 0;
};

using TSkinManagerFactory = std::function<std::unique_ptr<TSkinManagerBase>()>;
// The factory replaces any manager made by the previous one.
void SetSkinManagerFactory(TSkinManagerFactory factory);
// The manager, made by the factory on first need; nullptr without a factory.
TSkinManagerBase* EnsureSkinManager();
TSkinManagerBase* CurrentSkinManager();
