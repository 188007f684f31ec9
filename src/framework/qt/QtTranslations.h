// Qt's own texts (standard buttons, the file and print dialogs) in the program's language:
// on every language change of the localiser the Qt catalogue of that language is installed,
// or none when Qt has no catalogue for it (its texts are then English).
#pragma once

#include <QString>
#include <QTranslator>

#include <cstdint>
#include <memory>

class TQtTranslations {
 public:
  // Registers with the localiser (which calls it at once) and follows its language from then on.
  // The catalogues are looked up in the folder given, by default Qt's translations folder.
  explicit TQtTranslations(QString folder = QString());
  ~TQtTranslations();
  TQtTranslations(const TQtTranslations&) = delete;
  TQtTranslations& operator=(const TQtTranslations&) = delete;

  // The language whose catalogue is installed; 0 when none is.
  uint16_t InstalledLanguage() const { return Installed_; }

 private:
  void Localize();

  QString Folder_;
  uint16_t Installed_ = 0;
  std::unique_ptr<QTranslator> Translator_;
};
