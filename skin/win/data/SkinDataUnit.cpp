#include "skin/win/data/SkinDataUnit.h"

#include <cstring>

#include "framework/controls/Application.h"
#include "framework/controls/Forms.h"
#include "framework/win32/Dpi.h"
#include "framework/win32/Strings.h"
#include "skin/model/SkinClassMap.h"
#include "skin/win/manager/SkinManagerBase.h"

namespace {

TColor ResolveSystemColour(TColor colour) {
  return IsSystemColor(colour) ? static_cast<TColor>(GetSysColor(SystemColorIndex(colour))) : colour;
}

uint32_t ReadU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

void AppendU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

}  // namespace

TSkinEnvironment TSkinData::Environment() {
  TSkinEnvironment environment;
  environment.Resolve = ResolveSystemColour;
  // The description is for 96 dpi, and the skin is scaled from there for each window: the system's
  // metric, given at its own scale, is taken back to 96 dpi.
  environment.ScrollArrowWidth = ScaleFromDpi(GetSystemMetrics(SM_CXHSCROLL), SystemDpi());
  environment.TrackImage = SkinImageFromResource("TRACK");
  environment.TrackVertImage = SkinImageFromResource("TRACKVERT");
  return environment;
}

std::unique_ptr<TSkinPicture> BitmapOf(const TSkinImage& image) {
  auto bitmap = std::make_unique<TSkinPicture>();
  bitmap->SetSize(image.Width(), image.Height());
  GdiFlush();
  for (int y = 0; y < image.Height(); ++y) {
    std::memcpy(bitmap->ScanLine(y), image.Row(y), static_cast<size_t>(image.Width()) * 4);
  }
  return bitmap;
}

TSkinImage SkinImageFromResource(const std::string& name) {
  TSkinImage image;
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC info = FindResourceW(module, Utf8ToWide(name).c_str(), MAKEINTRESOURCEW(2));
  HGLOBAL loaded = info ? LoadResource(module, info) : nullptr;
  const auto* dib = loaded ? static_cast<const uint8_t*>(LockResource(loaded)) : nullptr;
  const DWORD size = info ? SizeofResource(module, info) : 0;
  if (!dib || size < 16) return image;

  // A bitmap resource is a BMP file without its 14-byte file header: put one in front.
  const uint32_t headerSize = ReadU32(dib);
  uint32_t tableBytes = 0;
  if (headerSize == 12) {
    const uint32_t depth = static_cast<uint32_t>(dib[10] | dib[11] << 8);
    tableBytes = depth <= 8 ? 3u << depth : 0;
  } else if (size >= 40) {
    const uint32_t depth = static_cast<uint32_t>(dib[14] | dib[15] << 8);
    const uint32_t used = ReadU32(dib + 32);
    tableBytes = 4 * (used ? std::min(used, 256u) : depth <= 8 ? 1u << depth : 0);
    if (ReadU32(dib + 16) == 3 && headerSize == 40) tableBytes += 12;
  }
  std::vector<uint8_t> file = {'B', 'M'};
  AppendU32(file, 14 + size);
  AppendU32(file, 0);
  AppendU32(file, 14 + headerSize + tableBytes);
  file.insert(file.end(), dib, dib + size);
  // A damaged resource leaves the picture empty, as a skin without it would.
  (void)DecodeSkinBitmap(file.data(), file.size(), image);
  return image;
}

const TClassInfo& TSkinData::StaticClassInfo() {
  static const TEnumNames controlNames{{"xcMainMenu", "xcPopupMenu", "xcMenuItem", "xcToolbar", "xcControlbar",
                                        "xcCombo", "xcCheckBox", "xcRadioButton", "xcProgress", "xcScrollbar",
                                        "xcEdit", "xcButton", "xcBitBtn", "xcSpeedButton", "xcSpin", "xcPanel",
                                        "xcGroupBox", "xcStatusBar", "xcTab", "xcTrackBar", "xcSystemMenu",
                                        "xcFastReport"}};
  static const TEnumNames optionNames{{"xoMDIScrollbar", "xoMenuMerge", "xoTransparent", "xoPreview",
                                       "xoParentBackGround", "xoNoFocusRect", "xoToolbarBK", "xoMDIChildBorder",
                                       "xoMenuBG"}};
  static const TClassInfo info =
      TClassBuilder<TSkinData>("TSkinData", &TComponent::StaticClassInfo())
          .Creatable()
          .Property("Active", &TSkinData::Active, &TSkinData::SetActive)
          .Property("DisableTag", &TSkinData::DisableTag, &TSkinData::SetDisableTag)
          .Set("SkinControls", &TSkinData::SkinControls, &TSkinData::SetSkinControls, controlNames)
          .Set("Options", &TSkinData::Options, &TSkinData::SetOptions, optionNames)
          .Strings("ClassMap", &TSkinData::ClassMap, &TSkinData::SetClassMap)
          .Property("SkinFile", &TSkinData::SkinFile, &TSkinData::SetSkinFile)
          .Property("SkinStore", &TSkinData::SkinStore, &TSkinData::SetSkinStore)
          .Enum("SkinFormtype", &TSkinData::SkinFormtype, &TSkinData::SetSkinFormtype,
                TEnumNames{{"sfMainform", "sfOnlyThisForm", "sfDialog", "sfDLL"}})
          .Property("Version", &TSkinData::Version, &TSkinData::SetVersion)
          .Property("MenuUpdate", &TSkinData::MenuUpdate, &TSkinData::SetMenuUpdate)
          .Property("MenuMerge", &TSkinData::MenuMerge, &TSkinData::SetMenuMerge)
          .Event("OnFormSkin", &TSkinData::OnFormSkin)
          .Event("OnSkinChanged", &TSkinData::OnSkinChanged)
          .Event("OnSkinControl", &TSkinData::OnSkinControl)
          .Binary("SkinStream", &TSkinData::ReadSkinStream);
  return info;
}

void RegisterSkinDataClass() { RegisterComponentClass(TSkinData::StaticClassInfo()); }

TSkinData::TSkinData(TComponent* owner)
    : TComponent(owner), classMap_(DefaultSkinClassMap()), menuGlyphs_(std::make_unique<TImageList>(nullptr)) {
  const TSkinImage glyphs = SkinImageFromResource("KESTRANMENU");
  if (!glyphs.Empty()) menuGlyphs_->AddMasked(*BitmapOf(glyphs), clWhite);
  // The same glyphs drawn for 200 %, which the system menu shows from above 100 %.
  if (const TSkinImage detailed = SkinImageFromResource("KESTRANMENU2X"); !glyphs.Empty() && !detailed.Empty())
    menuGlyphs_->AddMasked2x(*BitmapOf(detailed), clWhite);
  maximizedSize_ = {GetSystemMetrics(SM_CXMAXIMIZED), GetSystemMetrics(SM_CYMAXIMIZED)};
  OnReaderMessage = [](const std::string& message) {
    if (Application) Application->MessageBox(message, "", MB_OK);
  };
}

TSkinData::~TSkinData() {
  if (TSkinManagerBase* manager = Manager()) manager->Unregister(this);
}

void TSkinData::SetActive(bool active) {
  if (active == active_) return;
  if (Loading()) {
    active_ = active;
    return;
  }
  // Without a loaded skin there is nothing to skin with.
  if (active && loadingSkin_) return;
  active_ = active;
  if (formType_ == TSkinFormType::sfMainform || formType_ == TSkinFormType::sfOnlyThisForm) {
    Schedule(active ? kSkinActionSkinAll : kSkinActionUnskinAll);
  }
}

void TSkinData::SetSkinFile(const std::string& path) {
  skinFile_ = path;
  loadingSkin_ = true;
  if (!IsExistingFile(path)) return;
  TMemoryStream skin;
  skin.LoadFromFile(path);
  LoadSkin(skin);
}

void TSkinData::ReadSkinStream(TStream& stream) {
  uint32_t length = 0;
  stream.ReadBuffer(&length, 4);
  // A count beyond the data present is damage: nothing of it is taken.
  if (length > static_cast<uint64_t>(stream.Remaining())) throw EReadError("Stream read error");
  TMemoryStream skin;
  skin.CopyFrom(stream, length);
  if (length == 0) {
    skin_.Clear();
    return;
  }
  LoadSkin(skin);
}

void TSkinData::WriteSkinStream(TStream& stream) const {
  const uint32_t length = static_cast<uint32_t>(skin_.Size());
  stream.WriteBuffer(&length, 4);
  if (length) stream.WriteBuffer(skin_.Memory(), length);
}

void TSkinData::LoadSkin(const TMemoryStream& skin) {
  loadingSkin_ = true;
  const TSkinEnvironment environment = Environment();
  // The new skin is read and given its bitmaps beside the old one, which stays whole, painted from
  // and written out until the new one is complete.
  TSkinModel model;
  model.OnMessage = OnReaderMessage;
  TMemoryStream reading(skin.Bytes());
  if (!model.LoadFile(reading, environment)) return;
  UniqueBrush brush(CreateSolidBrush(static_cast<COLORREF>(ResolveSystemColour(model.Colour(TSkinColour::ButtonFace)))));
  skin_.Clear();
  skin_.Write(skin.Memory(), skin.Size());
  model_ = std::move(model);
  scaled_.clear();
  detailed_.reset();
  pictures_.clear();
  AddPictures(model_);
  buttonFaceBrush_ = std::move(brush);
  loadingSkin_ = false;
  // Every window drawn from this skin data refers to the objects just replaced.
  if (TSkinManagerBase* manager = Manager()) manager->Refresh(this);
}

void TSkinData::AddPictures(const TSkinModel& model) const {
  const auto add = [this](const TSkinImage& image) {
    if (!image.Empty()) pictures_.try_emplace(&image);
  };
  for (const auto& object : model.Objects()) {
    add(object->Image);
    if (const auto* border = dynamic_cast<const TDataSkinBorder*>(object.get())) add(border->Image2);
    if (const auto* buttons = dynamic_cast<const TDataSkinButton*>(object.get())) {
      add(buttons->CheckImage);
      add(buttons->RadioImage);
    }
  }
  for (const auto& button : model.CaptionButtons()) add(button->Image);
}

const TSkinModel& TSkinData::Model(int dpi) const {
  if (dpi == kDesignDpi || dpi <= 0 || loadingSkin_) return model_;
  auto& scaled = scaled_[dpi];
  if (scaled) return *scaled;
  try {
    // The file's 2x pictures are kept only while a picture still to be made needs them; a scale
    // met while they are kept takes them rather than reading them again.
    std::shared_ptr<const TSkinModel> detailed;
    if (dpi > kDesignDpi) {
      detailed = detailed_.lock();
      if (!detailed) {
        TMemoryStream reading(skin_.Bytes());
        auto read = std::make_shared<TSkinModel>();
        // A file without them, or whose 2x part is damaged, has its 1x pictures enlarged.
        if (read->LoadFile(reading, Environment(), 2)) detailed = std::move(read);
        detailed_ = detailed;
      }
    }
    scaled = std::make_unique<TSkinModel>(model_.Scaled(dpi, detailed));
  } catch (const std::exception&) {
    // Out of memory for the larger pictures: the windows are drawn from the skin as it is, smaller
    // than they should be but whole.
    scaled_.erase(dpi);
    return model_;
  }
  AddPictures(*scaled);
  return *scaled;
}

TSkinPicture* TSkinData::Picture(const TSkinImage& image) const {
  const auto found = pictures_.find(&image);
  if (found == pictures_.end()) return nullptr;
  if (found->second) return found->second.get();
  try {
    // A picture of a new scale is made here, when first drawn.
    (void)image.Ready();
    found->second = BitmapOf(image);
  } catch (const std::exception&) {
    // Out of memory: this picture is not drawn, the rest of the skin is.
    return nullptr;
  }
  return found->second.get();
}

size_t TSkinData::HeldBytes() const {
  size_t bytes = static_cast<size_t>(skin_.Size()) + model_.ImageBytes();
  for (const auto& [dpi, model] : scaled_) bytes += model->ImageBytes();
  if (const auto detailed = detailed_.lock()) bytes += detailed->ImageBytes();
  for (const auto& [image, bitmap] : pictures_) {
    if (bitmap) bytes += static_cast<size_t>(bitmap->Width()) * bitmap->Height() * 4;
  }
  return bytes;
}

void TSkinData::Loaded() {
  TComponent::Loaded();
  if (!GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetScrollBarInfo")) skinControls_ &= ~SkinBit(xcScrollbar);
  manager_ = EnsureSkinManager();
  TSkinManagerBase* manager = Manager();
  if (manager) manager->Register(this);
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
    captionFont_ = UniqueFont(CreateFontIndirectW(&metrics.lfCaptionFont));
  }

  if (formType_ == TSkinFormType::sfMainform) {
    if (manager) manager->InstallHook();
    if (active_ && loadingSkin_) {
      active_ = false;
    } else if (active_) {
      Schedule(kSkinActionSkinAll);
    }
    skinControls_ &= (skinControls_ & SkinBit(xcMainMenu)) ? ~SkinBit(xcMenuItem) : ~SkinBit(xcSystemMenu);
    takesAppIcon_ = true;
    return;
  }
  if (manager) manager->ServeIndividualForms();
  auto* form = dynamic_cast<TCustomForm*>(Owner());
  if (form && active_ && manager) manager->SkinForm(this, form);
}

TSkinManagerBase* TSkinData::Manager() const {
  // The manager this skin data registered with, while it lives: a program may replace it.
  return manager_ && manager_ == CurrentSkinManager() ? manager_ : nullptr;
}

void TSkinData::SkinChanged() {
  if (OnSkinChanged) OnSkinChanged(this);
}

void TSkinData::Schedule(int action) {
  if (TSkinManagerBase* manager = Manager()) manager->Schedule(this, action, kSkinStartDelay);
}

HICON TSkinData::AppIconSource() const {
  HICON icon = nullptr;
  if (Application) {
    HWND window = Application->Handle();
    icon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_SMALL, 0));
    if (!icon) icon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_BIG, 0));
    if (!icon) icon = reinterpret_cast<HICON>(GetClassLongPtrW(window, GCLP_HICONSM));
  }
  const auto* form = dynamic_cast<const TCustomForm*>(Owner());
  if (!icon && form && form->Icon() && !form->Icon()->Empty()) icon = form->Icon()->Handle();
  // A window without an icon of its own shows the system's application icon.
  return icon ? icon : LoadIconW(nullptr, IDI_APPLICATION);
}

TSkinPicture* TSkinData::AppIcon(int dpi) const {
  if (!takesAppIcon_) return nullptr;
  const int size = SystemMetricForDpi(SM_CXSMICON, dpi);
  // One bitmap per icon size: scales whose small icons agree share it.
  auto& bitmap = appIcons_[size];
  if (bitmap) return bitmap.get();
  HICON icon = AppIconSource();
  if (!icon) return nullptr;
  auto made = std::make_unique<TSkinPicture>();
  made->SetSize(size, size);
  TCanvas* canvas = made->Canvas();
  canvas->Brush()->SetColor(clFuchsia);
  canvas->FillRect({0, 0, size, size});
  // An icon that cannot be drawn leaves the magenta square, which the painters treat as see-through.
  (void)DrawIconEx(canvas->Handle(), 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
  made->SetTransparentColor(clFuchsia);
  made->SetTransparent(true);
  bitmap = std::move(made);
  return bitmap.get();
}
