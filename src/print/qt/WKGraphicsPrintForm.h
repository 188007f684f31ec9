// The Print dialog: left, top, width and height of the image on the paper in a unit of the
// user's choice or as a scale, centred or fitted to the printable area, with a preview of the
// page; printing through the process's printer.
#pragma once

#include <QDialog>
#include <QWidget>
#include <array>
#include <string>

#include "framework/qt/WKForm.h"
#include "print/WKPrintLayout.h"
#include "print/WKPrintUnits.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class TWKGraphicsDocument;
class TWKPrinter;

// The paper, its printable area and the image where the layout puts it, scaled to the widget.
class TWKPrintPreview : public QWidget {
 public:
  explicit TWKPrintPreview(QWidget* parent) : QWidget(parent) {}
  void SetPage(const TWKPrinterPage& page, const TWKPrintLayout& layout,
               const TWKGraphicsDocument* document);
  QSize sizeHint() const override { return {150, 200}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  TWKPrinterPage Page_;
  TWKPrintLayout Layout_;
  const TWKGraphicsDocument* Document_ = nullptr;
};

class TWKGraphicsPrintForm : public TWKFormOf<QDialog> {
 public:
  TWKGraphicsPrintForm(TWKComponent* owner, TWKPrinter& printer, QWidget* parent = nullptr);

  // Called once before the dialog is shown: the image at 100 %, centred.
  void SetDocument(TWKGraphicsDocument* document);
  void Initialize() override;
  void Localize() override;

  // Published handlers.
  void PrinterButtonClick();
  void PrintButtonClick();
  void UnitsChange(QComboBox* box);
  void OptionsChange();
  // false when the character typed into edit is refused; a separator typed is inserted as the
  // platform's own.
  bool EditKeyPress(QLineEdit* edit, QChar typed);
  void EditChange(QLineEdit* edit);
  void EditExit(QLineEdit* edit);

  const TWKPrintLayout& Layout() const { return Layout_; }
  TWKGraphicsDocument* Document() const { return Document_; }
  // The platform's decimal separator, which the fields read and show.
  static std::string DecimalSeparator();

  QGroupBox* PositionAndSizeGroupBox = nullptr;
  QLabel* LeftLabel = nullptr;
  QLineEdit* LeftEdit = nullptr;
  QComboBox* LeftUnitsComboBox = nullptr;
  QLabel* TopLabel = nullptr;
  QLineEdit* TopEdit = nullptr;
  QComboBox* TopUnitsComboBox = nullptr;
  QCheckBox* CenterImageCheckBox = nullptr;
  QLabel* ScaleLabel = nullptr;
  QLineEdit* ScaleEdit = nullptr;
  QLabel* WidthLabel = nullptr;
  QLineEdit* WidthEdit = nullptr;
  QComboBox* WidthUnitsComboBox = nullptr;
  QLabel* HeightLabel = nullptr;
  QLineEdit* HeightEdit = nullptr;
  QComboBox* HeightUnitsComboBox = nullptr;
  QCheckBox* ScaleToFitMediaCheckBox = nullptr;
  QPushButton* PrinterButton = nullptr;
  QPushButton* PrintButton = nullptr;
  QPushButton* CancelButton = nullptr;
  QLabel* PrinterNameLabel = nullptr;
  TWKPrintPreview* Preview = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  // The constructor's steps: the position-and-size group, the buttons and preview, the handlers.
  void CreatePositionAndSizeBox();
  void CreateButtonsAndPreview();
  void ConnectControls();
  void CenterOnPaper();
  void FitToMedia();
  void MoveToPrintableCorner();
  void ShowLeft();
  void ShowTop();
  void ShowWidth();
  void ShowHeight();
  void ShowScale();
  void ShowAll();
  void ShowField(QLineEdit* edit, const std::string& text);
  void ShowPrinter();
  TWKPrintField FieldOf(const QLineEdit* edit) const;
  QComboBox* UnitsOf(const QLineEdit* edit) const;
  // Whether a size typed into a field would be taken.
  bool SizeAccepted(TWKPrintField field, const std::string& text) const;
  // Applies a size field's text; false when it is no number or the size is refused.
  bool ApplySize(TWKPrintLayout& layout, TWKPrintField field, const std::string& text) const;
  // Prints the page; false (reported) when the printer refused.
  bool PrintPage(const TRect& deviceRect);

  TWKPrinter& Printer_;
  TWKGraphicsDocument* Document_ = nullptr;
  TWKPrintLayout Layout_;
  int Updating_ = 0;
  std::array<QLineEdit*, 5> Edits_{};
  std::array<QComboBox*, 4> UnitBoxes_{};
};
