// The whole program inside a test: the composition the executable builds, on the offscreen
// platform, with the program's languages and data, a settings file of its own, message boxes
// that answer by themselves and remember what they said, and a demonstration desktop whose
// clock may run faster than the wall clock.
#pragma once

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QScreen>
#include <QTest>
#include <QWidget>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "app/Composition.h"
#include "demo/WKDemonstrationModule.h"
#include "demo/qt/QtDemoPlatform.h"
#include "documents/WKGraphicsDocument.h"
#include "documents/WKGraphicsEditor.h"
#include "framework/TempFolder.h"
#include "framework/WKApplication.h"
#include "framework/WKLocalizer.h"
#include "framework/qt/CommonDataModule.h"
#include "framework/qt/MainForm.h"
#include "framework/qt/QtMessageLoop.h"
#include "tools/framework/WKGraphicsTool.h"

struct TShownMessage {
  std::string Text, Caption;
  int Flags;
};

// Answers questions with the queued answers, then with Yes (or the given answer), and every
// other box with OK.
class TAnsweringMessageBoxes : public IWKMessageBoxService {
 public:
  TAnsweringMessageBoxes(std::vector<TShownMessage>& shown, int& answer, std::deque<int>& queued)
      : Shown_(shown), Answer_(answer), Queued_(queued) {}
  int MessageBox(const std::string& text, const std::string& caption, int flags) override {
    Shown_.push_back({text, caption, flags});
    const int buttons = flags & MB_BUTTONMASK;
    if (buttons != MB_YESNO && buttons != MB_YESNOCANCEL) return IDOK;
    if (Queued_.empty()) return Answer_;
    const int answer = Queued_.front();
    Queued_.pop_front();
    return answer;
  }

 private:
  std::vector<TShownMessage>& Shown_;
  int& Answer_;
  std::deque<int>& Queued_;
};

// The real desktop with its clock running Speed times as fast, remembering the balloons' texts.
class TFastDesktop : public IWKDemoPlatform {
 public:
  explicit TFastDesktop(int speed, std::vector<std::string>& balloons) : Speed_(speed), Balloons_(balloons) {}

  int64_t Now() override { return Inner_.Now() * Speed_; }
  bool CanControlPointer(std::string& reason) override { return Inner_.CanControlPointer(reason); }
  TPoint PointerPos() override { return Inner_.PointerPos(); }
  void SetPointerPos(TPoint point) override { Inner_.SetPointerPos(point); }
  void InjectButton(TWKPhysicalButton button, bool down) override { Inner_.InjectButton(button, down); }
  bool ButtonsSwapped() override { return Inner_.ButtonsSwapped(); }
  void SetPointerVisible(bool visible) override { Inner_.SetPointerVisible(visible); }
  void SetHintsEnabled(bool enabled) override { Inner_.SetHintsEnabled(enabled); }
  std::unique_ptr<IWKDemoBalloon> CreateBalloon() override {
    return std::make_unique<TBalloon>(Inner_.CreateBalloon(), Balloons_);
  }
  void WatchApplication(IWKDemoAppWatcher* watcher) override { Inner_.WatchApplication(watcher); }
  void StartPacing(std::function<bool()> tick) override { Inner_.StartPacing(std::move(tick)); }
  void StopPacing() override { Inner_.StopPacing(); }

 private:
  class TBalloon : public IWKDemoBalloon {
   public:
    TBalloon(std::unique_ptr<IWKDemoBalloon> inner, std::vector<std::string>& texts)
        : Inner_(std::move(inner)), Texts_(texts) {}
    void ShowAt(int32_t x, int32_t y, int32_t style, const std::string& text) override {
      Texts_.push_back(text);
      Inner_->ShowAt(x, y, style, text);
    }
    void HideBalloon() override { Inner_->HideBalloon(); }

   private:
    std::unique_ptr<IWKDemoBalloon> Inner_;
    std::vector<std::string>& Texts_;
  };

  TQtDemoPlatform Inner_;
  int Speed_;
  std::vector<std::string>& Balloons_;
};

// Runs the event loop until done() or the time is up; answers done().
template <class F>
bool RunUntil(F done, int ms) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < ms) QTest::qWait(5);
  return done();
}

// The program's localiser for as long as it lives.
class TProgramLocalizer {
 public:
  TProgramLocalizer(const std::string& folder, uint16_t language)
      : Previous_(SetGlobalLocalizer(std::make_unique<TWKLocalizer>(folder, language))) {}
  ~TProgramLocalizer() { SetGlobalLocalizer(std::move(Previous_)); }

 private:
  std::unique_ptr<TWKLocalizer> Previous_;
};

class TProgram {
 public:
  // The program's data as the build copies it beside the executable.
  static std::string DataFolder(const std::string& subfolder) {
    const char* binary = std::getenv("QM_BINARY_DIR");
    return std::string(binary != nullptr ? binary : ".") + "/bin/" + subfolder + "/";
  }

  // speed: how much faster the demonstrations' clock runs.
  explicit TProgram(int speed = 1, uint16_t language = 1033) : Languages_(DataFolder("Languages"), language) {
    App.SetMessageLoop(std::make_unique<TQtMessageLoop>(App));
    App.SetMessageBoxService(std::make_unique<TAnsweringMessageBoxes>(Messages, Answer, Answers));
    App.SetSettingsFileName(Settings / "Quillmoor.cfg");
    App.SetTitle("Quillmoor");
    App.CreateForm<TCommonDataModule>();
    TCompositionOptions options;
    options.DemoPlatform = [this, speed] { return std::make_unique<TFastDesktop>(speed, Balloons); };
    App.CreateForm<TModule>(options);
    Demo = DemonstrationModule();
    Editor = FindGraphicsEditor();
    Form = dynamic_cast<TMainForm*>(App.MainForm());
    Editor->DemoFolder = Demo->DemoFolder = DataFolder("Demo");
  }
  // Settings, initialisation and start as the program runs them, then the main window shown.
  void Start(bool listAtStartup = false) {
    Demo->ShowAtStartup = listAtStartup;
    App.LoadSettingsAndInitialize();
    // Wide enough on a wide screen for every standard tool-bar button, German captions too.
    const QRect screen = Form->screen()->availableGeometry();
    const bool roomy = screen.width() >= 1280 && screen.height() >= 760;
    Form->setGeometry(20, 40, roomy ? 1240 : 760, roomy ? 700 : 540);
    Form->show();
    Form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form));
    QTest::qWait(50);
  }

  TWKGraphicsDocument* Document() const { return Editor->CurrentImageDocument(); }
  std::vector<TShownMessage> ErrorMessages() const {
    std::vector<TShownMessage> errors;
    for (const TShownMessage& m : Messages)
      if ((m.Flags & MB_ICONMASK) == MB_ICONERROR) errors.push_back(m);
    return errors;
  }

  TProgramLocalizer Languages_;
  TTempFolder Settings;
  std::vector<TShownMessage> Messages;
  std::vector<std::string> Balloons;
  int Answer = IDYES;
  std::deque<int> Answers;  // the next questions' answers, before Answer
  TWKApplication App;
  TWKDemonstrationModule* Demo = nullptr;
  TWKGraphicsEditor* Editor = nullptr;
  TMainForm* Form = nullptr;
};
