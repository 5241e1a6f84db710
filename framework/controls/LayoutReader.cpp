#include "framework/controls/LayoutReader.h"

#include <windows.h>

#include <algorithm>
#include <cctype>

#include "framework/win32/Strings.h"

namespace {

struct Fixup {
  TObject* target;
  const TPropInfo* info;
  std::string name;
  std::string where;
};

class Reader {
public:
  Reader(TComponent& root, const THandlerTable& handlers) : root_(root), handlers_(handlers) {}

  void Read(const TLayoutObject& tree) {
    if (!SameText(tree.className, root_.ClassName()))
      throw EClassNotFound("Layout of " + tree.className + " cannot be read into " + root_.ClassName());
    root_.BeginLoading();
    if (!tree.name.empty()) root_.SetName(UniqueRootName(tree.name));
    Fill(root_, tree);
    for (const Fixup& f : fixups_) {
      TComponent* found = SameText(f.name, root_.Name()) ? &root_ : root_.FindComponent(f.name);
      if (!found) throw EPropertyError("Error reading " + f.where + ": component " + f.name + " not found");
      f.info->setComponent(*f.target, found);
    }
    for (TComponent* c : loaded_) c->Loaded();
    root_.Loaded();
  }

private:
  // A second instance of a form under the same owner gets "Name_1", "Name_2", ...
  std::string UniqueRootName(const std::string& name) const {
    const TComponent* owner = root_.Owner();
    auto taken = [&](const std::string& candidate) {
      const TComponent* other = owner ? owner->FindComponent(candidate) : nullptr;
      return other && other != &root_;
    };
    if (!taken(name)) return name;
    for (int i = 1;; ++i)
      if (!taken(name + "_" + std::to_string(i))) return name + "_" + std::to_string(i);
  }

  void Fill(TComponent& component, const TLayoutObject& object) {
    for (const TLayoutProperty& p : object.properties) {
      const std::string where = (object.name.empty() ? object.className : object.name) + "." + p.name;
      try {
        Apply(component, p, where);
      } catch (const EPropertyError& e) {
        throw EPropertyError("Error reading " + where + ": " + e.Message());
      } catch (const Exception& e) {
        throw EPropertyError("Error reading " + where + " (line " + std::to_string(p.line) + "): " + e.Message());
      }
    }
    for (const TLayoutObject& child : object.children) {
      const TClassInfo& info = GetClass(child.className);
      TComponent* created = info.Create(&root_);
      created->BeginLoading();
      try {
        created->SetName(child.name);
        created->SetParentComponent(&component);
      } catch (...) {
        delete created;
        throw;
      }
      loaded_.push_back(created);
      Fill(*created, child);
    }
  }

  void Apply(TComponent& component, const TLayoutProperty& p, const std::string& where) {
    std::string path = p.name;
    // "Lines.Strings" is how string-list properties are often written.
    if (path.size() > 8 && SameText(path.substr(path.size() - 8), ".Strings")) {
      const std::string shorter = path.substr(0, path.size() - 8);
      if (HasProperty(component, shorter)) path = shorter;
    }
    auto [target, info] = ResolveProperty(component, path);
    const TLayoutValue& v = p.value;
    using K = TLayoutValue::Kind;
    switch (info->kind) {
      case TPropKind::Value:
        if (v.kind == K::List || v.kind == K::Binary || v.kind == K::File)
          throw EPropertyError("Invalid property value for " + info->name);
        info->set(*target, LayoutValueText(v));
        return;
      case TPropKind::Event: {
        if (v.kind != K::Ident) throw EPropertyError("Invalid handler value for " + info->name);
        const std::any* handler = handlers_.Find(v.text);
        if (!handler) throw EPropertyError("Handler " + v.text + " not found in " + root_.ClassName());
        info->setEvent(*target, *handler);
        return;
      }
      case TPropKind::Component:
        if (v.kind != K::Ident) throw EPropertyError("Invalid component reference for " + info->name);
        if (SameText(v.text, "nil")) return info->setComponent(*target, nullptr);
        fixups_.push_back({target, info, v.text, where});
        return;
      case TPropKind::Strings: {
        std::vector<std::string> lines;
        if (v.kind == K::String) {
          lines.push_back(v.text);
        } else if (v.kind == K::List) {
          for (const TLayoutValue& item : v.items) lines.push_back(LayoutValueText(item));
        } else {
          throw EPropertyError("Invalid string list for " + info->name);
        }
        info->setStrings(*target, lines);
        return;
      }
      case TPropKind::Binary: {
        if (v.kind == K::File) throw EPropertyError("file('" + v.text + "') must be expanded when the program is built");
        if (v.kind != K::Binary) throw EPropertyError("Binary data expected for " + info->name);
        TReadOnlyMemoryStream stream(v.bytes.data(), static_cast<int64_t>(v.bytes.size()));
        info->readData(*target, stream);
        return;
      }
      case TPropKind::Object:
        throw EPropertyError("Property " + info->name + " needs a sub-property");
    }
  }

  TComponent& root_;
  const THandlerTable& handlers_;
  std::vector<Fixup> fixups_;
  std::vector<TComponent*> loaded_;
};

}  // namespace

void ReadLayout(TComponent& root, const TLayoutObject& tree, const THandlerTable& handlers) {
  Reader(root, handlers).Read(tree);
}

void ReadLayout(TComponent& root, std::string_view text, const THandlerTable& handlers) {
  ReadLayout(root, ParseLayout(text), handlers);
}

std::string_view LayoutResource(const std::string& name) {
  std::string upper = name;
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC info = FindResourceW(module, Utf8ToWide(upper).c_str(), MAKEINTRESOURCEW(10));
  HGLOBAL data = info ? LoadResource(module, info) : nullptr;
  const void* bytes = data ? LockResource(data) : nullptr;
  if (!bytes) throw EResNotFound(Format("Resource %s not found", upper.c_str()));
  return {static_cast<const char*>(bytes), SizeofResource(module, info)};
}
