// The demonstration's message balloon: a frameless top-most window shaped as a rounded body
// with a tail whose tip lies on the given screen point. It never takes the focus or the mouse.
#pragma once

#include <QPainterPath>
#include <QRegion>
#include <QWidget>

#include "demo/WKDemoBalloonShape.h"
#include "demo/WKDemoPlatform.h"

class TWKBalloon : public QWidget, public IWKDemoBalloon {
 public:
  static constexpr int kMaxTextWidth = 350;

  explicit TWKBalloon(QWidget* owner = nullptr);

  void ShowAt(int32_t x, int32_t y, int32_t style, const std::string& text) override;
  void HideBalloon() override { hide(); }

  const TWKBalloonShape& Shape() const { return Shape_; }
  const QString& Text() const { return Text_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QPainterPath Outline() const;

  TWKBalloonShape Shape_;
  QString Text_;
  QRegion Border_;
};
