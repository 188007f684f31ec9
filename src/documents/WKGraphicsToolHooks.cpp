#include "documents/WKGraphicsToolHooks.h"

#include "framework/WKApplication.h"

std::vector<IWKGraphicsTool*> GraphicsTools() {
  std::vector<IWKGraphicsTool*> tools;
  TWKApplication* app = Application();
  if (app == nullptr) return tools;
  for (int i = 0; i < app->ComponentCount(); ++i)
    if (auto* tool = dynamic_cast<IWKGraphicsTool*>(app->Components(i))) tools.push_back(tool);
  return tools;
}
