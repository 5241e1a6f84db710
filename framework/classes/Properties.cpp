#include "framework/classes/Properties.h"

#include <cctype>
#include <charconv>

namespace {

std::map<std::string, const TClassInfo*>& Registry() {
  static std::map<std::string, const TClassInfo*> registry;
  return registry;
}

std::string Trim(const std::string& text) {
  size_t b = 0, e = text.size();
  while (b < e && std::isspace(static_cast<unsigned char>(text[b]))) ++b;
  while (e > b && std::isspace(static_cast<unsigned char>(text[e - 1]))) --e;
  return text.substr(b, e - b);
}

struct NamedColor {
  const char* name;
  TColor value;
};
constexpr NamedColor kColors[] = {
    {"clBlack", clBlack}, {"clMaroon", clMaroon}, {"clGreen", clGreen}, {"clOlive", clOlive},
    {"clNavy", clNavy}, {"clPurple", clPurple}, {"clTeal", clTeal}, {"clGray", clGray},
    {"clSilver", clSilver}, {"clRed", clRed}, {"clLime", clLime}, {"clYellow", clYellow},
    {"clBlue", clBlue}, {"clFuchsia", clFuchsia}, {"clAqua", clAqua}, {"clWhite", clWhite},
    {"clNone", clNone}, {"clDefault", clDefault}, {"clScrollBar", clScrollBar},
    {"clBackground", clBackground}, {"clActiveCaption", clActiveCaption},
    {"clInactiveCaption", clInactiveCaption}, {"clMenu", clMenu}, {"clWindow", clWindow},
    {"clWindowFrame", clWindowFrame}, {"clMenuText", clMenuText}, {"clWindowText", clWindowText},
    {"clCaptionText", clCaptionText}, {"clHighlight", clHighlight}, {"clHighlightText", clHighlightText},
    {"clBtnFace", clBtnFace}, {"clBtnShadow", clBtnShadow}, {"clGrayText", clGrayText},
    {"clBtnText", clBtnText}, {"clInactiveCaptionText", clInactiveCaptionText},
    {"clBtnHighlight", clBtnHighlight}, {"cl3DDkShadow", cl3DDkShadow}, {"cl3DLight", cl3DLight},
    {"clInfoText", clInfoText}, {"clInfoBk", clInfoBk},
};

TPropInfo const* FindOrThrow(const TObject& object, const std::string& name) {
  const TPropInfo* p = object.ClassInfo().FindProperty(name);
  if (!p) throw EPropertyError("Property " + name + " does not exist in " + object.ClassName());
  return p;
}

}  // namespace

TComponent* TClassInfo::Create(TComponent* owner) const {
  if (!factory_) throw EInvalidOperation("Cannot create an instance of " + name_);
  return factory_(owner);
}

const TPropInfo* TClassInfo::FindProperty(const std::string& name) const {
  for (const TClassInfo* c = this; c; c = c->parent_)
    for (const TPropInfo& p : c->props_)
      if (SameText(p.name, name)) return &p;
  return nullptr;
}

std::vector<const TPropInfo*> TClassInfo::Properties() const {
  std::vector<const TPropInfo*> list = parent_ ? parent_->Properties() : std::vector<const TPropInfo*>{};
  for (const TPropInfo& p : props_) {
    // A redeclared property takes the place of the inherited one.
    std::erase_if(list, [&](const TPropInfo* q) { return SameText(q->name, p.name); });
    list.push_back(&p);
  }
  return list;
}

bool TClassInfo::InheritsFrom(const TClassInfo& base) const {
  for (const TClassInfo* c = this; c; c = c->parent_)
    if (c == &base) return true;
  return false;
}

void RegisterComponentClass(const TClassInfo& info) { Registry()[LowerCase(info.Name())] = &info; }

const TClassInfo* FindClass(const std::string& name) {
  auto it = Registry().find(LowerCase(name));
  return it == Registry().end() ? nullptr : it->second;
}

const TClassInfo& GetClass(const std::string& name) {
  const TClassInfo* info = FindClass(name);
  if (!info) throw EClassNotFound("Class " + name + " not found");
  return *info;
}

std::pair<TObject*, const TPropInfo*> ResolveProperty(TObject& object, const std::string& path) {
  TObject* target = &object;
  size_t start = 0;
  for (;;) {
    const size_t dot = path.find('.', start);
    const std::string name = path.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
    const TPropInfo* p = FindOrThrow(*target, name);
    if (dot == std::string::npos) return {target, p};
    if (p->kind != TPropKind::Object) throw EPropertyError("Property " + name + " of " + target->ClassName() + " has no sub-properties");
    TObject* next = p->object(*target);
    if (!next) throw EPropertyError("Property " + name + " of " + target->ClassName() + " is not assigned");
    target = next;
    start = dot + 1;
  }
}

bool HasProperty(const TObject& object, const std::string& path) {
  try {
    ResolveProperty(const_cast<TObject&>(object), path);
    return true;
  } catch (const EPropertyError&) {
    return false;
  }
}

std::string GetPropValue(const TObject& object, const std::string& path) {
  auto [target, p] = ResolveProperty(const_cast<TObject&>(object), path);
  if (!p->get) throw EPropertyError("Property " + p->name + " of " + target->ClassName() + " has no text value");
  return p->get(*target);
}

void SetPropValue(TObject& object, const std::string& path, const std::string& value) {
  auto [target, p] = ResolveProperty(object, path);
  if (p->kind == TPropKind::Strings) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < value.size()) {
      size_t end = value.find('\n', start);
      if (end == std::string::npos) end = value.size();
      std::string line = value.substr(start, end - start);
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line);
      start = end + 1;
    }
    p->setStrings(*target, lines);
    return;
  }
  if (p->kind == TPropKind::Component) {
    TComponent* self = dynamic_cast<TComponent*>(target);
    TComponent* found = nullptr;
    for (TComponent* scope = self; scope && !found && !value.empty(); scope = scope->Owner())
      found = scope->FindComponent(value);
    if (!value.empty() && !found) throw EPropertyError("Invalid property value: component " + value + " not found");
    p->setComponent(*target, found);
    return;
  }
  if (!p->set) throw EPropertyError("Property " + p->name + " of " + target->ClassName() + " cannot be set from text");
  p->set(*target, value);
}

bool BoolFromText(const std::string& text) {
  const std::string t = Trim(text);
  if (SameText(t, "True") || t == "1") return true;
  if (SameText(t, "False") || t == "0") return false;
  throw EConvertError("'" + text + "' is not a valid boolean value");
}

std::string BoolToText(bool value) { return value ? "True" : "False"; }

int64_t IntFromText(const std::string& text) {
  std::string t = Trim(text);
  bool negative = false;
  if (!t.empty() && (t[0] == '-' || t[0] == '+')) {
    negative = t[0] == '-';
    t.erase(0, 1);
  }
  int base = 10;
  if (!t.empty() && t[0] == '$') {
    base = 16;
    t.erase(0, 1);
  } else if (t.size() > 2 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
    base = 16;
    t.erase(0, 2);
  }
  uint64_t value = 0;
  auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value, base);
  if (t.empty() || ec != std::errc() || end != t.data() + t.size() || value > (base == 16 ? UINT64_MAX : uint64_t(INT64_MAX)))
    throw EConvertError("'" + text + "' is not a valid integer value");
  const int64_t v = static_cast<int64_t>(value);
  return negative ? -v : v;
}

TColor ColorFromText(const std::string& text) {
  const std::string t = Trim(text);
  for (const NamedColor& c : kColors)
    if (SameText(t, c.name)) return c.value;
  const int64_t v = IntFromText(t);
  if (v < INT32_MIN || v > UINT32_MAX) throw EConvertError("'" + text + "' is not a valid colour");
  return static_cast<TColor>(static_cast<uint32_t>(v));
}

std::string ColorToText(TColor color) {
  for (const NamedColor& c : kColors)
    if (c.value == color) return c.name;
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "$%.8X", static_cast<unsigned>(color));
  return buffer;
}

int TEnumNames::FromText(const std::string& text, const std::string& property) const {
  const std::string t = Trim(text);
  for (size_t i = 0; i < names.size(); ++i)
    if (SameText(names[i], t)) return static_cast<int>(i);
  throw EPropertyError("Invalid property value " + t + " for " + property);
}

std::string TEnumNames::ToText(int value) const {
  return value >= 0 && static_cast<size_t>(value) < names.size() ? names[static_cast<size_t>(value)] : std::to_string(value);
}

uint64_t TEnumNames::SetFromText(const std::string& text, const std::string& property) const {
  std::string t = Trim(text);
  if (t.size() < 2 || t.front() != '[' || t.back() != ']') throw EPropertyError("Invalid set value " + t + " for " + property);
  t = t.substr(1, t.size() - 2);
  uint64_t bits = 0;
  size_t start = 0;
  while (start <= t.size()) {
    size_t comma = t.find(',', start);
    if (comma == std::string::npos) comma = t.size();
    const std::string item = Trim(t.substr(start, comma - start));
    if (!item.empty()) {
      const int i = FromText(item, property);
      if (i >= 64) throw EPropertyError("Invalid set value " + item + " for " + property);
      bits |= uint64_t{1} << i;
    }
    start = comma + 1;
  }
  return bits;
}

std::string TEnumNames::SetToText(uint64_t bits) const {
  std::string text = "[";
  for (size_t i = 0; i < names.size() && i < 64; ++i) {
    if (!(bits & (uint64_t{1} << i))) continue;
    if (text.size() > 1) text += ", ";
    text += names[i];
  }
  return text + "]";
}

const std::any* THandlerTable::Find(const std::string& name) const {
  auto it = handlers_.find(LowerCase(name));
  return it == handlers_.end() ? nullptr : &it->second;
}
