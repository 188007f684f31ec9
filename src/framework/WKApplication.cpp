#include "framework/WKApplication.h"

#include <cstdio>

#include "framework/WKAtomicFile.h"
#include "framework/WKModule.h"
#include "framework/WKPaths.h"
#include "framework/WKSDFReader.h"
#include "framework/WKSDFWriter.h"

namespace {
TWKApplication* gApplication = nullptr;
constexpr const char* kProgramName = "Quillmoor";
}  // namespace

TWKApplication* Application() { return gApplication; }

TWKApplication::TWKApplication() : TWKComponent(nullptr) {
  if (gApplication == nullptr) gApplication = this;
}

TWKApplication::~TWKApplication() {
  // Components unregister their handlers from this object while they go.
  DestroyComponents();
  deferred_.clear();
  if (gApplication == this) gApplication = nullptr;
}

void TWKApplication::SetMessageLoop(std::unique_ptr<IWKMessageLoop> loop) { loop_ = std::move(loop); }

void TWKApplication::SetMessageBoxService(std::unique_ptr<IWKMessageBoxService> service) {
  messageBox_ = std::move(service);
}

void TWKApplication::SetTitle(const std::string& title) {
  title_ = title;
  if (OnTitleChange) OnTitleChange();
}

void TWKApplication::ComponentRemoved(TWKComponent* component) {
  if (component == mainForm_) mainForm_ = nullptr;
}

int TWKApplication::MessageBox(const std::string& text, const std::string& caption, int flags) {
  if (messageBox_) return messageBox_->MessageBox(text, caption, flags);
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  return 0;
}

int TWKApplication::MessageBox(const std::string& text, int flags) {
  return MessageBox(text, title_, flags);
}

void TWKApplication::Idle() {
  bool done = true;
  if (OnIdle) OnIdle(done);
  if (done) idleHandlers_.CallAll();
}

void TWKApplication::PostDeferredCall(TWKProcedure procedure, void* data) {
  if (procedure == nullptr) return;
  PostDeferredCall([procedure, data] { procedure(data); });
}

void TWKApplication::PostDeferredCall(std::function<void()> call) {
  if (mainForm_ == nullptr || !call) return;
  deferred_.push_back(std::move(call));
  if (deferred_.size() == 1 && loop_) loop_->PostDeferredCallMessage();
}

void TWKApplication::ProcessDeferredCall() {
  if (deferred_.empty()) return;
  // The call stays queued while it runs, so calls it queues wait for their own message.
  const std::function<void()> call = deferred_.front();
  call();
  deferred_.pop_front();
  if (!deferred_.empty() && loop_) loop_->PostDeferredCallMessage();
}

std::string TWKApplication::SettingsFileNameFor(const std::string& executablePath,
                                                const std::string& configFolder,
                                                const std::string& programName) {
  if (!configFolder.empty()) {
    std::string folder = configFolder;
    if (folder.back() != '/') folder += '/';
    return folder + programName + "/" + programName + ".cfg";
  }
  return ChangeFileExt(executablePath, ".cfg");
}

std::string TWKApplication::SettingsFileName() const {
  if (!settingsFileName_.empty()) return settingsFileName_;
  return SettingsFileNameFor(ExecutablePath(), UserConfigFolder(), kProgramName);
}

void TWKApplication::LoadSettingsAndInitialize() {
  settingsPhase_ = true;
  std::unique_ptr<TWKSDFReader> reader;
  const std::string fileName = SettingsFileName();
  if (FileExists(fileName)) {
    auto stream = std::make_unique<TWKFileStream>(fileName, TWKFileStream::TMode::Read);
    if (stream->IsOpen()) reader = std::make_unique<TWKSDFReader>(stream.release(), true);
  }
  // Index-based: a participant may create further components while it initialises.
  for (int i = 0; i < ComponentCount(); ++i) {
    auto* module = dynamic_cast<IWKModule*>(Components(i));
    if (module == nullptr) continue;
    if (reader) {
      while (reader->CurrentNode() != nullptr) reader->CloseNode();
      module->LoadSettings(*reader);
    }
    module->Initialize();
  }
  reader.reset();
  for (int i = 0; i < ComponentCount(); ++i)
    if (auto* module = dynamic_cast<IWKModule*>(Components(i))) module->Start();
}

bool TWKApplication::SaveSettings() {
  settingsPhase_ = false;
  TWKMemoryStream stream;
  {
    TWKSDFWriter writer(&stream, false);
    for (int i = 0; i < ComponentCount(); ++i)
      if (auto* module = dynamic_cast<IWKModule*>(Components(i))) module->SaveSettings(writer);
  }
  if (stream.Size() == 0) return false;
  return WriteFileAtomically(SettingsFileName(), stream.Bytes().data(), stream.Bytes().size());
}

void TWKApplication::Run() {
  LoadSettingsAndInitialize();
  ShowHint = true;
  if (loop_) loop_->Run();
  SaveSettings();
}
