#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QUrl>

#include "../TempFolder.h"
#include "framework/qt/QtLocalFiles.h"
#include "framework/qt/QtText.h"

TEST(QtLocalFiles, ArgumentsAndAddressesBecomeLocalFileNames) {
  TTempFolder folder;
  folder.Write("photo.jpg", "x");
  folder.Write("caf\xE9.jpg", "x");  // Latin-1, not UTF-8
  const QString previous = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(ToQString(folder.Path())));
  const struct {
    std::string Argument;
    std::string Expected;
  } cases[] = {
      {"file:///tmp/a%20b/%C3%A4.jpg", "/tmp/a b/ä.jpg"},
      {"file:///tmp/caf%E9.jpg", "/tmp/caf\xE9.jpg"},  // the address's bytes, whatever they are
      {"FILE:///tmp/x.png", "/tmp/x.png"},
      {"file://localhost/tmp/x.png", "/tmp/x.png"},
      {"file://LocalHost/tmp/x.png", "/tmp/x.png"},
      {"file://server/share/x.png", ""},  // another machine's file
      {"photo.jpg", folder / "photo.jpg"},  // relative and existing: absolute
      {"./caf\xE9.jpg", folder / "caf\xE9.jpg"},
      {"missing.jpg", "missing.jpg"},       // the editor reports or ignores it as it is
      {"/abs/missing.jpg", "/abs/missing.jpg"},
  };
  for (const auto& c : cases) EXPECT_EQ(LocalFileFromArgument(c.Argument), c.Expected) << c.Argument;
  EXPECT_EQ(LocalFileOf(QUrl("https://example.org/x.png")), "");
  EXPECT_EQ(LocalFileOf(QUrl()), "");
  QDir::setCurrent(previous);
}

TEST(QtLocalFiles, NamesTheDialogShowsFindTheirFilesBytes) {
  TTempFolder folder;
  folder.Write("sub\xFF/caf\xE9.jpg", "x");
  folder.Write("plain.png", "x");
  // What the file dialog hands back: each byte that is not UTF-8 shown as U+FFFD.
  const QString shown = QFile::decodeName(QByteArray::fromStdString(folder / "sub\xFF/caf\xE9.jpg"));
  ASSERT_TRUE(shown.contains(QChar(0xFFFD)));
  EXPECT_EQ(FileSystemName(shown), folder / "sub\xFF/caf\xE9.jpg");
  EXPECT_EQ(FileSystemName(ToQString(folder / "plain.png")), folder / "plain.png");
  EXPECT_EQ(FileSystemName(ToQString(folder / "new name.png")), folder / "new name.png");  // to be made
}
