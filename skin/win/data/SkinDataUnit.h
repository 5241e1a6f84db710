#pragma once
// TSkinData: the non-visual component a form carries to make the application skinned. It holds the
// compressed skin file, reads it into the description model (skin/SkinModel.h), keeps one bitmap
// per skin picture for the painters, and tells the skin manager when skinning goes on, off or is
// to be redrawn.
//
// Loading: assigning SkinFile (an existing file) or reading the layout's "SkinStream" (a 32-bit
// byte count, then the file's bytes) replaces the held skin and reads it. The loading flag is set
// at construction and while a skin is read, and cleared only by a successful read: while it is set
// Active cannot be switched on, and an Active read from the layout is switched off at Loaded.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "framework/classes/Properties.h"
#include "framework/controls/ImgList.h"
#include "framework/graphics/Graphic.h"
#include "skin/model/SkinModel.h"
#include "skin/model/SkinSettings.h"
#include "skin/win/data/SkinPaint.h"
#include "skin/win/manager/SkinManagerBase.h"

class TControl;
class TSkinData;

enum class TSkinFormType { sfMainform, sfOnlyThisForm, sfDialog, sfDLL };

inline constexpr const char* kSkinDataVersion = "4.01.03.16";
inline constexpr int kSkinStartDelay = 250;

using TFormSkinEvent = std::function<void(TObject* sender, const std::string& className, bool& doSkin)>;
using TSkinControlEvent = std::function<void(TComponent* sender, TSkinData* skinData, TControl* form,
                                             TControl* control, const std::string& controlClass,
                                             TComponent*& skinnedControl)>;

class TSkinData : public TComponent {
public:
  BREVIN_CLASS_INFO()
  explicit TSkinData(TComponent* owner);
  ~TSkinData() override;

  bool Active() const { return active_; }
  void SetActive(bool active);
  int DisableTag() const { return disableTag_; }
  void SetDisableTag(int tag) { disableTag_ = tag; }
  uint32_t SkinControls() const { return skinControls_; }
  void SetSkinControls(uint32_t controls) { skinControls_ = controls; }
  uint32_t Options() const { return options_; }
  void SetOptions(uint32_t options) { options_ = options; }
  std::vector<std::string> ClassMap() const { return classMap_; }
  void SetClassMap(const std::vector<std::string>& lines) { classMap_ = lines; }
  const std::string& SkinFile() const { return skinFile_; }
  void SetSkinFile(const std::string& path);
  // "(Good)" only while a form is designed with a skin in it; a running program reads "(none)".
  std::string SkinStore() const { return "(none)"; }
  void SetSkinStore(const std::string&) {}
  TSkinFormType SkinFormtype() const { return formType_; }
  void SetSkinFormtype(TSkinFormType type) { formType_ = type; }
  std::string Version() const { return kSkinDataVersion; }
  void SetVersion(const std::string&) {}
  bool MenuUpdate() const { return menuUpdate_; }
  void SetMenuUpdate(bool update) { menuUpdate_ = update; }
  bool MenuMerge() const { return menuMerge_; }
  void SetMenuMerge(bool merge) { menuMerge_ = merge; }

  TFormSkinEvent OnFormSkin;
  TNotifyEvent OnSkinChanged;
  TSkinControlEvent OnSkinControl;

  // The layout's "SkinStream": a 32-bit byte count, then the compressed skin.
  void ReadSkinStream(TStream& stream);
  void WriteSkinStream(TStream& stream) const;
  void Loaded() override;

  // Called by the manager once a deferred action has run.
  void SkinChanged();

  bool LoadingSkin() const { return loadingSkin_; }
  const std::string& SkinName() const { return model_.SkinName(); }
  // The skin as its description gives it, at 96 dpi: what decides which skinner a control gets.
  const TSkinModel& Model() const { return model_; }
  // The skin for a window drawn at dpi. Made on first use from the skin file's pictures at the
  // nearest scale at or above the need and kept, one per display scale in use, for all windows.
  const TSkinModel& Model(int dpi) const;
  // The bitmap of a picture of one of the models above, made on first use (a picture of a new
  // scale is resampled then); nullptr for an empty one, or one there is no memory for.
  TSkinPicture* Picture(const TSkinImage& image) const;
  TColor SkinColour() const { return model_.SkinColour(); }
  HBRUSH ButtonFaceBrush() const { return buttonFaceBrush_.get(); }
  // The program's small icon for a caption at dpi, at the size the system gives it there; made when
  // first asked for that scale. nullptr unless the skin data belongs to the main form.
  TSkinPicture* AppIcon(int dpi) const;
  TImageList* MenuGlyphs() const { return menuGlyphs_.get(); }
  HFONT CaptionFont() const { return captionFont_.get(); }
  SIZE MaximizedSize() const { return maximizedSize_; }
  // Bytes the loaded skin holds: the compressed file, the models' pictures made so far, the 2x
  // pictures while kept, and the bitmaps.
  size_t HeldBytes() const;

  // Shows the reader's message about an older skin file; a message box unless replaced.
  std::function<void(const std::string&)> OnReaderMessage;

private:
  // Takes the skin only when it reads: a skin that does not leaves the one held before in place.
  void LoadSkin(const TMemoryStream& skin);
  // What the model takes from the running system.
  static TSkinEnvironment Environment();
  // Registers the pictures of model, their bitmaps to be made when first drawn.
  void AddPictures(const TSkinModel& model) const;
  TSkinManagerBase* Manager() const;
  // The icon AppIcon draws: the application window's, else the form's, else the system's.
  HICON AppIconSource() const;
  void Schedule(int action);

  bool active_ = false;
  int disableTag_ = 99;
  uint32_t skinControls_ = kDefaultSkinControls;
  uint32_t options_ = kDefaultSkinOptions;
  std::vector<std::string> classMap_;
  std::string skinFile_;
  TSkinFormType formType_ = TSkinFormType::sfMainform;
  bool menuUpdate_ = true;
  bool menuMerge_ = false;

  TMemoryStream skin_;
  bool loadingSkin_ = true;
  TSkinModel model_;
  mutable std::map<int, std::unique_ptr<TSkinModel>> scaled_;
  // The skin file's 2x pictures, while a scaled picture still to be made holds them.
  mutable std::weak_ptr<const TSkinModel> detailed_;
  mutable std::map<const TSkinImage*, std::unique_ptr<TSkinPicture>> pictures_;
  UniqueBrush buttonFaceBrush_;
  bool takesAppIcon_ = false;
  mutable std::map<int, std::unique_ptr<TSkinPicture>> appIcons_;
  std::unique_ptr<TImageList> menuGlyphs_;
  UniqueFont captionFont_;
  SIZE maximizedSize_{};
  TSkinManagerBase* manager_ = nullptr;
};

// Makes TSkinData known to layouts.
void RegisterSkinDataClass();

// A bitmap resource of the running program (RT_BITMAP) as a skin picture; empty when absent.
TSkinImage SkinImageFromResource(const std::string& name);

// A skin picture as a bitmap the painters can draw from.
std::unique_ptr<TSkinPicture> BitmapOf(const TSkinImage& image);
