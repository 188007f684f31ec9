// A window for playing scripts on real widgets: a button that counts its clicks and a pad that
// logs what the mouse and the keyboard do to it, both registered for scripts by name, and a
// playback that plays on the given desktop.
#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <string>
#include <vector>

#include "demo/WKDemoPlayback.h"
#include "demo/WKDemoResolver.h"
#include "demo/qt/QtDemoScreenPoints.h"
#include "demo/qt/WKBalloon.h"
#include "tools/framework/WKDemoRegistry.h"

class TPad : public QWidget {
 public:
  std::vector<std::string> Log;
  int Tips = 0;

 protected:
  void mousePressEvent(QMouseEvent* e) override { Add("press", e); }
  void mouseMoveEvent(QMouseEvent* e) override {
    if (e->buttons() != Qt::NoButton) Add("drag", e);
  }
  void mouseReleaseEvent(QMouseEvent* e) override { Add("release", e); }
  void mouseDoubleClickEvent(QMouseEvent* e) override { Add("double", e); }
  void keyPressEvent(QKeyEvent* e) override { Log.push_back("key " + std::to_string(e->key())); }
  bool event(QEvent* e) override {
    if (e->type() == QEvent::ToolTip) ++Tips;
    return QWidget::event(e);
  }

 private:
  void Add(const char* what, QMouseEvent* e) {
    const QPoint p = e->globalPosition().toPoint();
    Log.push_back(std::string(what) + " " + std::to_string(p.x()) + "," + std::to_string(p.y()));
  }
};

// Runs the event loop until done() or the time is up.
template <class F>
bool WaitFor(F done, int ms = 10000) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < ms) QTest::qWait(2);
  return done();
}

inline TWKBalloon* ShownBalloon() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (auto* b = dynamic_cast<TWKBalloon*>(w); b != nullptr && b->isVisible()) return b;
  return nullptr;
}

inline QPoint CenterOf(const QWidget* w) {
  const TPoint p = ControlCenter(w).value_or(TPoint{-1, -1});
  return QPoint(p.X, p.Y);
}

class TDemoTestWindow {
 public:
  TDemoTestWindow(IWKDemoPlatform& platform, QRect geometry) : Playback(platform) {
    Window.setGeometry(geometry);
    auto* layout = new QHBoxLayout(&Window);
    Button = new QPushButton("Go", &Window);
    Pad = new TPad;
    Pad->setMinimumSize(200, 200);
    layout->addWidget(Button);
    layout->addWidget(Pad);
    QObject::connect(Button, &QPushButton::clicked, [this] { ++Clicks; });
    Window.show();
    Window.activateWindow();
    (void)QTest::qWaitForWindowExposed(&Window);
    QTest::qWait(50);
    Registry.RegisterComponent("GoButton", Button, [this] { return ControlCenter(Button); });
    Registry.RegisterComponent("Pad", Pad, [this] { return ControlCenter(Pad); });
    BindDemoResolution(Playback, &Registry);
    Playback.OnError = [this](TWKDemoPlayback&, const std::string& message, bool&, const std::string&) {
      Errors.push_back(message);
    };
  }

  // Plays the lines after "MouseSpeed" speed.
  bool Start(const std::string& lines, int speed = 50) {
    TWKDemoScript script;
    script.LoadFromText("[Script]\nMouseSpeed " + std::to_string(speed) + "\n" + lines);
    Playback.LoadScript(script);
    return Playback.Play(0);
  }
  bool PlayToEnd(const std::string& lines) {
    return Start(lines) && WaitFor([this] { return !Playback.IsPlaying(); });
  }

  QWidget Window;
  QPushButton* Button = nullptr;
  TPad* Pad = nullptr;
  int Clicks = 0;
  TWKDemoRegistry Registry;
  TWKDemoPlayback Playback;
  std::vector<std::string> Errors;
};
