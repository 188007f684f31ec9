// The names a script uses that the playback does not know itself: the registry of named
// controls and commands first (in registration order), then the script hooks of the editors and
// the tools (in creation order), until one knows the name.
#pragma once

#include <functional>
#include <string>

#include "imaging/WKTypes.h"

class IWKGraphicsTool;
class TWKDemoPlayback;
class TWKEditor;
class TWKDemoRegistry;
class TWKDemoScriptParams;

// Performs the command; false when nobody knows it. A command that is known but fails (an
// image that does not open) is reported through the playback.
bool ExecuteDemoCommand(TWKDemoPlayback& playback, const TWKDemoRegistry* registry,
                        const std::string& name, const TWKDemoScriptParams& params);
// The screen point the params name (the first one a control's name, or "Image", x, y).
bool FindDemoPoint(const TWKDemoRegistry* registry, const TWKDemoScriptParams& params, TPoint& point);
// Binds the playback's OnCommand and OnGetPoint to the two above.
void BindDemoResolution(TWKDemoPlayback& playback, const TWKDemoRegistry* registry);
// Calls f(editor, tool) for every editor and tool the application owns, in creation order (one
// of the two is set).
void ForEachDemoParticipant(const std::function<void(TWKEditor*, IWKGraphicsTool*)>& f);
