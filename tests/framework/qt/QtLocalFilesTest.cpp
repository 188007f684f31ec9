#include <gtest/gtest.h>

#include <QDir>
#include <QUrl>

#include "../TempFolder.h"
#include "framework/qt/QtLocalFiles.h"
#include "framework/qt/QtText.h"

TEST(QtLocalFiles, ArgumentsAndAddressesBecomeLocalFileNames) {
  TTempFolder folder;
  folder.Write("photo.jpg", "x");
  const QString previous = QDir::currentPath();
  ASSERT_TRUE(QDir::setCurrent(ToQString(folder.Path())));
  const struct {
    QString Argument;
    std::string Expected;
  } cases[] = {
      {"file:///tmp/a%20b/%C3%A4.jpg", "/tmp/a b/ä.jpg"},
      {"FILE:///tmp/x.png", "/tmp/x.png"},
      {"file://localhost/tmp/x.png", "/tmp/x.png"},
      {"file://LocalHost/tmp/x.png", "/tmp/x.png"},
      {"file://server/share/x.png", ""},  // another machine's file
      {"photo.jpg", folder / "photo.jpg"},  // relative and existing: absolute
      {"missing.jpg", "missing.jpg"},       // the editor reports or ignores it as it is
      {"/abs/missing.jpg", "/abs/missing.jpg"},
  };
  for (const auto& c : cases) EXPECT_EQ(LocalFileFromArgument(c.Argument), c.Expected) << ToStdString(c.Argument);
  EXPECT_EQ(LocalFileOf(QUrl("https://example.org/x.png")), "");
  EXPECT_EQ(LocalFileOf(QUrl()), "");
  QDir::setCurrent(previous);
}
