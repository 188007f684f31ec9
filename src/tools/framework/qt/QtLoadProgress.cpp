#include "tools/framework/qt/QtLoadProgress.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QStatusBar>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "documents/WKDocumentTexts.h"
#include "documents/WKLoadProgress.h"
#include "framework/WKLocalizer.h"
#include "framework/qt/QtText.h"
#include "tools/framework/WKProgressMeter.h"

namespace {

constexpr TWKLanguageText kOpening{3972, "Opening %s. Press Esc to cancel."};
constexpr int kPercent = 100;
constexpr qint64 kPumpMilliseconds = 50;

// Swallows the user's input while the open runs; Esc asks to call it off.
class TInputBlocker : public QObject {
 public:
  bool Cancelled = false;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) Cancelled = true;
        return true;
      case QEvent::Close:
        event->ignore();  // an accepted close would still go ahead
        return true;
      case QEvent::KeyRelease: case QEvent::ShortcutOverride: case QEvent::Shortcut:
      case QEvent::MouseButtonPress: case QEvent::MouseButtonRelease: case QEvent::MouseButtonDblClick:
      case QEvent::MouseMove: case QEvent::Wheel: case QEvent::ContextMenu:
      case QEvent::DragEnter: case QEvent::DragMove: case QEvent::Drop:
      case QEvent::TouchBegin: case QEvent::TouchUpdate: case QEvent::TouchEnd:
      case QEvent::TabletPress: case QEvent::TabletRelease: case QEvent::TabletMove:
        return true;
      default:
        return QObject::eventFilter(watched, event);
    }
  }
};

struct TOpenState {
  std::unique_ptr<TInputBlocker> Blocker;
  QElapsedTimer SincePump;
  std::vector<QPointer<QLabel>> HiddenPanels;
};

TOpenState& State() {
  static TOpenState state;
  return state;
}

void ShowPercent(int percent) {
  TProgressMeter* meter = ProgressMeter();
  while (meter != nullptr && meter->Position() < percent && meter->Position() < meter->Maximum()) meter->Step();
}

}  // namespace

void InstallQtLoadProgress(QStatusBar& statusBar) {
  QPointer<QStatusBar> bar(&statusBar);
  TWKLoadProgress::SetHooks({
      .Begin =
          [bar](const std::string& fileName) {
            TOpenState& s = State();
            s.Blocker = std::make_unique<TInputBlocker>();
            QCoreApplication::instance()->installEventFilter(s.Blocker.get());
            if (TProgressMeter* meter = ProgressMeter()) meter->Reset(kPercent);
            // The name without its folders: the status bar has room for little more.
            const std::string name = std::filesystem::path(fileName).filename().string();
            if (bar) {
              bar->showMessage(ToQString(FormatText(LanguageString(kOpening), name)));
              // The message takes the room of the fixed panels beside it (a narrow window cut off
              // its hint); they have nothing to show while input is held back.
              for (QLabel* panel : bar->findChildren<QLabel*>(Qt::FindDirectChildrenOnly))
                if (panel->isVisible()) {
                  panel->hide();
                  s.HiddenPanels.emplace_back(panel);
                }
            }
            s.SincePump.start();
            QCoreApplication::processEvents();
          },
      .Update =
          [](double done) {
            TOpenState& s = State();
            if (s.SincePump.elapsed() >= kPumpMilliseconds) {
              ShowPercent(int(done * kPercent));
              QCoreApplication::processEvents();
              s.SincePump.restart();
            }
            return !(s.Blocker && s.Blocker->Cancelled);
          },
      .End =
          [bar] {
            TOpenState& s = State();
            s.Blocker.reset();  // removes the filter
            if (TProgressMeter* meter = ProgressMeter()) meter->Reset(0);
            for (const QPointer<QLabel>& panel : s.HiddenPanels)
              if (panel) panel->show();
            s.HiddenPanels.clear();
            if (bar) bar->clearMessage();
          },
  });
}
