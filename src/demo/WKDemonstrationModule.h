// The application's side of guided demonstrations: it owns the one playback of the process,
// adds the Demonstrations menu item, shows the list from which the user starts a script,
// prepares the application before a demonstration and restores it afterwards, keeps the
// registry of named controls and commands, and writes the lines of a recording.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "demo/WKDemoPlayback.h"
#include "documents/WKScriptRecorder.h"
#include "framework/WKGuid.h"
#include "framework/WKModule.h"
#include "tools/framework/WKDemoRegistry.h"

class IWKMainWindow;
class TWKGraphicsEditor;
class IWKUIItem;
class TWKDemoList;

// The list window; the user interface implements it.
class IWKDemoListForm {
 public:
  virtual ~IWKDemoListForm() = default;
  // Shows the filled list modally; true when it closed with Start.
  virtual bool ShowModal(TWKDemoList& list) = 0;
};

class TWKDemonstrationModule : public TWKModuleWithControls {
 public:
  static constexpr TWKGUID kSettingsGuid = WKGuid("{2032DB53-FE8E-4FB8-8457-43C5430C9D6B}");
  static constexpr int kCaptionText = 37;
  static constexpr int kStopQuestionText = 172;
  static constexpr int kCloseImageQuestionText = 173;
  static constexpr int kFinishedText = 725;

  // The module becomes the program's demonstration registry while it lives. mainWindow none:
  // no menu item.
  TWKDemonstrationModule(TWKComponent* owner, std::unique_ptr<IWKDemoPlatform> platform,
                         IWKMainWindow* mainWindow);
  ~TWKDemonstrationModule() override;

  // Show the list when the program starts (the settings overwrite it).
  bool ShowAtStartup = false;
  // The program was started on a photo: the photo comes first, the list waits for a later start.
  bool StartedOnPhoto = false;
  // The running demonstration came from the list, which comes back when it ends.
  bool ReshowList = false;
  int32_t LastDemoIndex = 0;
  std::string SavedTitle;
  // Folder of the scripts, ending in "/".
  std::string DemoFolder;
  // The text the image view puts into its recorded message lines.
  std::string MessageText = "Click";
  // The exchange file a demonstration closed while the editor was in plug-in mode.
  std::string PluginFileName;
  IWKUIItem* DemoMenuItem = nullptr;
  // Makes the list window; none: the list cannot be shown.
  std::function<std::unique_ptr<IWKDemoListForm>()> ListFormFactory;

  TWKDemoPlayback& Playback() { return *Playback_; }
  TWKDemoRegistry& Registry() { return Registry_; }
  IWKDemoPlatform& Platform() { return *Platform_; }

  // The Demonstrations command.
  void ShowDemonstrations();
  // Loads the script into the playback and plays it from its first line; from the list, the
  // list comes back when it ends. False when it did not start.
  bool PlayScript(const TWKDemoScript& script, bool fromList);

  // Registration, for the tools and the other modules.
  void RegisterComponent(const std::string& name, const void* component, TWKDemoLocator locate) {
    Registry_.RegisterComponent(name, component, std::move(locate));
  }
  void RegisterProcedure(const std::string& name, std::function<void()> handler) {
    Registry_.RegisterProcedure(name, std::move(handler));
  }
  void RegisterClick(const std::string& name, const void* component, std::function<void(const void*)> handler) {
    Registry_.RegisterClick(name, component, std::move(handler));
  }
  void RegisterButton(const std::string& name, const void* component, TWKDemoLocator locate,
                      std::function<void(const void*)> handler) {
    Registry_.RegisterButton(name, component, std::move(locate), std::move(handler));
  }
  void RegisterBoolean(const std::string& name, bool value, std::function<void(bool)> handler) {
    Registry_.RegisterBoolean(name, value, std::move(handler));
  }
  void RegisterInteger(const std::string& name, int32_t value, std::function<void(int32_t)> handler) {
    Registry_.RegisterInteger(name, value, std::move(handler));
  }
  void RegisterColor(const std::string& name, int32_t value, std::function<void(int32_t)> handler) {
    Registry_.RegisterColor(name, value, std::move(handler));
  }
  void RegisterPoint(const std::string& name, TPoint value, std::function<void(TPoint)> handler) {
    Registry_.RegisterPoint(name, value, std::move(handler));
  }

  // Recording; each writes nothing unless the playback is recording.
  void RecordText(const std::string& text);
  // "MouseCurvedMove <name>".
  void RecordMove(const std::string& name);
  // "MouseCurvedMove <name>", then "<name> <value>" (the name alone for an empty value).
  void RecordControl(const std::string& name, const std::string& value);
  // The message line; ShowMessages is the caller's business.
  void RecordMessage(const std::string& text);
  // What the participants write to while recording: the playback's lines, its message option
  // and this module's message text.
  IWKScriptRecorder& Recorder() { return Recorder_; }
  // StartRecording (Recorder) / StopRecording on every editor and tool, in creation order.
  void StartRecordingAll();
  void StopRecordingAll();

  // The playback's handlers as the module binds them; the demo editor calls them from its own.
  void BeforePlay(bool& cancel);
  void StopQuery(bool& stop);
  void Finished();
  void Error(const std::string& message, bool& stop, const std::string& line);

  void Localize() override;
  void LoadSettings(TWKSDFReader& reader) override;
  void SaveSettings(TWKSDFWriter& writer) override;
  void Initialize() override;
  void UpdateControls() override;

 private:
  class TRecorder : public IWKScriptRecorder {
   public:
    explicit TRecorder(TWKDemonstrationModule& module) : Module_(module) {}
    void AddLine(const std::string& line) override { Module_.RecordText(line); }
    bool ShowsMessages() const override { return Module_.Playback_->ShowMessages; }
    std::string CurrentMessage() const override { return Module_.MessageText; }

   private:
    TWKDemonstrationModule& Module_;
  };

  // Closes the editor's images, each with the user's consent; false when one stays open.
  bool CloseImages(TWKGraphicsEditor& editor);
  void RestoreTitle();
  void ReshowListLater();

  std::unique_ptr<IWKDemoPlatform> Platform_;
  std::unique_ptr<TWKDemoPlayback> Playback_;
  TWKDemoRegistry Registry_;
  TRecorder Recorder_{*this};
  bool TitleChanged_ = false;
};

// The program's demonstration module, or none.
TWKDemonstrationModule* DemonstrationModule();
