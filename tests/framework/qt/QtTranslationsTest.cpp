#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPushButton>

#include <memory>

#include "../TempFolder.h"
#include "framework/WKLocalizer.h"
#include "framework/qt/QtTranslations.h"

namespace {

class QtTranslationsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    languages.Write("English.ini", "[Language]\nLangId=1033\nLanguage=English\n[Strings]\n1=OK\n");
    languages.Write("German.ini", "[Language]\nLangId=1031\nLanguage=Deutsch\n[Strings]\n1=OK\n");
    languages.Write("Klingon.ini", "[Language]\nLangId=4711\nLanguage=tlhIngan\n[Strings]\n1=OK\n");
    previous = SetGlobalLocalizer(std::make_unique<TWKLocalizer>(languages.Path(), 1033));
  }
  void TearDown() override { SetGlobalLocalizer(std::move(previous)); }

  // The labels Qt gives the standard buttons of a Yes/No/Cancel question.
  static QStringList QuestionButtons() {
    QMessageBox box(QMessageBox::Question, "t", "q", QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    return {box.button(QMessageBox::Yes)->text(), box.button(QMessageBox::No)->text(),
            box.button(QMessageBox::Cancel)->text()};
  }

  TTempFolder languages;
  std::unique_ptr<TWKLocalizer> previous;
};

}  // namespace

TEST_F(QtTranslationsTest, QtsOwnLabelsFollowTheProgramsLanguage) {
  const QStringList english = QuestionButtons();
  ASSERT_EQ(english, (QStringList{"&Yes", "&No", "Cancel"}));
  {
    TQtTranslations texts;
    EXPECT_EQ(QuestionButtons(), english);
    SelectLanguage(1031);
    ASSERT_EQ(texts.InstalledLanguage(), 1031)
        << "no German catalogue in " << QLibraryInfo::path(QLibraryInfo::TranslationsPath).toStdString();
    EXPECT_EQ(QuestionButtons(), (QStringList{"&Ja", "&Nein", "Abbrechen"}));
    EXPECT_EQ(QDialogButtonBox(QDialogButtonBox::Open).button(QDialogButtonBox::Open)->text(), "Öffnen");
    // A language Qt has no catalogue for shows Qt's English, not the previous language.
    SelectLanguage(4711);
    EXPECT_EQ(texts.InstalledLanguage(), 0);
    EXPECT_EQ(QuestionButtons(), english);
    SelectLanguage(1031);
  }
  // Gone with its owner: the catalogue no longer translates.
  EXPECT_EQ(QuestionButtons(), english);
}

TEST_F(QtTranslationsTest, AMissingCatalogueFolderLeavesQtEnglish) {
  TTempFolder empty;
  SelectLanguage(1031);
  TQtTranslations texts(QString::fromStdString(empty.Path()));
  EXPECT_EQ(texts.InstalledLanguage(), 0);
  EXPECT_EQ(QuestionButtons(), (QStringList{"&Yes", "&No", "Cancel"}));
}
