#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <fstream>
#include <thread>

#include "documents/qt/QtFileDialogs.h"
#include "framework/WKLocalizer.h"
#include "framework/qt/QtText.h"
#include "help/WKPreviewLayout.h"
#include "help/WKPreviewWorker.h"
#include "help/qt/PreviewTestFormats.h"
#include "help/qt/WKDialogPreviewThread.h"
#include "help/qt/WKOpenDialog.h"
#include "help/qt/WKSaveDialog.h"
#include "platform/paint/QtPixelPainter.h"

using namespace std::chrono_literals;
using help_test::TPreviewTestFormats;

namespace {

constexpr TBGRPixel Red{20, 30, 220}, Green{40, 200, 60}, Blue{210, 80, 30};

class FileDialogsTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "help_qt_test";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
    // No pixel painter installed here: the dialog needs to see to its own, as in the program.
    const char* data = std::getenv("QM_DATA");
    Previous_ = SetGlobalLocalizer(
        std::make_unique<TWKLocalizer>(std::string(data ? data : "data") + "/Languages", 1033));
    Folder_ = new QTemporaryDir;
    ASSERT_TRUE(Folder_->isValid());
    ASSERT_TRUE(help_test::WriteJpeg(Path("red.jpg"), 2400, 1600, Red));
    ASSERT_TRUE(help_test::WriteJpeg(Path("green.jpg"), 2400, 1600, Green));
    ASSERT_TRUE(help_test::WriteJpeg(Path("blue.jpg"), 1600, 2400, Blue));
    std::ofstream(Path("notes.txt")) << "not a picture\n";
    // The header of a JPEG without its picture: describable, but no thumbnail can be made.
    std::ifstream whole(Path("red.jpg"), std::ios::binary);
    std::string head(700, '\0');
    whole.read(head.data(), std::streamsize(head.size()));
    std::ofstream(Path("cut.jpg"), std::ios::binary) << head;
    QDir(Folder_->path()).mkdir("folder.jpg");
  }
  static void TearDownTestSuite() {
    delete Folder_;
    SetGlobalLocalizer(std::move(Previous_));
  }

  static std::string Path(const char* name) { return ToStdString(Folder_->filePath(name)); }

  static void Select(TWKOpenDialog& dialog, const std::string& path) {
    emit dialog.currentChanged(ToQString(path));
  }

  // Waits until the preview thread has dealt with everything, then runs what it posted.
  static bool Settle(TWKOpenDialog& dialog) {
    for (int i = 0; i < 1000 && !dialog.PreviewThread->Idle(); ++i) std::this_thread::sleep_for(5ms);
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    return dialog.PreviewThread->Idle();
  }

  static QImage Grab(TWKOpenDialog& dialog) { return dialog.PreviewBox->grab().toImage(); }

  static QColor Centre(TWKOpenDialog& dialog) {
    const QImage image = Grab(dialog);
    return image.pixelColor(image.width() / 2, image.height() / 2);
  }

  static bool Near(const QColor& c, TBGRPixel p) {
    return std::abs(c.red() - p.Red) < 12 && std::abs(c.green() - p.Green) < 12 &&
           std::abs(c.blue() - p.Blue) < 12;
  }

  // Only the box's own colour inside a frame of button-shadow colour.
  static void ExpectEmptyFrame(TWKOpenDialog& dialog) {
    const QImage image = Grab(dialog);
    const QRgb face = dialog.PreviewBox->palette().color(QPalette::Window).rgb();
    const QRgb shadow = dialog.PreviewBox->palette().color(QPalette::Dark).rgb();
    EXPECT_EQ(image.pixel(0, 0), shadow);
    EXPECT_EQ(image.pixel(image.width() - 1, image.height() / 2), shadow);
    EXPECT_EQ(image.pixel(image.width() / 2, image.height() - 1), shadow);
    for (int y = 1; y < image.height() - 1; y += 7)
      for (int x = 1; x < image.width() - 1; x += 7)
        if (image.pixel(x, y) != face) {
          ADD_FAILURE() << "painted pixel at " << x << "," << y;
          return;
        }
  }

  TPreviewTestFormats formats;
  static inline QTemporaryDir* Folder_ = nullptr;
  static inline std::unique_ptr<TWKLocalizer> Previous_;
};

}  // namespace

TEST_F(FileDialogsTest, FiltersComeFromTheRegistryAllSupportedSelectedOnOpen) {
  TWKOpenDialog open(nullptr, formats);
  EXPECT_TRUE(open.testOption(QFileDialog::DontUseNativeDialog));
  const QStringList expected = {"JPEG (*.jpg *.jpeg)",
                                "TIFF (*.tif *.tiff)",
                                "PNG (*.png)",
                                "BMP (*.bmp *.rle *.dib)",
                                "All Supported Formats (*.jpg *.jpeg *.tif *.tiff *.png *.bmp *.rle *.dib)",
                                "All Files (*.*)"};
  EXPECT_EQ(open.nameFilters(), expected);
  EXPECT_EQ(open.selectedNameFilter(), expected[4]);
  EXPECT_EQ(open.FilterIndex(), 5);
  TWKFileFormatArray openFormats;
  formats.GetOpenFormats(openFormats);
  EXPECT_EQ(open.Filter(), BuildFilter(openFormats));
  EXPECT_EQ(open.fileMode(), QFileDialog::ExistingFile);

  TWKSaveDialog save(nullptr, formats);
  EXPECT_EQ(save.acceptMode(), QFileDialog::AcceptSave);
  EXPECT_TRUE(save.testOption(QFileDialog::DontConfirmOverwrite));
  EXPECT_EQ(save.nameFilters(), expected.mid(0, 4));
  EXPECT_EQ(save.FilterIndex(), 1);
  save.SetFilterIndex(3);  // the caller's: the document is a PNG
  EXPECT_EQ(save.selectedNameFilter(), "PNG (*.png)");
  EXPECT_EQ(save.FilterIndex(), 3);
  save.SetFilterIndex(0);  // not among the save formats: the selection stays
  save.SetFilterIndex(9);
  EXPECT_EQ(save.FilterIndex(), 3);
}

TEST_F(FileDialogsTest, SidePanelSitsBesideTheFileViewsWithTheBoxAboveSevenLines) {
  TWKOpenDialog dialog(nullptr, formats);
  auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
  ASSERT_NE(grid, nullptr);
  const int at = grid->indexOf(dialog.SidePanel);
  ASSERT_GE(at, 0);
  int row = 0, column = 0, rows = 0, columns = 0;
  grid->getItemPosition(at, &row, &column, &rows, &columns);
  EXPECT_EQ(row, 1);  // below the look-in row
  EXPECT_EQ(column, grid->columnCount() - 1);
  EXPECT_EQ(row + rows, grid->rowCount());
  EXPECT_EQ(dialog.PreviewBox->height(), 224);  // until shown

  dialog.resize(900, 560);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  QCoreApplication::processEvents();
  const QRect panel = dialog.SidePanel->geometry();
  for (auto* view : dialog.findChildren<QAbstractItemView*>()) {
    if (view->isVisible() && view->objectName() == "listView") {
      EXPECT_GE(panel.left(), view->mapTo(&dialog, QPoint(view->width(), 0)).x());
    }
  }
  const int inner = panel.height() - 12;
  const int font = QFontInfo(dialog.InfoLabel->font()).pixelSize();
  EXPECT_EQ(dialog.PreviewBox->height(), PreviewBoxHeight(inner, font));
  EXPECT_EQ(dialog.PreviewBox->geometry().topLeft(), QPoint(6, 6));
  EXPECT_EQ(dialog.PreviewBox->width(), panel.width() - 12);
  EXPECT_EQ(dialog.InfoLabel->geometry().top(), dialog.PreviewBox->geometry().bottom() + 1);
  EXPECT_GE(dialog.InfoLabel->height(), 7 * font);
  EXPECT_TRUE(dialog.InfoLabel->wordWrap());
  EXPECT_EQ(dialog.InfoLabel->font().family(), "Tahoma");

  // The box follows the dialog's size, and the dialog can shrink again.
  dialog.resize(900, 700);
  QCoreApplication::processEvents();
  const int taller = dialog.PreviewBox->height();
  EXPECT_GT(taller, PreviewBoxHeight(inner, font));
  dialog.resize(900, 560);
  QCoreApplication::processEvents();
  EXPECT_EQ(dialog.height(), 560);
  EXPECT_LT(dialog.PreviewBox->height(), taller);
}

TEST_F(FileDialogsTest, ImageShowsDescriptionAndThumbnailMadeForTheBox) {
  TWKOpenDialog dialog(nullptr, formats);
  dialog.resize(900, 560);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  Select(dialog, Path("red.jpg"));
  EXPECT_EQ(dialog.InfoLabel->text(), "\nFormat: JPEG\nDimensions: 2400 x 1600");
  ASSERT_TRUE(Settle(dialog));
  ASSERT_NE(dialog.Thumbnail, nullptr);
  EXPECT_EQ(formats.LastWidth, dialog.PreviewBox->width() - 2);
  EXPECT_EQ(formats.LastHeight, dialog.PreviewBox->height() - 2);
  EXPECT_TRUE(Near(Centre(dialog), Red));
  // A landscape picture fills the width and is centred: above and below it the box's colour.
  const QImage image = Grab(dialog);
  const TSize size = FitThumbnail(2400, 1600, formats.LastWidth, formats.LastHeight);
  const TRect placed = CenterRect(size, Rect(0, 0, image.width(), image.height()));
  EXPECT_TRUE(Near(image.pixelColor(image.width() / 2, placed.Top + 1), Red));
  EXPECT_EQ(image.pixel(image.width() / 2, placed.Top - 1),
            dialog.PreviewBox->palette().color(QPalette::Window).rgb());
  EXPECT_EQ(image.pixel(0, image.height() / 2),
            dialog.PreviewBox->palette().color(QPalette::Dark).rgb());
}

TEST_F(FileDialogsTest, ThreeQuickSelectionsShowOnlyTheLastAndDecodeAtMostTwo) {
  TWKOpenDialog dialog(nullptr, formats);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  formats.CloseGate();
  Select(dialog, Path("red.jpg"));
  ASSERT_TRUE(formats.WaitStarted(1));  // red is being decoded
  Select(dialog, Path("green.jpg"));
  Select(dialog, Path("blue.jpg"));
  QCoreApplication::processEvents();
  ExpectEmptyFrame(dialog);  // nothing yet, and certainly not red
  formats.OpenGate();
  ASSERT_TRUE(Settle(dialog));
  EXPECT_LE(formats.Decodes.load(), 2);
  EXPECT_EQ(formats.Decodes.load(), 2);  // red (already in hand) and blue; green never
  EXPECT_EQ(dialog.PreviewThread->Counts().Dropped, 1);
  ASSERT_NE(dialog.Thumbnail, nullptr);
  EXPECT_TRUE(Near(Centre(dialog), Blue));
  EXPECT_EQ(dialog.InfoLabel->text(), "\nFormat: JPEG\nDimensions: 1600 x 2400");
}

TEST_F(FileDialogsTest, NextSelectionRemovesTheShownThumbnailAtOnce) {
  TWKOpenDialog dialog(nullptr, formats);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  Select(dialog, Path("red.jpg"));
  ASSERT_TRUE(Settle(dialog));
  ASSERT_TRUE(Near(Centre(dialog), Red));
  formats.CloseGate();
  Select(dialog, Path("green.jpg"));
  EXPECT_EQ(dialog.Thumbnail, nullptr);
  ExpectEmptyFrame(dialog);  // red does not linger beside green's description
  formats.OpenGate();
  ASSERT_TRUE(Settle(dialog));
  EXPECT_TRUE(Near(Centre(dialog), Green));
}

// The stale decode is held until the non-image is selected, then finishes; once the thread has
// counted it as dropped and its posted events have run, nothing is left that could paint, so a
// short wait stands for any longer one. A text file is described (without lines) and asks for
// its own thumbnail; a folder is not described at all and asks for nothing.
TEST_F(FileDialogsTest, NonImageAfterImageShowsAnEmptyFrameAndNoInformation) {
  for (const char* other : {"notes.txt", "folder.jpg", "missing.jpg"}) {
    SCOPED_TRACE(other);
    TPreviewTestFormats counted;
    TWKOpenDialog dialog(nullptr, counted);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    counted.CloseGate();
    Select(dialog, Path("red.jpg"));
    ASSERT_TRUE(counted.WaitStarted(1));
    Select(dialog, Path(other));
    EXPECT_EQ(dialog.InfoLabel->text(), "");
    counted.OpenGate();
    ASSERT_TRUE(counted.WaitFinished(1));
    ASSERT_TRUE(Settle(dialog));
    EXPECT_EQ(dialog.PreviewThread->Counts().Dropped, 1);
    EXPECT_EQ(dialog.PreviewThread->Counts().Delivered, 0);
    QTest::qWait(100);
    EXPECT_EQ(dialog.Thumbnail, nullptr);
    EXPECT_EQ(dialog.InfoLabel->text(), "");
    EXPECT_EQ(counted.Draws.load(), 0);
    ExpectEmptyFrame(dialog);
  }
}

// The thread hands the thumbnail on while it is current, but the user selects another file
// before the user-interface thread gets to it: the dialog itself must refuse it.
TEST_F(FileDialogsTest, ThumbnailOvertakenOnItsWayToTheDialogIsNotShown) {
  TWKOpenDialog dialog(nullptr, formats);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  Select(dialog, Path("red.jpg"));
  for (int i = 0; i < 1000 && !dialog.PreviewThread->Idle(); ++i) std::this_thread::sleep_for(5ms);
  ASSERT_EQ(dialog.PreviewThread->Counts().Delivered, 1);  // posted, not yet run
  Select(dialog, Path("notes.txt"));
  ASSERT_TRUE(Settle(dialog));
  EXPECT_EQ(dialog.Thumbnail, nullptr);
  EXPECT_EQ(formats.Draws.load(), 0);
  ExpectEmptyFrame(dialog);
}

TEST_F(FileDialogsTest, NonImageStaysEmptyTwoSecondsLaterWithRealDecodes) {
  TWKOpenDialog dialog(nullptr, formats);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  Select(dialog, Path("red.jpg"));
  Select(dialog, Path("notes.txt"));
  Select(dialog, Path("green.jpg"));
  Select(dialog, Path("folder.jpg"));  // a folder is no image either
  QTest::qWait(2000);
  EXPECT_TRUE(dialog.PreviewThread->Idle());
  EXPECT_EQ(dialog.Thumbnail, nullptr);
  EXPECT_EQ(dialog.InfoLabel->text(), "");
  EXPECT_EQ(formats.Draws.load(), 0);
  ExpectEmptyFrame(dialog);
}

TEST_F(FileDialogsTest, FileWithoutThumbnailKeepsItsDescriptionAndAnEmptyFrame) {
  TWKOpenDialog dialog(nullptr, formats);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  Select(dialog, Path("red.jpg"));
  ASSERT_TRUE(Settle(dialog));
  Select(dialog, Path("cut.jpg"));
  ASSERT_TRUE(Settle(dialog));
  EXPECT_EQ(dialog.InfoLabel->text(), "\nFormat: JPEG\nDimensions: 2400 x 1600");
  EXPECT_EQ(dialog.PreviewThread->Counts().Failed, 1);
  EXPECT_EQ(dialog.Thumbnail, nullptr);
  ExpectEmptyFrame(dialog);
}

TEST_F(FileDialogsTest, ClosingDuringADecodeEndsTheThreadWithoutPainting) {
  TWKOpenDialog dialog(nullptr, formats);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  formats.CloseGate();
  Select(dialog, Path("red.jpg"));
  ASSERT_TRUE(formats.WaitStarted(1));
  dialog.reject();
  EXPECT_TRUE(dialog.PreviewThread->Terminated());
  formats.OpenGate();
  ASSERT_TRUE(formats.WaitFinished(1));
  ASSERT_TRUE(Settle(dialog));
  Select(dialog, Path("blue.jpg"));  // a late selection of the closed dialog asks for nothing
  EXPECT_TRUE(dialog.PreviewThread->Idle());
  EXPECT_EQ(formats.Decodes.load(), 1);
  dialog.show();  // shown again: the closed dialog's thumbnail never arrives
  QCoreApplication::processEvents();
  EXPECT_EQ(dialog.Thumbnail, nullptr);
  EXPECT_EQ(formats.Draws.load(), 0);
  // Shown again, the dialog previews with a fresh thread.
  Select(dialog, Path("green.jpg"));
  ASSERT_TRUE(Settle(dialog));
  EXPECT_TRUE(Near(Centre(dialog), Green));
}

// Closing must not hold the user-interface thread for the decode in hand: the dialog goes while
// the decode is still held, and the released thread ends on its own afterwards.
TEST_F(FileDialogsTest, DestroyingDuringADecodeReturnsAtOnceAndPaintsNothing) {
  auto* dialog = new TWKOpenDialog(nullptr, formats);
  dialog->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog));
  formats.CloseGate();
  Select(*dialog, Path("red.jpg"));
  ASSERT_TRUE(formats.WaitStarted(1));
  dialog->done(QDialog::Rejected);
  delete dialog;  // the gate is still closed: waiting for the thread would never return
  EXPECT_EQ(formats.Finished.load(), 0);
  EXPECT_EQ(TWKPreviewWorker::ReleasedRunning(), 1);
  formats.OpenGate();
  ASSERT_TRUE(formats.WaitFinished(1));
  for (int i = 0; i < 1000 && TWKPreviewWorker::ReleasedRunning() > 0; ++i)
    std::this_thread::sleep_for(5ms);
  EXPECT_EQ(TWKPreviewWorker::ReleasedRunning(), 0);
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents();
  EXPECT_EQ(formats.Draws.load(), 0);

  // Deleted while shown, with a finished thumbnail already posted to it.
  dialog = new TWKOpenDialog(nullptr, formats);
  dialog->show();
  Select(*dialog, Path("green.jpg"));
  for (int i = 0; i < 1000 && !dialog->PreviewThread->Idle(); ++i) std::this_thread::sleep_for(5ms);
  ASSERT_EQ(dialog->PreviewThread->Counts().Delivered, 1);
  delete dialog;  // the posted thumbnail is freed with the event, never shown
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents();
  EXPECT_EQ(formats.Draws.load(), 0);
}

// The end of the event loop waits for released threads, so that none still decodes through a
// registry the program is about to free.
TEST_F(FileDialogsTest, EndOfTheEventLoopJoinsThreadsStillDecoding) {
  auto* dialog = new TWKOpenDialog(nullptr, formats);
  dialog->show();
  formats.CloseGate();
  Select(*dialog, Path("blue.jpg"));
  ASSERT_TRUE(formats.WaitStarted(1));
  delete dialog;
  ASSERT_EQ(TWKPreviewWorker::ReleasedRunning(), 1);
  std::thread opener([this] {
    std::this_thread::sleep_for(50ms);
    formats.OpenGate();
  });
  // What QApplication::exec emits on its way out.
  ASSERT_TRUE(QMetaObject::invokeMethod(QCoreApplication::instance(), "aboutToQuit",
                                        Qt::DirectConnection));
  EXPECT_EQ(formats.Finished.load(), 1);
  EXPECT_EQ(TWKPreviewWorker::ReleasedRunning(), 0);
  opener.join();
  QCoreApplication::processEvents();
  EXPECT_EQ(formats.Draws.load(), 0);
}

// A thumbnail posted by the thread of an earlier showing carries a ticket the fresh thread may
// hand out again; it must not appear in the dialog shown anew.
TEST_F(FileDialogsTest, ThumbnailOfAnEarlierShowingNeverAppearsInTheNextOne) {
  TWKOpenDialog dialog(nullptr, formats);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  Select(dialog, Path("red.jpg"));
  for (int i = 0; i < 1000 && !dialog.PreviewThread->Idle(); ++i) std::this_thread::sleep_for(5ms);
  ASSERT_EQ(dialog.PreviewThread->Counts().Delivered, 1);  // posted, not yet run
  dialog.done(QDialog::Rejected);
  dialog.show();
  formats.CloseGate();
  Select(dialog, Path("green.jpg"));  // the same first ticket on the fresh thread
  ASSERT_TRUE(formats.WaitStarted(2));
  QCoreApplication::sendPostedEvents();
  QCoreApplication::processEvents();
  EXPECT_EQ(dialog.Thumbnail, nullptr);
  formats.OpenGate();
  ASSERT_TRUE(Settle(dialog));
  EXPECT_TRUE(Near(Centre(dialog), Green));
}

TEST_F(FileDialogsTest, SaveDialogPreviewsToo) {
  TWKSaveDialog dialog(nullptr, formats);
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  Select(dialog, Path("green.jpg"));
  ASSERT_TRUE(Settle(dialog));
  EXPECT_TRUE(Near(Centre(dialog), Green));
  EXPECT_EQ(dialog.InfoLabel->text(), "\nFormat: JPEG\nDimensions: 2400 x 1600");
}

TEST_F(FileDialogsTest, ClickingInTheFileListPreviewsTheFile) {
  TWKOpenDialog dialog(nullptr, formats);
  dialog.setDirectory(Folder_->path());
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  auto* list = dialog.findChild<QAbstractItemView*>("listView");
  ASSERT_NE(list, nullptr);
  QModelIndex blue;
  ASSERT_TRUE(QTest::qWaitFor(
      [&] {
        const QAbstractItemModel* model = list->model();
        for (int row = 0; row < model->rowCount(list->rootIndex()); ++row) {
          const QModelIndex index = model->index(row, 0, list->rootIndex());
          if (index.data().toString() == "blue.jpg") blue = index;
        }
        return blue.isValid();
      },
      10000));
  list->scrollTo(blue);
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(blue).center());
  ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.Thumbnail != nullptr; }, 10000));
  EXPECT_TRUE(Near(Centre(dialog), Blue));
}

// Typing a name selects the file in the list without making it current.
TEST_F(FileDialogsTest, TypingAFileNamePreviewsTheFile) {
  TWKOpenDialog dialog(nullptr, formats);
  dialog.setDirectory(Folder_->path());
  dialog.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  auto* list = dialog.findChild<QAbstractItemView*>("listView");
  auto* edit = dialog.findChild<QLineEdit*>("fileNameEdit");
  ASSERT_NE(list, nullptr);
  ASSERT_NE(edit, nullptr);
  ASSERT_TRUE(QTest::qWaitFor([&] { return list->model()->rowCount(list->rootIndex()) >= 5; },
                              10000));
  edit->setFocus();
  QTest::keyClicks(edit, "green.jpg");
  ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.Thumbnail != nullptr; }, 10000));
  EXPECT_TRUE(Near(Centre(dialog), Green));
  EXPECT_FALSE(dialog.InfoLabel->text().isEmpty());
}

TEST_F(FileDialogsTest, EditorDialogsRunTheseDialogsAndKeepTheCallersFilterIndex) {
  TQtFileDialogs dialogs;
  QString title;
  QTimer::singleShot(0, [&] {
    auto* open = qobject_cast<TWKOpenDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(open, nullptr);
    title = open->windowTitle();
    EXPECT_EQ(open->FilterIndex(), 5);
    open->setDirectory(Folder_->path());
    open->selectFile("green.jpg");
    static_cast<QDialog*>(open)->accept();
  });
  std::string chosen;
  ASSERT_TRUE(dialogs.ExecuteOpenDialog(formats, chosen));
  EXPECT_EQ(title, "Open");
  EXPECT_EQ(chosen, Path("green.jpg"));

  TWKFileFormatArray saveFormats;
  formats.GetSaveFormats(saveFormats);
  QTimer::singleShot(0, [&] {
    auto* save = qobject_cast<TWKSaveDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(save, nullptr);
    title = save->windowTitle();
    EXPECT_EQ(save->selectedNameFilter(), "PNG (*.png)");
    save->selectFile("copy");
    save->selectNameFilter("TIFF (*.tif *.tiff)");
    static_cast<QDialog*>(save)->accept();
  });
  std::string name = Path("picture");
  int32_t filterIndex = 3;
  ASSERT_TRUE(dialogs.ExecuteSaveDialog(formats, saveFormats, name, filterIndex));
  EXPECT_EQ(title, "Save");
  EXPECT_EQ(filterIndex, 2);
  EXPECT_EQ(name, Path("copy"));

  QTimer::singleShot(0, [&] { QApplication::activeModalWidget()->close(); });
  name = Path("picture");
  filterIndex = 1;
  EXPECT_FALSE(dialogs.ExecuteSaveDialog(formats, saveFormats, name, filterIndex));
}
