// Components with an owner: an owner keeps its components in creation order and destroys them,
// the last created first, when it is destroyed; a component leaves its owner's list when it is
// destroyed, also when its construction fails part-way.
#pragma once

#include <string>
#include <vector>

class TWKComponent {
 public:
  explicit TWKComponent(TWKComponent* owner);
  virtual ~TWKComponent();
  TWKComponent(const TWKComponent&) = delete;
  TWKComponent& operator=(const TWKComponent&) = delete;

  TWKComponent* Owner() const { return Owner_; }
  int ComponentCount() const { return static_cast<int>(Components_.size()); }
  TWKComponent* Components(int index) const { return Components_.at(static_cast<size_t>(index)); }

  // True for forms (top-level windows); the application's first form is its main window.
  virtual bool IsForm() const { return false; }

  std::string Name;

 protected:
  // Destroys every owned component, the last first.
  void DestroyComponents();
  // Called on the owner after a component has left its list.
  virtual void ComponentRemoved(TWKComponent* component) {}

 private:
  TWKComponent* Owner_;
  std::vector<TWKComponent*> Components_;
};
