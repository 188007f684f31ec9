#include "tools/framework/WKToolPanelService.h"

namespace {
IWKToolPanel* GlobalToolPanel = nullptr;
}

IWKToolPanel* ToolPanelService() { return GlobalToolPanel; }
void SetToolPanelService(IWKToolPanel* panel) { GlobalToolPanel = panel; }
