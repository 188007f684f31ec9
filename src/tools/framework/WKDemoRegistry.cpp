#include "tools/framework/WKDemoRegistry.h"

#include <cmath>
#include <limits>
#include <variant>

namespace {

TWKDemoRegistry* GlobalRegistry = nullptr;

bool RunCommand(const TWKDemoCommandInfo& c, const TWKCustomProperties& params) {
  int32_t first = 0, second = 0;
  const bool hasFirst = ScriptNumberArg(params, 0, first);
  if (c.Procedure) {
    c.Procedure();
  } else if (c.Click) {
    c.Click(c.Sender);
  } else if (c.BooleanSetter) {
    c.BooleanSetter(params.Count() > 0 ? hasFirst && first != 0 : c.BooleanDefault);
  } else if (c.IntegerSetter) {
    c.IntegerSetter(hasFirst ? first : c.IntegerDefault);
  } else if (c.ColorSetter) {
    c.ColorSetter(hasFirst ? first : c.ColorDefault);
  } else if (c.PointSetter) {
    const bool both = hasFirst && ScriptNumberArg(params, 1, second);
    c.PointSetter(both ? TPoint{first, second} : c.PointDefault);
  } else {
    return false;
  }
  return true;
}

}  // namespace

bool ScriptNumberArg(const TWKCustomProperties& params, int index, int32_t& out) {
  if (index >= params.Count()) return false;
  const TWKVariant v = params.GetVariant(index);
  if (const auto* i = std::get_if<int32_t>(&v)) {
    out = *i;
    return true;
  }
  const auto* d = std::get_if<double>(&v);
  if (d == nullptr || std::isnan(*d)) return false;
  const double r = std::round(*d);
  if (r <= std::numeric_limits<int32_t>::min()) out = std::numeric_limits<int32_t>::min();
  else if (r >= std::numeric_limits<int32_t>::max()) out = std::numeric_limits<int32_t>::max();
  else out = static_cast<int32_t>(r);
  return true;
}

std::string ScriptTextArg(const TWKCustomProperties& params, int index) {
  if (index >= params.Count()) return {};
  const TWKVariant v = params.GetVariant(index);
  const auto* text = std::get_if<std::string>(&v);
  return text != nullptr ? *text : std::string();
}


std::string DemoName(const std::string& name) {
  std::string upper = name;
  for (char& ch : upper)
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
  return upper;
}

void TWKDemoRegistry::RegisterComponent(const std::string& name, const void* component,
                                        TWKDemoLocator locate) {
  if (component == nullptr || !locate) return;
  Components_.push_back(TWKDemoComponentInfo{DemoName(name), component, std::move(locate)});
}

TWKDemoCommandInfo& TWKDemoRegistry::NewCommand(const std::string& name) {
  Commands_.emplace_back();
  Commands_.back().Name = DemoName(name);
  return Commands_.back();
}

void TWKDemoRegistry::RegisterProcedure(const std::string& name, std::function<void()> handler) {
  NewCommand(name).Procedure = std::move(handler);
}

void TWKDemoRegistry::RegisterClick(const std::string& name, const void* component,
                                    std::function<void(const void*)> handler) {
  TWKDemoCommandInfo& c = NewCommand(name);
  c.Click = std::move(handler);
  c.Sender = component;
}

void TWKDemoRegistry::RegisterButton(const std::string& name, const void* component,
                                     TWKDemoLocator locate,
                                     std::function<void(const void*)> handler) {
  RegisterComponent(name, component, std::move(locate));
  RegisterClick(name, component, std::move(handler));
}

void TWKDemoRegistry::RegisterBoolean(const std::string& name, bool value,
                                      std::function<void(bool)> handler) {
  TWKDemoCommandInfo& c = NewCommand(name);
  c.BooleanSetter = std::move(handler);
  c.BooleanDefault = value;
}

void TWKDemoRegistry::RegisterInteger(const std::string& name, int32_t value,
                                      std::function<void(int32_t)> handler) {
  TWKDemoCommandInfo& c = NewCommand(name);
  c.IntegerSetter = std::move(handler);
  c.IntegerDefault = value;
}

void TWKDemoRegistry::RegisterColor(const std::string& name, int32_t value,
                                    std::function<void(int32_t)> handler) {
  TWKDemoCommandInfo& c = NewCommand(name);
  c.ColorSetter = std::move(handler);
  c.ColorDefault = value;
}

void TWKDemoRegistry::RegisterPoint(const std::string& name, TPoint value,
                                    std::function<void(TPoint)> handler) {
  TWKDemoCommandInfo& c = NewCommand(name);
  c.PointSetter = std::move(handler);
  c.PointDefault = value;
}

bool TWKDemoRegistry::Execute(const std::string& name, const TWKCustomProperties& params) const {
  const std::string key = DemoName(name);
  for (const TWKDemoCommandInfo& c : Commands_)
    if (c.Name == key && RunCommand(c, params)) return true;
  return false;
}

std::optional<TPoint> TWKDemoRegistry::Locate(const std::string& name) const {
  const std::string key = DemoName(name);
  for (const TWKDemoComponentInfo& c : Components_) {
    if (c.Name != key) continue;
    if (std::optional<TPoint> p = c.Locate()) return p;
  }
  return std::nullopt;
}

void TWKDemoRegistry::Unregister(const void* component) {
  std::erase_if(Components_, [&](const TWKDemoComponentInfo& c) { return c.Component == component; });
  std::erase_if(Commands_, [&](const TWKDemoCommandInfo& c) { return c.Sender == component && c.Click; });
}

TWKDemoRegistry* DemoRegistry() { return GlobalRegistry; }
void SetDemoRegistry(TWKDemoRegistry* registry) { GlobalRegistry = registry; }
