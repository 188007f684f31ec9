#include "framework/qt/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

#include "framework/WKLanguageId.h"
#include "framework/WKLocalizer.h"

TQtTranslations::TQtTranslations(QString folder)
    : Folder_(folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : std::move(folder)) {
  AddLocalizeHandler(MethodOf<&TQtTranslations::Localize>(this));
}

TQtTranslations::~TQtTranslations() {
  RemoveLocalizeHandler(MethodOf<&TQtTranslations::Localize>(this));
  if (Translator_) QCoreApplication::removeTranslator(Translator_.get());
}

void TQtTranslations::Localize() {
  const uint16_t language = CurrentLanguageId();
  if (Translator_ && language == Installed_) return;
  if (Translator_) QCoreApplication::removeTranslator(Translator_.get());
  Translator_.reset();
  Installed_ = 0;
  const std::string locale = LocaleNameFromLangId(language);
  if (locale.empty()) return;
  auto translator = std::make_unique<QTranslator>();
  // "qtbase_de_DE.qm", then "qtbase_de.qm".
  if (!translator->load(QLocale(QString::fromStdString(locale)), "qtbase", "_", Folder_)) return;
  QCoreApplication::installTranslator(translator.get());
  Translator_ = std::move(translator);
  Installed_ = language;
}
