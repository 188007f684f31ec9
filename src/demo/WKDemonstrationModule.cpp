#include "demo/WKDemonstrationModule.h"

#include "demo/WKDemoList.h"
#include "demo/WKDemoResolver.h"
#include "documents/WKEditorUI.h"
#include "documents/WKGraphicsEditor.h"
#include "framework/WKApplication.h"
#include "framework/WKLocalizer.h"
#include "framework/WKSDFReader.h"
#include "framework/WKSDFWriter.h"
#include "tools/framework/WKGraphicsTool.h"
#include "tools/framework/WKToolPanelService.h"

namespace {

TWKDemonstrationModule* gModule = nullptr;

constexpr int kQuestionFlags = MB_YESNO | MB_ICONQUESTION;

int Ask(int text, int flags) {
  TWKApplication* app = Application();
  if (app == nullptr) return 0;
  return app->MessageBox(LanguageString(text), LanguageString(TWKDemonstrationModule::kCaptionText), flags);
}

}  // namespace

TWKDemonstrationModule* DemonstrationModule() { return gModule; }

TWKDemonstrationModule::TWKDemonstrationModule(TWKComponent* owner,
                                               std::unique_ptr<IWKDemoPlatform> platform,
                                               IWKMainWindow* mainWindow)
    : TWKModuleWithControls(owner), Platform_(std::move(platform)) {
  Name = "DemonstrationModule";
  Playback_ = std::make_unique<TWKDemoPlayback>(*Platform_);
  BindDemoResolution(*Playback_, &Registry_);
  Playback_->OnBeforePlay = [this](TWKDemoPlayback&, bool& cancel) { BeforePlay(cancel); };
  Playback_->OnStopQuery = [this](TWKDemoPlayback&, bool& stop) { StopQuery(stop); };
  Playback_->OnFinish = [this](TWKDemoPlayback&) { Finished(); };
  Playback_->OnError = [this](TWKDemoPlayback&, const std::string& message, bool& stop, const std::string& line) {
    Error(message, stop, line);
  };
  if (mainWindow != nullptr) {
    DemoMenuItem = mainWindow->AddMenuItem(LanguageString(kCaptionText), "", mainWindow->HelpMenuItem(),
                                           nullptr, -1, [this] { ShowDemonstrations(); });
  }
  gModule = this;
  SetDemoRegistry(&Registry_);
}

TWKDemonstrationModule::~TWKDemonstrationModule() {
  if (Playback_->IsRecording()) {
    StopRecordingAll();
    Playback_->EndRecording();
  }
  if (DemoRegistry() == &Registry_) SetDemoRegistry(nullptr);
  if (gModule == this) gModule = nullptr;
  // The playback releases what it holds before the platform it plays on goes.
  Playback_.reset();
}

void TWKDemonstrationModule::ShowDemonstrations() {
  TWKApplication* app = Application();
  TWKDemoScript chosen;
  bool start = false;
  {
    TWKDemoList list(*this);
    std::string error;
    if (!list.Fill(error)) {
      if (app != nullptr) app->MessageBox(error, MB_OK | MB_ICONERROR);
      return;
    }
    std::unique_ptr<IWKDemoListForm> form = ListFormFactory ? ListFormFactory() : nullptr;
    if (form != nullptr && form->ShowModal(list) && list.SelectedScript() != nullptr) {
      // Taken while the list, which owns the scripts, still exists.
      chosen.Assign(*list.SelectedScript());
      chosen.FileName = list.SelectedScript()->FileName;
      start = true;
    }
  }
  if (start) {
    if (IWKToolPanel* panel = ToolPanelService()) panel->SetPanelVisible(true);
    ++LastDemoIndex;
    PlayScript(chosen, true);
    return;
  }
  TWKGraphicsEditor* editor = FindGraphicsEditor();
  if (editor != nullptr && editor->PluginMode() && !PluginFileName.empty()) {
    TWKDocument* document = nullptr;
    editor->OpenFile(PluginFileName, document, true);
  }
}

bool TWKDemonstrationModule::PlayScript(const TWKDemoScript& script, bool fromList) {
  Playback_->LoadScript(script);
  Playback_->Script().FileName = script.FileName;
  const bool started = Playback_->Play(0);
  if (started) ReshowList = fromList;
  return started;
}

void TWKDemonstrationModule::BeforePlay(bool& cancel) {
  if (TWKGraphicsEditor* editor = FindGraphicsEditor()) {
    if (TWKDocument* document = editor->CurrentDocument(); document != nullptr && document->NoSaveQuery)
      document->CloseQuery();
    if (editor->CurrentDocument() != nullptr &&
        (Ask(kCloseImageQuestionText, kQuestionFlags) != IDYES || !CloseImages(*editor))) {
      cancel = true;
      return;
    }
  }
  if (TWKApplication* app = Application()) {
    SavedTitle = app->GetTitle();
    TitleChanged_ = true;
    app->SetTitle(SavedTitle + " - " + Playback_->Script().Title());
  }
}

bool TWKDemonstrationModule::CloseImages(TWKGraphicsEditor& editor) {
  while (TWKDocument* document = editor.CurrentDocument()) {
    if (editor.PluginMode()) {
      PluginFileName = document->FileName;
      document->Save();  // the image goes back into the exchange file
    }
    // Declining in the document's own save prompt cancels, in plug-in mode too; a document
    // that stays although it agreed to close ends the loop as well.
    if (!document->CloseQuery() || editor.CurrentDocument() == document) return false;
  }
  return true;
}

void TWKDemonstrationModule::RestoreTitle() {
  if (!TitleChanged_) return;
  TitleChanged_ = false;
  if (TWKApplication* app = Application()) app->SetTitle(SavedTitle);
}

void TWKDemonstrationModule::ReshowListLater() {
  if (!ReshowList) return;
  ReshowList = false;
  if (TWKApplication* app = Application()) app->PostDeferredCall([this] { ShowDemonstrations(); });
}

void TWKDemonstrationModule::StopQuery(bool& stop) {
  stop = Ask(kStopQuestionText, kQuestionFlags) == IDYES;
  if (!stop) return;
  TWKGraphicsEditor* editor = FindGraphicsEditor();
  if (auto* tool = dynamic_cast<TWKGraphicsTool*>(editor != nullptr ? editor->CurrentTool() : nullptr)) {
    if (Playback_->LeftButtonDown()) tool->ResetControls();
    tool->AfterDemoReset();
  }
  RestoreTitle();
  ReshowListLater();
}

void TWKDemonstrationModule::Finished() {
  RestoreTitle();
  Ask(kFinishedText, MB_OK | MB_ICONINFORMATION);
  ReshowListLater();
}

void TWKDemonstrationModule::Error(const std::string& message, bool& stop, const std::string& line) {
  if (TWKApplication* app = Application())
    app->MessageBox(message + "\n" + line, LanguageString(kCaptionText), MB_OK | MB_ICONERROR);
  if (!stop) return;
  // Stopped by the error: the application is restored as after a requested stop.
  RestoreTitle();
  ReshowListLater();
}

void TWKDemonstrationModule::RecordText(const std::string& text) {
  if (Playback_->IsRecording()) Playback_->RecordLine(text);
}

void TWKDemonstrationModule::RecordMove(const std::string& name) { RecordText("MouseCurvedMove " + name); }

void TWKDemonstrationModule::RecordControl(const std::string& name, const std::string& value) {
  RecordMove(name);
  RecordText(value.empty() ? name : name + " " + value);
}

void TWKDemonstrationModule::RecordMessage(const std::string& text) { RecordText(MessageLine(text)); }

void TWKDemonstrationModule::StartRecordingAll() {
  ForEachDemoParticipant([this](TWKEditor* editor, IWKGraphicsTool* tool) {
    if (editor != nullptr) editor->StartRecording(&Recorder_);
    if (tool != nullptr) tool->StartRecording(&Recorder_);
  });
}

void TWKDemonstrationModule::StopRecordingAll() {
  ForEachDemoParticipant([](TWKEditor* editor, IWKGraphicsTool* tool) {
    if (editor != nullptr) editor->StopRecording();
    if (tool != nullptr) tool->StopRecording();
  });
}

void TWKDemonstrationModule::Localize() {
  if (DemoMenuItem != nullptr) DemoMenuItem->SetCaption(LanguageString(kCaptionText));
}

void TWKDemonstrationModule::LoadSettings(TWKSDFReader& reader) {
  TWKModuleWithControls::LoadSettings(reader);
  if (!reader.OpenNode(1, kSettingsGuid)) return;
  reader.ReadBoolean(1, ShowAtStartup);
  reader.CloseNode();
}

void TWKDemonstrationModule::SaveSettings(TWKSDFWriter& writer) {
  TWKModuleWithControls::SaveSettings(writer);
  writer.BeginNode(1, kSettingsGuid);
  writer.WriteBoolean(1, ShowAtStartup);
  writer.EndNode();
}

void TWKDemonstrationModule::Initialize() {
  if (ShowAtStartup && !StartedOnPhoto) {
    if (TWKApplication* app = Application()) app->PostDeferredCall([this] { ShowDemonstrations(); });
  }
  TWKModuleWithControls::Initialize();
}

void TWKDemonstrationModule::UpdateControls() {
  if (DemoMenuItem != nullptr) DemoMenuItem->SetEnabled(!Playback_->IsPlaying());
}
