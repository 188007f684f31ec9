// The named controls and commands that tools and editors register for demonstrations: where a
// control lies on the screen, and what a command with its arguments does.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "framework/WKProperties.h"
#include "imaging/WKTypes.h"

// The screen centre of a control, menu item or tool-bar item; none while it is not shown.
using TWKDemoLocator = std::function<std::optional<TPoint>()>;

struct TWKDemoComponentInfo {
  std::string Name;       // upper case
  const void* Component;  // identity, passed as sender to click handlers
  TWKDemoLocator Locate;
};

// Exactly one handler kind is set; the setters keep the value used when the command comes
// without a usable argument.
struct TWKDemoCommandInfo {
  std::string Name;  // upper case
  std::function<void()> Procedure;
  std::function<void(const void* sender)> Click;
  const void* Sender = nullptr;
  std::function<void(bool)> BooleanSetter;
  bool BooleanDefault = false;
  std::function<void(int32_t)> IntegerSetter;
  int32_t IntegerDefault = 0;
  std::function<void(int32_t)> ColorSetter;
  int32_t ColorDefault = 0;
  std::function<void(TPoint)> PointSetter;
  TPoint PointDefault;
};

class TWKDemoRegistry {
 public:
  // Does nothing without a component or a locator.
  void RegisterComponent(const std::string& name, const void* component, TWKDemoLocator locate);
  void RegisterProcedure(const std::string& name, std::function<void()> handler);
  void RegisterClick(const std::string& name, const void* component,
                     std::function<void(const void*)> handler);
  void RegisterButton(const std::string& name, const void* component, TWKDemoLocator locate,
                      std::function<void(const void*)> handler);
  void RegisterBoolean(const std::string& name, bool value, std::function<void(bool)> handler);
  void RegisterInteger(const std::string& name, int32_t value, std::function<void(int32_t)> handler);
  void RegisterColor(const std::string& name, int32_t value, std::function<void(int32_t)> handler);
  void RegisterPoint(const std::string& name, TPoint value, std::function<void(TPoint)> handler);

  // Runs the first command of that name (compared in upper case) that has a handler; false
  // when there is none.
  bool Execute(const std::string& name, const TWKCustomProperties& params) const;
  // The screen point of the first component of that name that is shown.
  std::optional<TPoint> Locate(const std::string& name) const;

  const std::vector<TWKDemoComponentInfo>& ComponentInfos() const { return Components_; }
  const std::vector<TWKDemoCommandInfo>& CommandInfos() const { return Commands_; }
  // Removes every entry that refers to component (its owner is going away).
  void Unregister(const void* component);

 private:
  TWKDemoCommandInfo& NewCommand(const std::string& name);

  std::vector<TWKDemoComponentInfo> Components_;
  std::vector<TWKDemoCommandInfo> Commands_;
};

std::string DemoName(const std::string& name);  // upper case (ASCII)

// A script command's number argument at index as an integer (reals rounded, saturated); false
// for text or nothing.
bool ScriptNumberArg(const TWKCustomProperties& params, int index, int32_t& out);
// A script command's text argument at index; empty for a number or nothing.
std::string ScriptTextArg(const TWKCustomProperties& params, int index);

// The program-wide registry, or none (tools then register nothing).
TWKDemoRegistry* DemoRegistry();
void SetDemoRegistry(TWKDemoRegistry* registry);
