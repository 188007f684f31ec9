#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QStatusBar>
#include <QTest>
#include <QThread>
#include <QToolButton>

#include <algorithm>
#include <vector>

#include "support/QtTestApplication.h"
#include "framework/WKApplication.h"
#include "framework/WKSDFReader.h"
#include "framework/WKSDFWriter.h"
#include "framework/WKStreams.h"
#include "framework/qt/MainForm.h"
#include "framework/WKProgramCursors.h"
#include "tools/framework/qt/QtLoadProgress.h"
#include "tools/framework/qt/QtProgressBar.h"
#include "documents/WKLoadProgress.h"
#include "framework/qt/WKCursors.h"
#include "tools/framework/qt/WKToolPanel.h"

namespace {

class ToolPanelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app = std::make_unique<TWKApplication>();
    form = app->CreateForm<TMainForm>();
    panel = app->CreateModule<TWKToolPanelModule>(*form);
  }

  // The settings node of the panel with the given item-1 bytes.
  static std::vector<uint8_t> Settings(const uint8_t* bytes, uint32_t size) {
    TWKMemoryStream stream;
    {
      TWKSDFWriter writer(&stream, false);
      writer.BeginNode(1, TWKToolPanelModule::kSettingsGuid);
      writer.WriteBinary(1, bytes, size);
      writer.EndNode();
    }
    return stream.Bytes();
  }
  void Load(const std::vector<uint8_t>& bytes) {
    TWKSDFReader reader(new TWKMemoryStream(bytes), true);
    panel->LoadSettings(reader);
  }

  std::unique_ptr<TWKApplication> app;
  TMainForm* form = nullptr;
  TWKToolPanelModule* panel = nullptr;
};

TEST_F(ToolPanelTest, PanelDocksRightWithTheMenuItemBeforeToolbars) {
  EXPECT_EQ(ToolPanel(), panel);
  EXPECT_EQ(ToolPanelService(), panel);
  EXPECT_EQ(form->dockWidgetArea(panel->Panel), Qt::RightDockWidgetArea);
  EXPECT_FALSE(panel->Panel->features() & QDockWidget::DockWidgetFloatable);
  EXPECT_EQ(panel->Panel->allowedAreas(), Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
  const QList<QAction*> view = form->ViewMenuItem->menu()->actions();
  const auto at = view.indexOf(panel->VisibleMenuItem);
  ASSERT_GE(at, 0);
  EXPECT_EQ(view[at + 1], form->ToolbarsMenuItem);
  EXPECT_EQ(panel->Panel->windowTitle(), "Tools");

  panel->VisibleMenuItem->trigger();
  EXPECT_FALSE(panel->PanelVisible());
  panel->UpdateControls();
  EXPECT_FALSE(panel->VisibleMenuItem->isChecked());
  panel->VisibleMenuItem->trigger();
  panel->UpdateControls();
  EXPECT_TRUE(panel->VisibleMenuItem->isChecked());
}

TEST_F(ToolPanelTest, PanelTakesTheLargestWidthAskedFor) {
  panel->SetPanelWidth(272);
  panel->SetPanelWidth(264);
  EXPECT_EQ(panel->PanelWidth(), 272);
  EXPECT_EQ(panel->Panel->minimumWidth(), 272);
  EXPECT_EQ(panel->Panel->maximumWidth(), 272);
  panel->SetPanelWidth(100);  // below the 200 it starts with
  EXPECT_EQ(panel->PanelWidth(), 272);
}

TEST_F(ToolPanelTest, WideSeparatorStartsANewRowAndTheFrameFollowsTheBar) {
  int clicks = 0;
  IWKToolButton* a = panel->AddToolButton("Smudge", [&] { ++clicks; });
  panel->AddToolButton("Undo brush", {});
  panel->AddToolSeparator(1000);
  IWKToolButton* c = panel->AddToolButton("Red Eye Correction", {});
  auto* first = static_cast<TQtToolButton*>(a)->Widget();
  auto* third = static_cast<TQtToolButton*>(c)->Widget();
  panel->ToolFrame->resize(180, 10);
  panel->Toolbar->resize(180, panel->Toolbar->HeightFor(180));
  panel->Toolbar->layout()->activate();
  panel->Toolbar->layout()->setGeometry(QRect(0, 0, 180, panel->Toolbar->HeightFor(180)));
  EXPECT_EQ(first->y(), 0);
  EXPECT_GT(third->y(), first->y());  // second row
  EXPECT_EQ(third->x(), 0);
  const int rowHeight = first->sizeHint().height();
  EXPECT_EQ(panel->Toolbar->HeightFor(180), 2 * rowHeight);
  panel->ToolFrame->ToolbarResize();
  EXPECT_EQ(panel->ToolFrame->height(), 2 * rowHeight + 6);

  first->click();
  EXPECT_EQ(clicks, 1);
  a->SetChecked(true);
  EXPECT_TRUE(a->Checked());
  a->SetVisible(false);
  EXPECT_FALSE(a->Visible());
  EXPECT_EQ(c->Caption(), "Red Eye Correction");
}

TEST_F(ToolPanelTest, ShownPanelKeepsTheBarAtItsWidthAndEveryRowInTheFrame) {
  panel->AddToolSeparator(6);
  IWKToolButton* a = panel->AddToolButton("Resize", {});
  panel->AddToolSeparator(6);
  panel->AddToolButton("Lighting", {});
  panel->AddToolSeparator(1000);
  IWKToolButton* c = panel->AddToolButton("Red Eye Correction", {});
  form->resize(900, 600);
  form->show();
  QApplication::processEvents();
  auto* third = static_cast<TQtToolButton*>(c)->Widget();
  EXPECT_EQ(panel->Toolbar->width(), panel->ToolFrame->width()) << "the row break is not as wide as its hint";
  EXPECT_EQ(third->x(), 0);
  EXPECT_LE(third->geometry().bottom(), panel->ToolFrame->height());
  // Hiding a button lays the rows out again.
  const int before = panel->ToolFrame->height();
  c->SetVisible(false);
  QApplication::processEvents();
  EXPECT_LT(panel->ToolFrame->height(), before);
  EXPECT_TRUE(static_cast<TQtToolButton*>(a)->Widget()->isVisible());
  form->hide();
}

// Shown in the main window, without any help from the test, the buttons lie side by side and
// re-wrap when the panel changes width.
TEST_F(ToolPanelTest, ShownButtonsShareARowAndFollowThePanelsWidth) {
  std::vector<QToolButton*> buttons;
  for (const char* caption : {"R", "G", "P", "C"})  // without images the captions show
    buttons.push_back(static_cast<TQtToolButton*>(panel->AddToolButton(caption, {}))->Widget());
  form->resize(900, 600);
  form->show();
  QApplication::processEvents();
  for (QToolButton* b : buttons) EXPECT_EQ(b->y(), buttons.front()->y()) << b->text().toStdString();
  EXPECT_GT(buttons.back()->x(), buttons.front()->x());
  EXPECT_GE(panel->ToolFrame->height(), buttons.front()->height());

  // Too narrow for four: they wrap at once, and the frame grows to show every row.
  panel->ToolFrame->resize(buttons.front()->width() * 2 + 4, panel->ToolFrame->height());
  EXPECT_EQ(panel->Toolbar->width(), panel->ToolFrame->width());
  EXPECT_GT(buttons.back()->y(), buttons.front()->y());
  EXPECT_GE(panel->ToolFrame->height(), buttons.back()->y() + buttons.back()->height());
}

TEST_F(ToolPanelTest, SettingsRecordIsAppliedOnlyWhenWhole) {
  TWKPanelState hidden;
  hidden.Visible = false;
  hidden.DockSide = TDockSide::Left;
  hidden.DockedWidth = 230;
  const auto bytes = hidden.ToBytes();

  // A shorter stored value, even with a correct size field, keeps the defaults.
  Load(Settings(bytes.data(), 20));
  EXPECT_TRUE(panel->PanelVisible());
  EXPECT_EQ(form->dockWidgetArea(panel->Panel), Qt::RightDockWidgetArea);
  auto wrongSize = bytes;
  wrongSize[0] = 46;
  Load(Settings(wrongSize.data(), 47));
  EXPECT_TRUE(panel->PanelVisible());

  Load(Settings(bytes.data(), 47));
  EXPECT_FALSE(panel->PanelVisible());
  EXPECT_EQ(form->dockWidgetArea(panel->Panel), Qt::LeftDockWidgetArea);

  // What is saved reads back as the same record.
  TWKMemoryStream stream;
  {
    TWKSDFWriter writer(&stream, false);
    panel->SaveSettings(writer);
  }
  TWKSDFReader reader(new TWKMemoryStream(stream.Bytes()), true);
  ASSERT_TRUE(reader.OpenNode(1, TWKToolPanelModule::kSettingsGuid));
  std::array<uint8_t, 47> saved{};
  ASSERT_TRUE(reader.ReadBinary(1, saved.data(), 47));
  const auto state = TWKPanelState::FromBytes(saved.data(), saved.size());
  ASSERT_TRUE(state);
  EXPECT_FALSE(state->Visible);
  EXPECT_FALSE(state->Floating);
  EXPECT_EQ(state->DockSide, TDockSide::Left);
}

TEST_F(ToolPanelTest, ProgressMeterDrivesTheStatusBar) {
  TStatusProgress progress(*form->StatusBar, 200);
  EXPECT_EQ(ProgressMeter(), progress.Meter.get());
  QProgressBar* bar = progress.Bar->Bar();
  EXPECT_EQ(bar->width(), 200);
  form->show();
  EXPECT_FALSE(bar->isVisible());  // nothing to show yet
  progress.Meter->Reset(4);
  progress.Meter->Step();
  EXPECT_EQ(bar->maximum(), 4);
  EXPECT_EQ(bar->value(), 1);
  EXPECT_TRUE(bar->isVisible());
  progress.Meter->Reset(0);
  EXPECT_EQ(bar->value(), 0);
  EXPECT_GT(bar->maximum(), 0);  // an empty bar, not a busy one
  EXPECT_FALSE(bar->isVisible());
}

// A long open names its file and shows its share done, swallows the user's input but Esc, and
// Esc calls it off; its end clears the status bar and lets input through again. Its message
// takes the room of the fixed panels, whole in a 1000-pixel window.
TEST_F(ToolPanelTest, ALongOpenShowsItsProgressAndEscCallsItOff) {
  std::vector<QLabel*> panels;
  for (const char* caption : {"X:", "Y:", "W:", "H:", "R:", "G:", "B:", "-"}) {
    panels.push_back(new QLabel(caption, form->StatusBar));
    panels.back()->setFixedWidth(85);  // a name and value panel of the editor's
    form->StatusBar->addPermanentWidget(panels.back());
  }
  panels.back()->hide();  // a panel hidden before the open stays so after it
  TStatusProgress progress(*form->StatusBar, 200);
  InstallQtLoadProgress(*form->StatusBar);
  QProgressBar* bar = progress.Bar->Bar();
  QToolButton button(form);
  button.resize(40, 20);
  form->resize(1000, 600);
  form->show();
  int clicks = 0;
  QObject::connect(&button, &QToolButton::clicked, [&clicks] { ++clicks; });
  {
    TWKLoadProgress open("/photos/2026/panorama.jpg");
    EXPECT_TRUE(TWKLoadProgress::Report(0.0));
    EXPECT_EQ(form->StatusBar->currentMessage().toStdString(), "Opening panorama.jpg. Press Esc to cancel.");
    QApplication::processEvents();
    EXPECT_TRUE(bar->isVisible());
    int room = bar->mapTo(form->StatusBar, QPoint(0, 0)).x();  // up to the first panel shown
    for (const QLabel* panel : panels)
      if (panel->isVisible()) room = std::min(room, panel->x());
    EXPECT_LE(form->StatusBar->fontMetrics().horizontalAdvance(form->StatusBar->currentMessage()), room);
    QTest::mouseClick(&button, Qt::LeftButton);
    EXPECT_EQ(clicks, 0);
    QThread::msleep(60);  // the meter follows at most every 50 ms
    EXPECT_TRUE(TWKLoadProgress::Report(0.5));
    EXPECT_EQ(bar->value(), 50);
    QTest::keyClick(form, Qt::Key_Escape);
    EXPECT_FALSE(TWKLoadProgress::Report(0.6));
    EXPECT_TRUE(TWKLoadProgress::Cancelled());
  }
  EXPECT_TRUE(form->StatusBar->currentMessage().isEmpty());
  EXPECT_EQ(bar->value(), 0);
  for (size_t k = 0; k + 1 < panels.size(); ++k) EXPECT_TRUE(panels[k]->isVisible()) << k;
  EXPECT_FALSE(panels.back()->isVisible());
  QTest::mouseClick(&button, Qt::LeftButton);
  EXPECT_EQ(clicks, 1);
  TWKLoadProgress::SetHooks({});
}

TEST(ProgramCursors, EveryProgramCursorIsDrawnWithItsName) {
  LoadProgramCursors();
  for (int n = 1; n <= 12; ++n) {
    EXPECT_TRUE(HasProgramCursor(n)) << n;
    EXPECT_FALSE(ProgramCursorName(n).empty());
    const QImage image = ProgramCursorImage(n);
    ASSERT_FALSE(image.isNull());
    int opaque = 0;
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) opaque += qAlpha(image.pixel(x, y)) > 128;
    EXPECT_GT(opaque, 20) << n;  // something is drawn
  }
  EXPECT_TRUE(HasProgramCursor(100));
  EXPECT_EQ(ProgramCursorName(100), "Hand");
  EXPECT_EQ(ProgramCursorName(1), "Eyedropper");
  EXPECT_EQ(ProgramCursorName(12), "Unknown");
  EXPECT_FALSE(HasProgramCursor(13));
  EXPECT_EQ(ProgramCursor(13).shape(), Qt::ArrowCursor);
  EXPECT_EQ(ProgramCursor(0).shape(), Qt::ArrowCursor);
  EXPECT_EQ(ProgramCursor(-3).shape(), Qt::CrossCursor);
  EXPECT_EQ(ProgramCursor(2).shape(), Qt::BitmapCursor);
  // Different cursors look different.
  EXPECT_NE(ProgramCursorImage(2), ProgramCursorImage(3));
  EXPECT_NE(ProgramCursorImage(4), ProgramCursorImage(5));
}

}  // namespace
