#pragma once
// The object model every layout-built class shares: a class registry (class name -> factory and
// published properties) and components that own other components.
#include <cstdint>
#include <string>
#include <vector>

class TClassInfo;
class TComponent;

class TObject {
public:
  TObject() = default;
  TObject(const TObject&) = delete;
  TObject& operator=(const TObject&) = delete;
  virtual ~TObject() = default;

  static const TClassInfo& StaticClassInfo();
  // The registered class of the most derived type; every published class overrides it.
  virtual const TClassInfo& ClassInfo() const { return StaticClassInfo(); }
  std::string ClassName() const;
  bool InheritsFrom(const TClassInfo& base) const;
};

// Objects that can copy state from one another (fonts, pictures, graphics).
class TPersistent : public TObject {
public:
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }
  // Raises EConvertError("Cannot assign a X to a Y") when the source is not understood.
  virtual void Assign(const TPersistent& source);
};

enum class TOperation { opInsert, opRemove };

class TComponent : public TPersistent {
public:
  explicit TComponent(TComponent* owner);
  ~TComponent() override;
  static const TClassInfo& StaticClassInfo();
  const TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

  TComponent* Owner() const { return owner_; }
  const std::string& Name() const { return name_; }
  // Raises EInvalidOperation when a sibling already carries the name.
  void SetName(const std::string& name);
  intptr_t Tag = 0;

  int ComponentCount() const { return static_cast<int>(components_.size()); }
  TComponent* Components(int index) const { return components_.at(static_cast<size_t>(index)); }
  // Case-insensitive, among the directly owned components; nullptr when absent.
  TComponent* FindComponent(const std::string& name) const;

  void InsertComponent(TComponent* component);
  void RemoveComponent(TComponent* component);

  // Asks to be told when `component` (not owned by this) goes away.
  void FreeNotification(TComponent* component);
  void RemoveFreeNotification(TComponent* component);

  // True while the layout reader fills this component (property setters may defer work).
  bool Loading() const { return loading_; }
  void BeginLoading() { loading_ = true; }
  // Called once all of a layout's properties and references are set.
  virtual void Loaded() { loading_ = false; }
  bool Destroying() const { return destroying_; }
  // Where a layout nests this component: a control's parent, a menu item's menu. Components
  // without such a place ignore it.
  virtual void SetParentComponent(TComponent*) {}

protected:
  // Told about components that are inserted into or removed from the owner, and about
  // components this one asked FreeNotification for.
  virtual void Notification(TComponent* component, TOperation operation);

private:
  void NotifyOwnedOfRemoval(TComponent* component);

  TComponent* owner_ = nullptr;
  std::string name_;
  std::vector<TComponent*> components_;
  std::vector<TComponent*> freeNotifies_;
  bool loading_ = false;
  bool destroying_ = false;
};

// Case-insensitive ASCII comparison, as component, class and property names compare.
bool SameText(const std::string& a, const std::string& b);
std::string LowerCase(std::string text);
