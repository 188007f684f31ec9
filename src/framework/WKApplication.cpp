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
  Deferred_.clear();
  if (gApplication == this) gApplication = nullptr;
}

void TWKApplication::SetMessageLoop(std::unique_ptr<IWKMessageLoop> loop) { Loop_ = std::move(loop); }

void TWKApplication::SetMessageBoxService(std::unique_ptr<IWKMessageBoxService> service) {
  MessageBox_ = std::move(service);
}

void TWKApplication::SetTitle(const std::string& title) {
  Title_ = title;
  if (OnTitleChange) OnTitleChange();
}

void TWKApplication::ComponentRemoved(TWKComponent* component) {
  if (component == MainForm_) MainForm_ = nullptr;
}

int TWKApplication::MessageBox(const std::string& text, const std::string& caption, int flags) {
  if (MessageBox_) return MessageBox_->MessageBox(text, caption, flags);
  std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
  return 0;
}

int TWKApplication::MessageBox(const std::string& text, int flags) {
  return MessageBox(text, Title_, flags);
}

void TWKApplication::Idle() {
  bool done = true;
  if (OnIdle) OnIdle(done);
  if (done) IdleHandlers_.CallAll();
}

void TWKApplication::PostDeferredCall(TWKProcedure procedure, void* data) {
  if (procedure == nullptr) return;
  PostDeferredCall([procedure, data] { procedure(data); });
}

void TWKApplication::PostDeferredCall(std::function<void()> call) {
  if (MainForm_ == nullptr || !call) return;
  Deferred_.push_back(std::move(call));
  if (Deferred_.size() == 1 && Loop_) Loop_->PostDeferredCallMessage();
}

void TWKApplication::ProcessDeferredCall() {
  if (Deferred_.empty()) return;
  // The call stays queued while it runs, so calls it queues wait for their own message.
  const std::function<void()> call = Deferred_.front();
  call();
  Deferred_.pop_front();
  if (!Deferred_.empty() && Loop_) Loop_->PostDeferredCallMessage();
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
  if (!SettingsFileName_.empty()) return SettingsFileName_;
  return SettingsFileNameFor(ExecutablePath(), UserConfigFolder(), kProgramName);
}

void TWKApplication::LoadSettingsAndInitialize() {
  SettingsPhase_ = true;
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
  SettingsPhase_ = false;
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
  if (Loop_) Loop_->Run();
  SaveSettings();
}
