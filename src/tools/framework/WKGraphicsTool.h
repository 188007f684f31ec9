// The tool contract: a module with a tool-panel button and an option frame that places one
// control on every image view, changes the document's pixels inside an edit transaction and
// turns each finished change into an undoable step.
#pragma once

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "documents/WKGraphicsToolHooks.h"
#include "framework/WKModule.h"
#include "imaging/WKBitmap.h"

class IWKScriptRecorder;
class IWKToolButton;
class IWKToolFrame;
class TWKCommandState;
class TWKGraphicsCommandState;
class TWKGraphicsDocument;
class TWKGraphicsEditor;
class TWKGraphicsToolControl;
class TWKGraphicsView;

class TWKGraphicsTool : public TWKModuleWithControls, public IWKGraphicsTool {
 public:
  // Makes the tool's control for a view (the control class); none: the tool has no controls.
  using TControlClass =
      std::function<std::unique_ptr<TWKGraphicsToolControl>(TWKGraphicsTool&, TWKGraphicsView&)>;

  explicit TWKGraphicsTool(TWKComponent* owner);
  ~TWKGraphicsTool() override;

  std::string ScriptName;
  TControlClass ControlClass;
  // The value Available takes when a document is opened in plug-in mode.
  bool PluginAvailable = false;
  bool ExclusiveEditFlag = false;
  // The tool's button on the tool panel, when it has one.
  IWKToolButton* Button = nullptr;

  bool Active() const { return Active_; }
  bool Available() const { return Available_; }
  bool ExclusiveEdit() const override { return ExclusiveEditFlag; }

  // The option frame in the tool panel, once the concrete tool made it; none without one.
  IWKToolFrame* ToolFrame() const { return ToolFrame_; }

  // The button is checked while this is the current tool and enabled while the tool may edit;
  // the frame's controls are enabled only when both hold.
  void UpdateControls() override;
  virtual void SetFrameControlsEnabled(bool value);

  // Hooks, in slot order.
  bool ExecuteScriptCommand(const std::string& command, const TWKCustomProperties& params) override;
  bool GetScriptCommandPoint(const TWKCustomProperties& params, TPoint& point) override;
  void StartRecording(IWKScriptRecorder* recorder) override { Recorder_ = recorder; }
  void StopRecording() override { Recorder_ = nullptr; }
  virtual void AddControl(TWKGraphicsToolControl* control);
  virtual void RemoveControl(TWKGraphicsToolControl* control);
  void CreateControl(TWKGraphicsView& view) override;
  virtual void StoreUndoState();
  // Opens the view's document's edit transaction for this tool; false without an image.
  virtual bool BeginEdit(TWKGraphicsView& view);
  void EndEdit() override;
  virtual void CancelEdit();
  void DocumentOpened(TWKGraphicsDocument& document) override;
  // Once, right after construction: register buttons, sliders and values for demonstrations.
  virtual void RegisterDemoObjects() {}
  // Stores the value and shows or hides the button and the frame.
  virtual void SetAvailable(bool value);
  virtual void SelectClick(const void* sender);
  void Activate() override;
  void Deactivate() override;
  virtual void ResetControls() {}
  virtual void AfterDemoReset() {}
  void CurrentPixelsChanged(TWKGraphicsDocument& document) override;

  int32_t ControlCount() const { return static_cast<int32_t>(Controls_.size()); }
  // None when out of range.
  TWKGraphicsToolControl* Controls(int32_t index) const;
  // Into the transaction document's dirty rectangle; nothing outside a transaction.
  void MarkDirty(const TRect& rect, bool replace);

  // The program's image editor, or none.
  TWKGraphicsEditor* Editor() const;
  // The editor's current image document, or none.
  TWKGraphicsDocument* CurrentDocument() const;
  // The view in which a new step can start now: the current document's view, the document
  // with an image and no open transaction; none otherwise.
  TWKGraphicsView* EditableView() const;
  // The current document's last done step when it is a TState; none otherwise.
  template <class TState>
  const TState* LastDoneState() const {
    TWKGraphicsDocument* doc = CurrentDocument();
    return doc != nullptr ? dynamic_cast<const TState*>(LastDoneOf(*doc)) : nullptr;
  }
  // Re-tuning: undoes the last done step, without the editor's broadcasts, when it is a TState
  // that can be applied again now. False (nothing undone) otherwise.
  template <class TState>
  bool UndoOwnStep() {
    if (LastDoneState<TState>() == nullptr || EditableView() == nullptr) return false;
    UndoLastStep();
    return true;
  }
  IWKScriptRecorder* Recorder() const { return Recorder_; }
  // Appends a line while a demonstration is being recorded.
  void Record(const std::string& line) const;
  // The script name followed by suffix: the name of a control or command of this tool.
  std::string ScriptNamed(std::string_view suffix) const;
  // "MouseCurvedMove <script name><suffix>".
  void RecordMove(std::string_view suffix) const;
  // The message line, when the recorded demonstration shows messages.
  void RecordMessage(std::string_view text) const;
  // "<script name><suffix> <value>".
  void RecordValue(std::string_view suffix, int32_t value) const;
  // "MouseCurvedMove <script name><suffix>", then "<script name><suffix>": a control used.
  void RecordControl(std::string_view suffix) const;

  // The edit transaction's references, valid between BeginEdit and EndEdit / CancelEdit.
  TWKGraphicsView* EditView() const { return EditView_; }
  TWKGraphicsDocument* EditDocument() const { return EditDocument_; }
  TWKPixels* CurrentPixels() const { return CurrentPixels_; }
  TWKPixelBuffer* Backup() const { return Backup_; }
  TWKPixels* OriginalPixels() const { return OriginalPixels_; }

  // What the constructor of a concrete tool would do with its own virtual operations; runs
  // from CreateTool once the object is complete, before RegisterDemoObjects.
  virtual void AfterConstruction() {}

 protected:
  void ClearEditReferences();
  // True while this tool holds the document's open transaction.
  bool HoldsTransaction() const;

  // The construction every concrete tool shares: a button on the tool panel that selects the
  // tool (caption: its display name), a panel at least panelWidth wide.
  void AddPanelButton(std::string_view caption, int32_t panelWidth);
  // The frame the tool's frame factory made (none: the tool has no frame).
  void SetToolFrame(IWKToolFrame* frame) { ToolFrame_ = frame; }
  // The button's screen centre when the first parameter names the tool (by its script name).
  bool ButtonScriptPoint(const TWKCustomProperties& params, TPoint& point) const;
  // Registers the button under the script name and each named frame control under the script
  // name followed by its name, for demonstrations.
  void RegisterButtonAndFrameControls(std::initializer_list<std::string_view> controls);
  // The rectangle of a step of a tool that stores one for every click: the transaction's dirty
  // rectangle, or the pixel at fallback when nothing changed; within the image either way.
  TRect StepRect(TPoint fallback) const;
  // Adds the step to the transaction document's history and brings the backup up to date
  // over its rectangle.
  void AddStepState(std::unique_ptr<TWKGraphicsCommandState> state);
  // Ends this tool's open transaction on a document that is closing.
  void EndEditOnClosing(TWKGraphicsDocument& document);

 private:
  static const TWKCommandState* LastDoneOf(TWKGraphicsDocument& document);
  void UndoLastStep();

  std::vector<TWKGraphicsToolControl*> Controls_;
  IWKScriptRecorder* Recorder_ = nullptr;
  IWKToolFrame* ToolFrame_ = nullptr;
  bool Active_ = false;
  bool Available_ = true;
  TWKGraphicsView* EditView_ = nullptr;
  TWKGraphicsDocument* EditDocument_ = nullptr;
  TWKPixels* CurrentPixels_ = nullptr;
  TWKPixelBuffer* Backup_ = nullptr;
  TWKPixels* OriginalPixels_ = nullptr;
};

// Builds a tool owned by owner, then runs the steps its construction calls through virtual
// operations: AfterConstruction, then RegisterDemoObjects.
template <class T, class... Args>
T* CreateTool(TWKComponent* owner, Args&&... args) {
  auto* tool = new T(owner, std::forward<Args>(args)...);
  try {
    tool->AfterConstruction();
    tool->RegisterDemoObjects();
  } catch (...) {
    delete tool;
    throw;
  }
  return tool;
}

// The program's image editor: the first component of the application that is one.
TWKGraphicsEditor* FindGraphicsEditor();
