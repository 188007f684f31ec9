#include "demo/WKDemoResolver.h"

#include "demo/WKDemoPlayback.h"
#include "demo/WKDemoTexts.h"
#include "documents/WKGraphicsEditor.h"
#include "documents/WKGraphicsToolHooks.h"
#include "framework/WKApplication.h"
#include "tools/framework/WKDemoRegistry.h"

namespace {

// Calls f(editor, tool) for every participant in creation order (one of the two is set) until
// it answers true.
template <class F>
bool AskParticipants(F&& f) {
  TWKApplication* app = Application();
  if (app == nullptr) return false;
  for (int i = 0; i < app->ComponentCount(); ++i) {
    TWKComponent* component = app->Components(i);
    auto* editor = dynamic_cast<TWKEditor*>(component);
    auto* tool = dynamic_cast<IWKGraphicsTool*>(component);
    if ((editor != nullptr || tool != nullptr) && f(editor, tool)) return true;
  }
  return false;
}

}  // namespace

void ForEachDemoParticipant(const std::function<void(TWKEditor*, IWKGraphicsTool*)>& f) {
  AskParticipants([&](TWKEditor* editor, IWKGraphicsTool* tool) {
    f(editor, tool);
    return false;
  });
}

bool ExecuteDemoCommand(TWKDemoPlayback& playback, const TWKDemoRegistry* registry,
                        const std::string& name, const TWKDemoScriptParams& params) {
  if (registry != nullptr && registry->Execute(name, params)) return true;
  return AskParticipants([&](TWKEditor* editor, IWKGraphicsTool* tool) {
    if (tool != nullptr) return tool->ExecuteScriptCommand(name, params);
    if (!editor->ExecuteScriptCommand(name, params)) return false;
    const auto* graphics = dynamic_cast<TWKGraphicsEditor*>(editor);
    if (graphics != nullptr && graphics->ScriptCommandFailed)
      playback.ReportError(DemoText(TWKDemoText::CannotOpenFile));
    return true;
  });
}

bool FindDemoPoint(const TWKDemoRegistry* registry, const TWKDemoScriptParams& params, TPoint& point) {
  const TWKVariant first = params.GetVariant(0);
  if (const auto* name = std::get_if<std::string>(&first); name != nullptr && registry != nullptr) {
    if (const std::optional<TPoint> p = registry->Locate(*name)) {
      point = *p;
      return true;
    }
  }
  return AskParticipants([&](TWKEditor* editor, IWKGraphicsTool* tool) {
    return tool != nullptr ? tool->GetScriptCommandPoint(params, point)
                           : editor->GetScriptCommandPoint(params, point);
  });
}

void BindDemoResolution(TWKDemoPlayback& playback, const TWKDemoRegistry* registry) {
  playback.OnCommand = [registry](TWKDemoPlayback& p, const std::string& name, bool& handled,
                                  TWKDemoScriptUserAction&, const TWKDemoScriptParams& params) {
    handled = ExecuteDemoCommand(p, registry, name, params);
  };
  playback.OnGetPoint = [registry](TWKDemoPlayback&, const TWKDemoScriptParams& params, bool& found,
                                   TPoint& point) { found = FindDemoPoint(registry, params, point); };
}
