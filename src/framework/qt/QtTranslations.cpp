#include "framework/qt/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>

#include "framework/WKLanguageId.h"
#include "framework/WKLocalizer.h"

TQtTranslations::TQtTranslations(QString folder)
    : folder_(folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : std::move(folder)) {
  AddLocalizeHandler(MethodOf<&TQtTranslations::Localize>(this));
}

TQtTranslations::~TQtTranslations() {
  RemoveLocalizeHandler(MethodOf<&TQtTranslations::Localize>(this));
  if (translator_) QCoreApplication::removeTranslator(translator_.get());
}

void TQtTranslations::Localize() {
  const uint16_t language = CurrentLanguageId();
  if (translator_ && language == installed_) return;
  if (translator_) QCoreApplication::removeTranslator(translator_.get());
  translator_.reset();
  installed_ = 0;
  const std::string locale = LocaleNameFromLangId(language);
  if (locale.empty()) return;
  auto translator = std::make_unique<QTranslator>();
  // "qtbase_de_DE.qm", then "qtbase_de.qm".
  if (!translator->load(QLocale(QString::fromStdString(locale)), "qtbase", "_", folder_)) return;
  QCoreApplication::installTranslator(translator.get());
  translator_ = std::move(translator);
  installed_ = language;
}
