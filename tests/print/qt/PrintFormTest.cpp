#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPageLayout>
#include <QPageSize>
#include <QProcess>
#include <QTimer>
#include <QTemporaryDir>
#include <QtTest/QTest>

#include "GraphicsEditorFixture.h"
#include "documents/WKGraphicsDocument.h"
#include "framework/qt/QtText.h"
#include "platform/paint/QtPixelPainter.h"
#include "print/qt/WKGraphicsPrintForm.h"
#include "print/qt/WKGraphicsPrintModule.h"
#include "print/qt/WKPrinter.h"
#include "support/QtTestApplication.h"

namespace {

using ::testing::_;
using ::testing::HasSubstr;
using ::testing::Return;

// Letter (215.9 × 279.4 mm) at 254 dpi, where one device pixel is a tenth of a millimetre,
// with margins of 12.7, 25.4, 25.4 and 12.7 mm so that the printable area is not centred on
// the paper. Sizes in whole points keep the pixels exact: 2159 × 2794, margins 127 and 254.
void UsePdf(TWKPrinter& printer, const QString& fileName) {
  printer.UsePdfFile(fileName);
  QPrinter& device = printer.Device();
  device.setResolution(254);
  device.setPageSize(QPageSize(QPageSize::Letter));
  device.setPageOrientation(QPageLayout::Portrait);
  device.setPageMargins(QMarginsF(36, 72, 72, 36), QPageLayout::Point);
}

class PrintFormTest : public GraphicsEditorTest {
 protected:
  PrintFormTest() {
    InstallQtPixelPainter();
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    UsePdf(Printer, Temp.filePath("page.pdf"));
  }
  ~PrintFormTest() override { QLocale::setDefault(QLocale::c()); }

  // An open image of a solid colour with the given resolution.
  TWKGraphicsDocument* OpenImage(int32_t width, int32_t height, int32_t dpi) {
    TWKGraphicsDocument* document = Open(MakeImage("photo.png", width, height));
    if (document == nullptr) return nullptr;
    document->Metadata.ResolutionX = dpi;
    document->Metadata.ResolutionY = dpi;
    const TWKPixels& pixels = *document->CurrentImage.Pixels();
    for (int32_t y = 0; y < height; ++y) {
      auto* row = static_cast<uint8_t*>(pixels.Bits) + size_t(y) * pixels.RowBytes;
      for (int32_t x = 0; x < width; ++x) {
        row[3 * x] = 40;       // blue
        row[3 * x + 1] = 60;   // green
        row[3 * x + 2] = 220;  // red
      }
    }
    return document;
  }

  std::unique_ptr<TWKGraphicsPrintForm> NewForm(TWKGraphicsDocument* document) {
    auto form = std::make_unique<TWKGraphicsPrintForm>(nullptr, Printer);
    form->SetDocument(document);
    return form;
  }

  static void Type(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
  }
  static void Leave(QLineEdit* edit) {
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(edit, &out);
  }

  // The box of the page's printed pixels, in pixels of a rendering at 254 dpi.
  QRect PrintedBox() {
    const QString png = Temp.filePath("page");
    const int rc = QProcess::execute("pdftoppm", {"-r", "254", "-png", "-singlefile",
                                                  Printer.Device().outputFileName(), png});
    EXPECT_EQ(rc, 0) << "pdftoppm failed";
    const QImage page(png + ".png");
    EXPECT_EQ(page.size(), QSize(2159, 2794));
    QRect box;
    for (int y = 0; y < page.height(); ++y)
      for (int x = 0; x < page.width(); ++x) {
        const QRgb p = page.pixel(x, y);
        // The image's colour, not the white paper nor a blended edge.
        if (qRed(p) > 200 && qGreen(p) < 90 && qBlue(p) < 70) box |= QRect(x, y, 1, 1);
      }
    return box;
  }

  QTemporaryDir Temp;
  TWKPrinter Printer;
};

// The page is written with its transform to nine decimals, so a rasteriser may take in the
// pixel before an edge that falls on a pixel boundary: each edge may be one pixel off.
void ExpectEdgesNear(const QRect& printed, const QRect& expected) {
  EXPECT_NEAR(printed.left(), expected.left(), 1) << "left";
  EXPECT_NEAR(printed.top(), expected.top(), 1) << "top";
  EXPECT_NEAR(printed.right(), expected.right(), 1) << "right";
  EXPECT_NEAR(printed.bottom(), expected.bottom(), 1) << "bottom";
}

TEST_F(PrintFormTest, OpensAtNaturalSizeCentredInTheLocaleUnit) {
  TWKGraphicsDocument* document = OpenImage(3000, 2000, 300);
  ASSERT_NE(document, nullptr);
  auto form = NewForm(document);
  EXPECT_EQ(form->windowTitle(), "Print");
  EXPECT_EQ(form->WidthUnitsComboBox->currentIndex(), PrintUnitCentimeter);
  EXPECT_EQ(form->WidthUnitsComboBox->currentText(), "cm.");
  EXPECT_EQ(form->WidthEdit->text(), "25,4");
  EXPECT_EQ(form->HeightEdit->text(), "16,933");
  EXPECT_EQ(form->ScaleEdit->text(), "100%");
  // Centred on the paper, not on the printable area.
  EXPECT_EQ(form->Layout().PrintLeft, (21590 - 25400) / 2);
  EXPECT_EQ(form->Layout().PrintTop, (27940 - 16933) / 2);
  EXPECT_EQ(form->LeftEdit->text(), "-1,905");
  EXPECT_FALSE(form->CenterImageCheckBox->isChecked());
  EXPECT_FALSE(form->ScaleToFitMediaCheckBox->isChecked());

  form->LeftUnitsComboBox->setCurrentIndex(PrintUnitMillimeter);
  EXPECT_EQ(form->LeftEdit->text(), "-19,05");
  EXPECT_EQ(form->Layout().PrintLeft, -1905);  // showing in another unit changes nothing
  EXPECT_THAT(form->PrinterNameLabel->text().toStdString(), HasSubstr("page.pdf"));
}

TEST_F(PrintFormTest, UsLocaleMeasuresInInchesWithAPoint) {
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  auto form = NewForm(OpenImage(600, 300, 300));
  EXPECT_EQ(form->TopUnitsComboBox->currentIndex(), PrintUnitInch);
  EXPECT_EQ(form->WidthEdit->text(), "2");
  EXPECT_EQ(form->HeightEdit->text(), "1");
  Type(form->WidthEdit, "1,5");  // a comma is typed as the separator of the locale
  EXPECT_EQ(form->WidthEdit->text(), "1.5");
  EXPECT_EQ(form->HeightEdit->text(), "0.75");
}

TEST_F(PrintFormTest, ScaleAndSizesFollowEachOtherAndTheCentre) {
  auto form = NewForm(OpenImage(3000, 2000, 300));
  form->CenterImageCheckBox->setChecked(true);
  EXPECT_FALSE(form->LeftEdit->isEnabled());
  EXPECT_FALSE(form->TopEdit->isEnabled());

  Type(form->ScaleEdit, "50");
  EXPECT_EQ(form->Layout().PrintWidth, 12700);
  EXPECT_EQ(form->WidthEdit->text(), "12,7");
  EXPECT_EQ(form->HeightEdit->text(), "8,466");
  EXPECT_EQ(form->Layout().PrintLeft, (21590 - 12700) / 2);
  EXPECT_EQ(form->LeftEdit->text(), "4,445");

  Type(form->WidthEdit, "10");
  EXPECT_EQ(form->Layout().PrintHeight, 6667);
  EXPECT_EQ(form->HeightEdit->text(), "6,667");
  EXPECT_EQ(form->Layout().PrintTop, (27940 - 6667) / 2);
  EXPECT_EQ(form->ScaleEdit->text(), "50");  // typing a size leaves the scale as it was
  Leave(form->ScaleEdit);
  EXPECT_EQ(form->ScaleEdit->text(), "50%");
}

TEST_F(PrintFormTest, FittingChecksCentringAndLocksTheSizes) {
  auto form = NewForm(OpenImage(1000, 500, 254));
  form->ScaleToFitMediaCheckBox->setChecked(true);
  EXPECT_TRUE(form->CenterImageCheckBox->isChecked());
  EXPECT_FALSE(form->CenterImageCheckBox->isEnabled());
  for (QLineEdit* edit : {form->ScaleEdit, form->WidthEdit, form->HeightEdit, form->LeftEdit, form->TopEdit})
    EXPECT_FALSE(edit->isEnabled()) << edit->objectName().toStdString();
  EXPECT_EQ(form->Layout().PrintWidth, 16510);  // between margins of 25.4 mm
  EXPECT_EQ(form->ScaleEdit->text(), "165,1%");
  form->ScaleToFitMediaCheckBox->setChecked(false);
  EXPECT_TRUE(form->CenterImageCheckBox->isEnabled());
  EXPECT_TRUE(form->WidthEdit->isEnabled());
  EXPECT_FALSE(form->LeftEdit->isEnabled());  // still centred
}

TEST_F(PrintFormTest, RefusesMinusSignsAndNonPositiveSizesTypedOrPasted) {
  auto form = NewForm(OpenImage(1000, 500, 254));
  Type(form->WidthEdit, "-5");
  EXPECT_EQ(form->WidthEdit->text(), "5");
  Type(form->ScaleEdit, "-");
  EXPECT_EQ(form->ScaleEdit->text(), "");
  Type(form->LeftEdit, "-3");
  EXPECT_EQ(form->LeftEdit->text(), "-3");
  EXPECT_EQ(form->Layout().PrintLeft, -3000);
  Type(form->TopEdit, "1-");
  EXPECT_EQ(form->TopEdit->text(), "1");

  Type(form->WidthEdit, "4");
  const TWKPrintLayout before = form->Layout();
  for (const char* pasted : {"0", "-2", "0,0001", "abc"}) {
    form->WidthEdit->setText(pasted);
    EXPECT_EQ(form->Layout().PrintWidth, before.PrintWidth) << pasted;
    EXPECT_EQ(form->Layout().PrintHeight, before.PrintHeight) << pasted;
    Leave(form->WidthEdit);
    EXPECT_EQ(form->WidthEdit->text(), "4") << "shows the width in use again after " << pasted;
  }
  form->ScaleEdit->setText("0%");
  Leave(form->ScaleEdit);
  EXPECT_EQ(form->Layout().PrintWidth, before.PrintWidth);
  EXPECT_EQ(form->ScaleEdit->text(), "40%");
  form->LeftEdit->setText("x");
  Leave(form->LeftEdit);
  EXPECT_EQ(form->LeftEdit->text(), "0");  // a position may be zero
  EXPECT_EQ(form->Layout().PrintLeft, 0);
}

TEST_F(PrintFormTest, AnImageWithoutResolutionPrintsAt96Dpi) {
  auto form = NewForm(OpenImage(96, 192, 0));
  form->WidthUnitsComboBox->setCurrentIndex(PrintUnitInch);
  EXPECT_EQ(form->WidthEdit->text(), "1");
  EXPECT_EQ(form->HeightEdit->text(), "5,08");
  EXPECT_EQ(form->ScaleEdit->text(), "100%");
}

TEST_F(PrintFormTest, RefusingToPrintOutsideCorrectsTheLayoutInstead) {
  auto form = NewForm(OpenImage(1000, 500, 254));
  Type(form->LeftEdit, "0");  // inside the left margin
  EXPECT_CALL(*Messages, MessageBox(HasSubstr("does not fit"), "Print", MB_YESNO | MB_ICONQUESTION))
      .WillOnce(Return(IDNO));
  form->PrintButtonClick();
  EXPECT_EQ(form->result(), QDialog::Rejected);  // still open, nothing printed
  EXPECT_FALSE(QFileInfo::exists(Printer.Device().outputFileName()));
  EXPECT_EQ(form->Layout().PrintLeft, 1270);
  EXPECT_EQ(form->Layout().PrintTop, 2540);
  EXPECT_EQ(form->LeftEdit->text(), "1,27");

  Type(form->WidthEdit, "30");  // wider than the paper
  EXPECT_CALL(*Messages, MessageBox(_, _, _)).WillOnce(Return(IDNO));
  form->PrintButtonClick();
  EXPECT_EQ(form->Layout().PrintWidth, 16510);
  EXPECT_EQ(form->WidthEdit->text(), "16,51");
}

TEST_F(PrintFormTest, PrintsWhereTheLayoutSaysCentredAndFitted) {
  TWKGraphicsDocument* document = OpenImage(999, 500, 254);  // 99.9 × 50 mm
  {
    auto form = NewForm(document);
    form->CenterImageCheckBox->setChecked(true);
    form->PrintButtonClick();
    EXPECT_EQ(form->result(), QDialog::Accepted);
    // Paper 2159 × 2794 pixels; the image centred on it.
    ExpectEdgesNear(PrintedBox(), QRect(580, 1147, 999, 500));
  }
  {
    auto form = NewForm(document);
    form->ScaleToFitMediaCheckBox->setChecked(true);
    form->PrintButtonClick();
    EXPECT_EQ(form->result(), QDialog::Accepted);
    // Margins of 25.4 mm all round: 165.1 × 82.63 mm, from 98.39 mm down.
    ExpectEdgesNear(PrintedBox(), QRect(254, 983, 1651, 827));
  }
}

TEST_F(PrintFormTest, AFailedPrintIsReportedAndKeepsTheDialogOpen) {
  auto form = NewForm(OpenImage(100, 100, 254));
  Printer.UsePdfFile(Temp.filePath("missing/folder/page.pdf"));
  EXPECT_CALL(*Messages, MessageBox(HasSubstr("missing/folder/page.pdf"), "Print", MB_OK | MB_ICONERROR))
      .WillOnce(Return(IDOK));
  form->PrintButtonClick();
  EXPECT_EQ(form->result(), QDialog::Rejected);
}

TEST_F(PrintFormTest, PrintCommandSitsInTheFileMenuWhileAnImageIsOpen) {
  TWKGraphicsPrintModule module(&App, *Editor, Window, nullptr);
  module.Initialize();
  EXPECT_EQ(static_cast<TFakeItem*>(module.PrintMenuItem)->Shortcut, "Ctrl+P");
  const auto captions = Window.Captions(Window.File);
  const auto print = std::find(captions.begin(), captions.end(), "Print...");
  ASSERT_NE(print, captions.end());
  EXPECT_EQ(*(print + 1), "-") << "in front of the file separator";
  Editor->UpdateControls();
  module.UpdateControls();
  EXPECT_FALSE(module.PrintMenuItem->Enabled());
  OpenImage(10, 10, 72);
  Editor->UpdateControls();
  module.UpdateControls();
  EXPECT_TRUE(module.PrintMenuItem->Enabled());
  Editor->SetPluginMode(true);
  module.UpdateControls();
  EXPECT_FALSE(module.PrintMenuItem->Enabled());
}

TEST_F(PrintFormTest, WithoutAPrinterTheCommandOffersToAddOneOrPrintsToPdf) {
  if (TWKPrinter::HasPrinters()) GTEST_SKIP() << "a printer is installed here";
  TWKGraphicsPrintModule module(&App, *Editor, Window, nullptr);
  module.Initialize();
  OpenImage(10, 10, 72);
  module.AddPrinterProgram = "/bin/true";
  EXPECT_CALL(*Messages, MessageBox("No printer is installed. Do you want to add a printer now?", "Print",
                                    MB_YESNO | MB_ICONQUESTION))
      .WillOnce(Return(IDYES))
      .WillOnce(Return(IDNO));
  bool dialogShown = false;
  auto closeDialog = [&dialogShown] {
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
      dialogShown = dialog->objectName() == "GraphicsPrintForm";
      dialog->reject();
    }
  };
  QTimer::singleShot(0, closeDialog);
  module.PrintClick();  // Yes: the add-printer tool starts, no dialog
  QApplication::processEvents();
  EXPECT_FALSE(dialogShown);
  QTimer::singleShot(0, closeDialog);
  module.PrintClick();  // No: the dialog, printing to a PDF file
  EXPECT_TRUE(dialogShown);
  EXPECT_TRUE(module.Printer().PrintsToFile());

  module.AddPrinterProgram.clear();  // no tool to offer: straight to the dialog
  dialogShown = false;
  QTimer::singleShot(0, closeDialog);
  module.PrintClick();
  EXPECT_TRUE(dialogShown);
}

TEST(PdfFileName, ProposesANewFileUnlessTheUserChoseOne) {
  TWKPrinter printer;
  printer.UsePdfFile("/chosen/by/user.pdf");
  printer.ProposePdfFile("cat.jpg");
  EXPECT_EQ(printer.Device().outputFileName(), "/chosen/by/user.pdf");
  printer.UsePdfFile("");
  printer.ProposePdfFile("cat.jpg");
  const QString first = printer.Device().outputFileName();
  EXPECT_TRUE(first.endsWith("/cat.pdf") || first.contains("/cat (")) << first.toStdString();
  QTemporaryDir dir;
  printer.UsePdfFile(dir.filePath("kept.pdf"));
  printer.ProposePdfFile("dog.png");
  EXPECT_EQ(printer.Device().outputFileName(), dir.filePath("kept.pdf"));
}

TEST(PdfFileName, TakesANameNoFileHasYet) {
  QTemporaryDir dir;
  EXPECT_EQ(UnusedPdfFileName(dir.path(), "/photos/cat.jpg"), dir.filePath("cat.pdf"));
  QFile(dir.filePath("cat.pdf")).open(QIODevice::WriteOnly);
  EXPECT_EQ(UnusedPdfFileName(dir.path(), "cat.jpg"), dir.filePath("cat (2).pdf"));
  EXPECT_EQ(UnusedPdfFileName(dir.path(), ""), dir.filePath("Quillmoor.pdf"));
}

}  // namespace
