#pragma once
// Published properties: each registered class lists the properties that layouts and the skin
// engine may read and write by name. Values travel as text ("True", "clRed", "[biSystemMenu]"),
// sub-objects by dotted paths ("Font.Name"), binary data through the object's own stream reader.
#include <any>
#include <cstdint>
#include <functional>
#include <map>
#include <type_traits>
#include <string>
#include <utility>
#include <vector>

#include "framework/classes/Object.h"
#include "framework/core/Colors.h"
#include "framework/core/Exception.h"
#include "framework/core/Stream.h"

enum class TPropKind { Value, Object, Event, Binary, Component, Strings };

struct TPropInfo {
  std::string name;
  TPropKind kind = TPropKind::Value;
  // Value (text form), Component (the referenced component's name, "" for none).
  std::function<std::string(const TObject&)> get;
  std::function<void(TObject&, const std::string&)> set;
  // Object: the owned sub-object whose own properties continue a dotted path.
  std::function<TPersistent*(const TObject&)> object;
  // Binary: the object reads its data from a stream positioned at the first byte.
  std::function<void(TObject&, TStream&)> readData;
  // Event: the bound handler (a std::function of the event's exact type), or an empty any.
  std::function<void(TObject&, const std::any&)> setEvent;
  std::function<bool(const TObject&)> eventAssigned;
  // Component references, resolved by name after a layout is read.
  std::function<void(TObject&, TComponent*)> setComponent;
  std::function<TComponent*(const TObject&)> getComponent;
  // Strings: one entry per line.
  std::function<void(TObject&, const std::vector<std::string>&)> setStrings;
  std::function<std::vector<std::string>(const TObject&)> getStrings;
};

class TClassInfo {
public:
  using Factory = std::function<TComponent*(TComponent* owner)>;

  TClassInfo(std::string name, const TClassInfo* parent) : name_(std::move(name)), parent_(parent) {}

  const std::string& Name() const { return name_; }
  const TClassInfo* Parent() const { return parent_; }
  bool Creatable() const { return static_cast<bool>(factory_); }
  // Raises EInvalidOperation for a class without a factory (abstract classes, forms).
  TComponent* Create(TComponent* owner) const;
  // Searches this class, then its ancestors (case-insensitive).
  const TPropInfo* FindProperty(const std::string& name) const;
  // Ancestors' properties first, in declaration order.
  std::vector<const TPropInfo*> Properties() const;
  bool InheritsFrom(const TClassInfo& base) const;

  void SetFactory(Factory factory) { factory_ = std::move(factory); }
  void Add(TPropInfo info) { props_.push_back(std::move(info)); }

private:
  std::string name_;
  const TClassInfo* parent_;
  Factory factory_;
  std::vector<TPropInfo> props_;
};

// The class registry used by layouts: RegisterClass makes a class creatable by name.
void RegisterComponentClass(const TClassInfo& info);
// nullptr when unknown.
const TClassInfo* FindClass(const std::string& name);
// Raises EClassNotFound("Class TFoo not found").
const TClassInfo& GetClass(const std::string& name);

class EClassNotFound : public Exception {
public:
  using Exception::Exception;
};
class EPropertyError : public Exception {
public:
  using Exception::Exception;
};

// Dotted-path access. Unknown names raise EPropertyError("Property Foo does not exist in TBar").
bool HasProperty(const TObject& object, const std::string& path);
std::string GetPropValue(const TObject& object, const std::string& path);
void SetPropValue(TObject& object, const std::string& path, const std::string& value);
// The object and property that a dotted path ends at; raises as above.
std::pair<TObject*, const TPropInfo*> ResolveProperty(TObject& object, const std::string& path);

// Text conversions shared by setters: "True"/"False" (any case), integers in decimal or $hex.
bool BoolFromText(const std::string& text);
std::string BoolToText(bool value);
int64_t IntFromText(const std::string& text);
// Colour names (clRed, clBtnFace, clNone, clDefault) or numbers.
TColor ColorFromText(const std::string& text);
std::string ColorToText(TColor color);

// Enumerations and sets of enumerations, by the names of their values. A set is a bit mask
// where bit i stands for names[i] (up to 64 members): its text is "[a, b]".
struct TEnumNames {
  std::vector<std::string> names;
  int FromText(const std::string& text, const std::string& property) const;
  std::string ToText(int value) const;
  uint64_t SetFromText(const std::string& text, const std::string& property) const;
  std::string SetToText(uint64_t bits) const;
};

namespace props_detail {
template <typename V>
struct Convert;
template <>
struct Convert<int> {
  static int From(const std::string& t) { return static_cast<int>(IntFromText(t)); }
  static std::string To(int v) { return std::to_string(v); }
};
template <>
struct Convert<int64_t> {
  static int64_t From(const std::string& t) { return IntFromText(t); }
  static std::string To(int64_t v) { return std::to_string(v); }
};
template <>
struct Convert<bool> {
  static bool From(const std::string& t) { return BoolFromText(t); }
  static std::string To(bool v) { return BoolToText(v); }
};
template <>
struct Convert<std::string> {
  static std::string From(const std::string& t) { return t; }
  static std::string To(const std::string& v) { return v; }
};
template <typename V>
using Plain = std::remove_cvref_t<V>;
}  // namespace props_detail

// Fluent description of one class: used once, in the class's StaticClassInfo(). Accessors may
// belong to T or to any of its bases.
template <typename T>
class TClassBuilder {
  template <typename B>
  static const B& As(const TObject& o) {
    static_assert(std::is_base_of_v<B, T>);
    return static_cast<const T&>(o);
  }
  template <typename B>
  static B& As(TObject& o) {
    static_assert(std::is_base_of_v<B, T>);
    return static_cast<T&>(o);
  }

public:
  TClassBuilder(std::string name, const TClassInfo* parent) : info_(std::move(name), parent) {}

  TClassBuilder& Creatable() {
    info_.SetFactory([](TComponent* owner) -> TComponent* { return new T(owner); });
    return *this;
  }

  // int, int64_t, bool or std::string through a getter and a setter.
  template <typename BG, typename BS, typename G, typename S>
  TClassBuilder& Property(const std::string& name, G (BG::*getter)() const, void (BS::*setter)(S)) {
    using V = props_detail::Plain<G>;
    TPropInfo p{name};
    p.get = [getter](const TObject& o) { return props_detail::Convert<V>::To((As<BG>(o).*getter)()); };
    p.set = [setter](TObject& o, const std::string& t) { (As<BS>(o).*setter)(props_detail::Convert<V>::From(t)); };
    info_.Add(std::move(p));
    return *this;
  }
  // A plain public field (int, bool, std::string, intptr_t).
  template <typename B, typename V>
  TClassBuilder& Field(const std::string& name, V B::*field) {
    using C = std::conditional_t<std::is_same_v<V, intptr_t> || std::is_same_v<V, long long>, int64_t, V>;
    TPropInfo p{name};
    p.get = [field](const TObject& o) { return props_detail::Convert<C>::To(static_cast<C>(As<B>(o).*field)); };
    p.set = [field](TObject& o, const std::string& t) { As<B>(o).*field = static_cast<V>(props_detail::Convert<C>::From(t)); };
    info_.Add(std::move(p));
    return *this;
  }
  template <typename B>
  TClassBuilder& Color(const std::string& name, TColor (B::*getter)() const, void (B::*setter)(TColor)) {
    TPropInfo p{name};
    p.get = [getter](const TObject& o) { return ColorToText((As<B>(o).*getter)()); };
    p.set = [setter](TObject& o, const std::string& t) { (As<B>(o).*setter)(ColorFromText(t)); };
    info_.Add(std::move(p));
    return *this;
  }
  template <typename B, typename E>
  TClassBuilder& Enum(const std::string& name, E (B::*getter)() const, void (B::*setter)(E), TEnumNames names) {
    TPropInfo p{name};
    p.get = [getter, names](const TObject& o) { return names.ToText(static_cast<int>((As<B>(o).*getter)())); };
    p.set = [setter, names, name](TObject& o, const std::string& t) {
      (As<B>(o).*setter)(static_cast<E>(names.FromText(t, name)));
    };
    info_.Add(std::move(p));
    return *this;
  }
  // Bits is uint32_t or uint64_t; a set with more members than the type holds is refused.
  template <typename B, typename Bits>
  TClassBuilder& Set(const std::string& name, Bits (B::*getter)() const, void (B::*setter)(Bits), TEnumNames names) {
    static_assert(std::is_same_v<Bits, uint32_t> || std::is_same_v<Bits, uint64_t>);
    TPropInfo p{name};
    p.get = [getter, names](const TObject& o) { return names.SetToText((As<B>(o).*getter)()); };
    p.set = [setter, names, name](TObject& o, const std::string& t) {
      const uint64_t bits = names.SetFromText(t, name);
      if (bits >> (sizeof(Bits) * 8 - 1) >> 1) throw EPropertyError("Invalid set value " + t + " for " + name);
      (As<B>(o).*setter)(static_cast<Bits>(bits));
    };
    info_.Add(std::move(p));
    return *this;
  }
  // An owned sub-object (Font, Picture, Glyph) whose properties follow a dot.
  template <typename B, typename O>
  TClassBuilder& Object(const std::string& name, O* (B::*getter)() const) {
    TPropInfo p{name, TPropKind::Object};
    p.object = [getter](const TObject& o) -> TPersistent* { return (As<B>(o).*getter)(); };
    info_.Add(std::move(p));
    return *this;
  }
  template <typename B>
  TClassBuilder& Binary(const std::string& name, void (B::*reader)(TStream&)) {
    TPropInfo p{name, TPropKind::Binary};
    p.readData = [reader](TObject& o, TStream& s) { (As<B>(o).*reader)(s); };
    info_.Add(std::move(p));
    return *this;
  }
  // An event field: std::function<void(TObject*, ...)> B::*.
  template <typename B, typename F>
  TClassBuilder& Event(const std::string& name, F B::*field) {
    TPropInfo p{name, TPropKind::Event};
    p.setEvent = [field, name](TObject& o, const std::any& handler) {
      if (!handler.has_value()) {
        As<B>(o).*field = nullptr;
        return;
      }
      const F* f = std::any_cast<F>(&handler);
      if (!f) throw EPropertyError("Handler of the wrong type for " + name);
      As<B>(o).*field = *f;
    };
    p.eventAssigned = [field](const TObject& o) { return static_cast<bool>(As<B>(o).*field); };
    info_.Add(std::move(p));
    return *this;
  }
  // A reference to another component (PopupMenu, Images, ActivePage), not owned.
  template <typename B, typename C>
  TClassBuilder& Reference(const std::string& name, C* (B::*getter)() const, void (B::*setter)(C*)) {
    TPropInfo p{name, TPropKind::Component};
    p.getComponent = [getter](const TObject& o) -> TComponent* { return (As<B>(o).*getter)(); };
    p.get = [getter](const TObject& o) {
      const C* c = (As<B>(o).*getter)();
      return c ? c->Name() : std::string();
    };
    p.setComponent = [setter, name](TObject& o, TComponent* c) {
      C* typed = dynamic_cast<C*>(c);
      if (c && !typed) throw EPropertyError("Invalid property value: " + c->Name() + " for " + name);
      (As<B>(o).*setter)(typed);
    };
    info_.Add(std::move(p));
    return *this;
  }
  template <typename B>
  TClassBuilder& Strings(const std::string& name, std::vector<std::string> (B::*getter)() const,
                         void (B::*setter)(const std::vector<std::string>&)) {
    TPropInfo p{name, TPropKind::Strings};
    p.getStrings = [getter](const TObject& o) { return (As<B>(o).*getter)(); };
    p.setStrings = [setter](TObject& o, const std::vector<std::string>& v) { (As<B>(o).*setter)(v); };
    p.get = [getter](const TObject& o) {
      std::string text;
      for (const std::string& line : (As<B>(o).*getter)()) text += line + "\r\n";
      return text;
    };
    info_.Add(std::move(p));
    return *this;
  }
  // Any other property with hand-written text conversions.
  TClassBuilder& Custom(TPropInfo info) {
    info_.Add(std::move(info));
    return *this;
  }

  operator TClassInfo() { return std::move(info_); }

private:
  TClassInfo info_;
};

// Declares the class-info pair of a registered class (in its public section).
#define BREVIN_CLASS_INFO()                          \
  static const TClassInfo& StaticClassInfo();        \
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

// Handlers that a form offers to its layout, bound by name ("FormShow", "Timer1Timer").
class THandlerTable {
public:
  template <typename C, typename... Args>
  void Add(const std::string& name, C* object, void (C::*method)(Args...)) {
    handlers_[LowerCase(name)] = std::function<void(Args...)>(
        [object, method](Args... args) { (object->*method)(std::forward<Args>(args)...); });
  }
  // nullptr when the name is unknown.
  const std::any* Find(const std::string& name) const;

private:
  std::map<std::string, std::any> handlers_;
};
