#include <gtest/gtest.h>

#include "framework/classes/Events.h"
#include "framework/classes/Properties.h"

namespace {

enum class TShape { shCircle, shSquare };

class TSubThing : public TPersistent {
public:
  BREVIN_CLASS_INFO()
  const std::string& Name() const { return name_; }
  void SetName(const std::string& n) { name_ = n; }

private:
  std::string name_ = "inner";
};

const TClassInfo& TSubThing::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TSubThing>("TSubThing", &TPersistent::StaticClassInfo())
                                     .Property("Name", &TSubThing::Name, &TSubThing::SetName);
  return info;
}

class TThing : public TComponent {
public:
  BREVIN_CLASS_INFO()
  explicit TThing(TComponent* owner) : TComponent(owner), sub_(new TSubThing) {}
  int Size() const { return size_; }
  void SetSize(int s) { size_ = s; }
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool t) { transparent_ = t; }
  TColor Color() const { return color_; }
  void SetColor(TColor c) { color_ = c; }
  TShape Shape() const { return shape_; }
  void SetShape(TShape s) { shape_ = s; }
  uint32_t Icons() const { return icons_; }
  void SetIcons(uint32_t i) { icons_ = i; }
  TSubThing* Sub() const { return sub_.get(); }
  TThing* Buddy() const { return buddy_; }
  void SetBuddy(TThing* b) { buddy_ = b; }
  TNotifyEvent OnPoke;

private:
  int size_ = 0;
  bool transparent_ = false;
  TColor color_ = clBlack;
  TShape shape_ = TShape::shCircle;
  uint32_t icons_ = 0;
  std::unique_ptr<TSubThing> sub_;
  TThing* buddy_ = nullptr;
};

const TClassInfo& TThing::StaticClassInfo() {
  static const TClassInfo info = TClassBuilder<TThing>("TThing", &TComponent::StaticClassInfo())
                                     .Creatable()
                                     .Property("Size", &TThing::Size, &TThing::SetSize)
                                     .Property("Transparent", &TThing::Transparent, &TThing::SetTransparent)
                                     .Color("Color", &TThing::Color, &TThing::SetColor)
                                     .Enum("Shape", &TThing::Shape, &TThing::SetShape, {{"shCircle", "shSquare"}})
                                     .Set("Icons", &TThing::Icons, &TThing::SetIcons, {{"biOne", "biTwo", "biThree"}})
                                     .Object("Sub", &TThing::Sub)
                                     .Reference("Buddy", &TThing::Buddy, &TThing::SetBuddy)
                                     .Event("OnPoke", &TThing::OnPoke);
  return info;
}

// Tracks its own destruction so ownership tests can see it.
class TTracked : public TComponent {
public:
  TTracked(TComponent* owner, std::vector<std::string>& log) : TComponent(owner), log_(log) {}
  ~TTracked() override { log_.push_back(Name()); }

private:
  std::vector<std::string>& log_;
};

TEST(Component, OwnerDestroysOwnedComponentsNewestFirst) {
  std::vector<std::string> log;
  auto* root = new TComponent(nullptr);
  auto* a = new TTracked(root, log);
  a->SetName("a");
  auto* b = new TTracked(root, log);
  b->SetName("b");
  auto* early = new TTracked(root, log);
  early->SetName("early");
  delete early;
  EXPECT_EQ(root->ComponentCount(), 2);
  delete root;
  EXPECT_EQ(log, (std::vector<std::string>{"early", "b", "a"}));
}

TEST(Component, FindComponentIgnoresCaseAndDuplicateNamesAreRefused) {
  TComponent root(nullptr);
  auto* label = new TComponent(&root);
  label->SetName("Label1");
  EXPECT_EQ(root.FindComponent("label1"), label);
  EXPECT_EQ(root.FindComponent("Label2"), nullptr);
  EXPECT_EQ(root.FindComponent(""), nullptr);
  auto* other = new TComponent(&root);
  EXPECT_THROW(other->SetName("LABEL1"), EInvalidOperation);
  EXPECT_EQ(other->Name(), "");
}

TEST(Component, FreeNotificationClearsReferenceToDeletedComponent) {
  struct TWatcher : TComponent {
    using TComponent::TComponent;
    TComponent* watched = nullptr;
    void Notification(TComponent* c, TOperation op) override {
      if (op == TOperation::opRemove && c == watched) watched = nullptr;
    }
  };
  TWatcher watcher(nullptr);
  auto* target = new TComponent(nullptr);
  watcher.watched = target;
  watcher.FreeNotification(target);
  delete target;
  EXPECT_EQ(watcher.watched, nullptr);
}

TEST(Properties, ValuesRoundTripAsText) {
  TThing thing(nullptr);
  SetPropValue(thing, "Size", "-42");
  SetPropValue(thing, "Transparent", "true");
  SetPropValue(thing, "Color", "clRed");
  SetPropValue(thing, "Shape", "shSquare");
  SetPropValue(thing, "Icons", "[biOne, biThree]");
  SetPropValue(thing, "Tag", "$10");
  EXPECT_EQ(thing.Size(), -42);
  EXPECT_TRUE(thing.Transparent());
  EXPECT_EQ(thing.Color(), clRed);
  EXPECT_EQ(thing.Shape(), TShape::shSquare);
  EXPECT_EQ(thing.Icons(), 5u);
  EXPECT_EQ(thing.Tag, 16);
  EXPECT_EQ(GetPropValue(thing, "Size"), "-42");
  EXPECT_EQ(GetPropValue(thing, "Transparent"), "True");
  EXPECT_EQ(GetPropValue(thing, "Color"), "clRed");
  EXPECT_EQ(GetPropValue(thing, "Shape"), "shSquare");
  EXPECT_EQ(GetPropValue(thing, "Icons"), "[biOne, biThree]");
  SetPropValue(thing, "Color", "$00123456");
  EXPECT_EQ(GetPropValue(thing, "Color"), "$00123456");
}

TEST(Properties, DottedPathsReachSubObjects) {
  TThing thing(nullptr);
  EXPECT_TRUE(HasProperty(thing, "Sub.Name"));
  SetPropValue(thing, "sub.name", "outer");
  EXPECT_EQ(thing.Sub()->Name(), "outer");
  EXPECT_EQ(GetPropValue(thing, "Sub.Name"), "outer");
  EXPECT_FALSE(HasProperty(thing, "Sub.Missing"));
  EXPECT_FALSE(HasProperty(thing, "Size.Name"));
}

TEST(Properties, BadNamesAndValuesRaiseWithTheName) {
  TThing thing(nullptr);
  try {
    SetPropValue(thing, "Sizee", "1");
    FAIL() << "no error";
  } catch (const EPropertyError& e) {
    EXPECT_NE(e.Message().find("Sizee"), std::string::npos);
    EXPECT_NE(e.Message().find("TThing"), std::string::npos);
  }
  EXPECT_THROW(SetPropValue(thing, "Size", "12abc"), EConvertError);
  EXPECT_THROW(SetPropValue(thing, "Size", ""), EConvertError);
  EXPECT_THROW(SetPropValue(thing, "Transparent", "yes"), EConvertError);
  EXPECT_THROW(SetPropValue(thing, "Shape", "shTriangle"), EPropertyError);
  EXPECT_THROW(SetPropValue(thing, "Icons", "biOne"), EPropertyError);
  EXPECT_THROW(SetPropValue(thing, "Icons", "[biFour]"), EPropertyError);
  EXPECT_EQ(thing.Size(), 0);
}

TEST(Properties, ComponentReferencesResolveAmongSiblings) {
  TComponent root(nullptr);
  auto* a = new TThing(&root);
  a->SetName("A");
  auto* b = new TThing(&root);
  b->SetName("B");
  SetPropValue(*a, "Buddy", "b");
  EXPECT_EQ(a->Buddy(), b);
  EXPECT_EQ(GetPropValue(*a, "Buddy"), "B");
  EXPECT_THROW(SetPropValue(*a, "Buddy", "C"), EPropertyError);
  SetPropValue(*a, "Buddy", "");
  EXPECT_EQ(a->Buddy(), nullptr);
}

TEST(Properties, RedeclaredPropertyReplacesInheritedOne) {
  std::vector<std::string> names;
  for (const TPropInfo* p : TThing::StaticClassInfo().Properties()) names.push_back(p->name);
  EXPECT_EQ(std::count(names.begin(), names.end(), "Name"), 1);
  EXPECT_EQ(names.front(), "Name");
  EXPECT_NE(std::find(names.begin(), names.end(), "OnPoke"), names.end());
}

TEST(Registry, ClassesAreCreatedByNameAndUnknownNamesRaise) {
  RegisterComponentClass(TThing::StaticClassInfo());
  TComponent root(nullptr);
  TComponent* made = GetClass("tthing").Create(&root);
  EXPECT_EQ(made->ClassName(), "TThing");
  EXPECT_EQ(made->Owner(), &root);
  EXPECT_TRUE(made->InheritsFrom(TComponent::StaticClassInfo()));
  EXPECT_THROW(GetClass("TNoSuchThing"), EClassNotFound);
  EXPECT_THROW(TComponent::StaticClassInfo().Create(&root), EInvalidOperation);
}

TEST(Handlers, BoundHandlerRunsOnTheFormAndWrongSignatureIsRefused) {
  struct TFormLike : TComponent {
    using TComponent::TComponent;
    int pokes = 0;
    void Poke(TObject*) { ++pokes; }
    void WrongKind(TObject*, int&) {}
  };
  TFormLike form(nullptr);
  THandlerTable table;
  table.Add("Poke", &form, &TFormLike::Poke);
  table.Add("Wrong", &form, &TFormLike::WrongKind);
  TThing thing(nullptr);
  const TPropInfo* event = thing.ClassInfo().FindProperty("OnPoke");
  ASSERT_NE(event, nullptr);
  event->setEvent(thing, *table.Find("poke"));
  thing.OnPoke(&thing);
  EXPECT_EQ(form.pokes, 1);
  EXPECT_THROW(event->setEvent(thing, *table.Find("Wrong")), EPropertyError);
  EXPECT_EQ(table.Find("Missing"), nullptr);
}

}  // namespace

namespace {

TEST(TextConversions, IntegersBooleansAndColoursParseStrictly) {
  EXPECT_EQ(IntFromText(" 42 "), 42);
  EXPECT_EQ(IntFromText("-$10"), -16);
  EXPECT_EQ(IntFromText("0x7fffffff"), INT32_MAX);
  EXPECT_EQ(IntFromText("-9223372036854775807"), -INT64_MAX);
  for (const char* bad : {"", "-", "$", "1.5", "9223372036854775808", "12 3", "0x"})
    EXPECT_THROW(IntFromText(bad), EConvertError) << bad;
  EXPECT_TRUE(BoolFromText("TRUE"));
  EXPECT_FALSE(BoolFromText(" false"));
  EXPECT_EQ(ColorFromText("clBtnFace"), clBtnFace);
  EXPECT_EQ(ColorFromText("$1FFFFFFF"), clNone);
  EXPECT_EQ(ColorFromText("-2147483633"), clBtnFace);
  EXPECT_EQ(ColorToText(clBtnFace), "clBtnFace");
  EXPECT_EQ(ColorFromText(ColorToText(RGBColor(1, 2, 3))), RGBColor(1, 2, 3));
  EXPECT_THROW(ColorFromText("clPink"), EConvertError);
  EXPECT_THROW(ColorFromText("$1FFFFFFFF"), EConvertError);
}

TEST(TextConversions, SetsIgnoreSpacingAndRefuseUnknownMembers) {
  const TEnumNames names{{"biSystemMenu", "biMinimize", "biMaximize"}};
  EXPECT_EQ(names.SetFromText("[ biMaximize ,biSystemMenu ]", "BorderIcons"), 5u);
  EXPECT_EQ(names.SetFromText("[]", "BorderIcons"), 0u);
  EXPECT_EQ(names.SetToText(0), "[]");
  EXPECT_EQ(names.SetToText(6), "[biMinimize, biMaximize]");
  EXPECT_THROW(names.SetFromText("[biHelp]", "BorderIcons"), EPropertyError);
  EXPECT_THROW(names.SetFromText("biSystemMenu", "BorderIcons"), EPropertyError);
  EXPECT_EQ(names.ToText(7), "7");
  EXPECT_EQ(names.FromText("bimaximize", "X"), 2);
}

TEST(TextConversions, WideSetsUseSixtyFourBitsAndNarrowOnesRefuseHighMembers) {
  TEnumNames many;
  for (int i = 0; i < 40; ++i) many.names.push_back("x" + std::to_string(i));
  EXPECT_EQ(many.SetFromText("[x0, x39]", "Wide"), (uint64_t{1} << 39) | 1);
  EXPECT_EQ(many.SetToText((uint64_t{1} << 39) | 1), "[x0, x39]");
  struct TWide : TComponent {
    using TComponent::TComponent;
    uint64_t Wide() const { return wide; }
    void SetWide(uint64_t v) { wide = v; }
    uint32_t Narrow() const { return narrow; }
    void SetNarrow(uint32_t v) { narrow = v; }
    uint64_t wide = 0;
    uint32_t narrow = 0;
  };
  const TClassInfo info = TClassBuilder<TWide>("TWide", &TComponent::StaticClassInfo())
                              .Set("Wide", &TWide::Wide, &TWide::SetWide, many)
                              .Set("Narrow", &TWide::Narrow, &TWide::SetNarrow, many);
  TWide w(nullptr);
  info.FindProperty("Wide")->set(w, "[x35]");
  EXPECT_EQ(w.wide, uint64_t{1} << 35);
  info.FindProperty("Narrow")->set(w, "[x31]");
  EXPECT_EQ(w.narrow, 1u << 31);
  EXPECT_THROW(info.FindProperty("Narrow")->set(w, "[x32]"), EPropertyError);
}

TEST(Component, MovingToAnotherOwnerChangesWhoFreesIt) {
  std::vector<std::string> log;
  auto* first = new TComponent(nullptr);
  TComponent second(nullptr);
  auto* moved = new TTracked(first, log);
  moved->SetName("moved");
  second.InsertComponent(moved);
  EXPECT_EQ(moved->Owner(), &second);
  EXPECT_EQ(first->ComponentCount(), 0);
  delete first;
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(second.FindComponent("MOVED"), moved);
}

}  // namespace
