// What the image document and the image editor ask of a graphics tool. The tool framework's
// TWKGraphicsTool implements it; every component of the application that does is a tool, and
// broadcasts reach the tools in creation order.
#pragma once

#include <string>
#include <vector>

#include "imaging/WKTypes.h"

class TWKCommandState;
class TWKCustomProperties;
class TWKGraphicsDocument;
class TWKGraphicsView;
class IWKScriptRecorder;

class IWKGraphicsTool {
 public:
  virtual ~IWKGraphicsTool() = default;

  virtual void Activate() = 0;
  virtual void Deactivate() = 0;
  // Creates the tool's control on a newly shown view (none for tools without controls).
  virtual void CreateControl(TWKGraphicsView& view) = 0;
  // Commits the edit transaction the tool holds.
  virtual void EndEdit() = 0;
  // While such a tool holds a document's transaction no other tool may edit.
  virtual bool ExclusiveEdit() const { return false; }

  virtual void DocumentOpened(TWKGraphicsDocument& document) {}
  virtual void DocumentClosing(TWKGraphicsDocument& document) {}
  virtual void DocumentSaving(TWKGraphicsDocument& document) {}
  virtual void BeforeUndo(TWKCommandState* state) {}
  virtual void AfterUndo(TWKCommandState* state) {}
  virtual void BeforeRedo(TWKCommandState* state) {}
  virtual void AfterRedo(TWKCommandState* state) {}
  virtual void ImageRegionChanged(TWKGraphicsDocument& document, IWKGraphicsTool* tool,
                                  const TRect& rect) {}
  // The document's current image got new storage while this tool was current (a new canvas).
  virtual void CurrentPixelsChanged(TWKGraphicsDocument& document) {}

  // Commands arrive upper-cased, parameters are read by position.
  virtual bool ExecuteScriptCommand(const std::string& command, const TWKCustomProperties& params) {
    return false;
  }
  virtual bool GetScriptCommandPoint(const TWKCustomProperties& params, TPoint& point) {
    return false;
  }
  virtual void StartRecording(IWKScriptRecorder* recorder) {}
  virtual void StopRecording() {}
};

// Every tool owned by the application, in creation order.
std::vector<IWKGraphicsTool*> GraphicsTools();

// Calls f(tool) for every tool in creation order; the list is taken before the first call.
template <class F>
void BroadcastToTools(F&& f) {
  for (IWKGraphicsTool* tool : GraphicsTools()) f(*tool);
}
