// The About command of the Help menu.
#pragma once

#include "framework/WKModule.h"
#include "help/WKAboutLayout.h"

class IWKMainWindow;
class IWKShell;
class IWKUIItem;
class QWidget;

class TWKAbout : public TWKModule {
 public:
  // dialogParent: the window the box is centred on.
  TWKAbout(TWKComponent* owner, IWKMainWindow& window, IWKShell& shell, QWidget* dialogParent);

  IWKUIItem* AboutMenuSeparator = nullptr;
  IWKUIItem* AboutMenuItem = nullptr;

  // The table is not copied: it must outlive the module.
  void SetLayout(const TWKLabelDescriptor* labels, int32_t count, const std::string& resourceName);
  const TWKAboutLayoutTable& Layout() const { return Layout_; }
  void ShowAbout();
  void Localize() override;

 private:
  IWKShell& Shell_;
  QWidget* DialogParent_;
  TWKAboutLayoutTable Layout_;
};
