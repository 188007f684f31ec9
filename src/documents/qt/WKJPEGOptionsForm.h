// The JPEG quality dialog: an edit, a preset list and a track bar kept in line by the core's
// rules (TWKJPEGOptions), OK and Cancel.
#pragma once

#include <QDialog>

#include "documents/WKJPEGOptions.h"
#include "framework/qt/WKForm.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

class TWKJPEGOptionsForm : public TWKFormOf<QDialog>, public IWKJPEGOptionsControls {
 public:
  explicit TWKJPEGOptionsForm(TWKComponent* owner, QWidget* parent = nullptr);

  void SetQuality(int32_t value) { Rules_.SetQuality(value); }
  int32_t GetQuality() const { return Rules_.GetQuality(); }
  void Localize() override;

  // Published handlers.
  void QualityChange(TWKQualitySender sender) { Rules_.QualityChange(sender); }
  void OkButtonClick();

  QGroupBox* QualityGroupBox = nullptr;
  QLabel* QualityLabel = nullptr;
  QLineEdit* QualityEdit = nullptr;
  QComboBox* QualityComboBox = nullptr;
  QSlider* QualityTrackBar = nullptr;
  QLabel* SmallFileLabel = nullptr;
  QLabel* LargeFileLabel = nullptr;
  QPushButton* OkButton = nullptr;
  QPushButton* CancelButton = nullptr;

  std::string QualityEditText() const override;
  void SetQualityEditText(const std::string& text) override;
  int32_t QualityPresetIndex() const override;
  void SetQualityPresetIndex(int32_t index) override;
  int32_t QualityTrackPosition() const override;
  void SetQualityTrackPosition(int32_t position) override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  TWKJPEGOptions Rules_{*this};
};

// The registry's quality question as this modal dialog.
class TQtJPEGQualityDialog : public IWKJPEGQualityDialog {
 public:
  bool Execute(int32_t& quality) override;
};
