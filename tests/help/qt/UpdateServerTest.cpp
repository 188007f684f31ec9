// The update check over real HTTP against a small server on the loopback address.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QByteArray>
#include <QElapsedTimer>
#include <QHash>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <cstdlib>
#include <filesystem>

#include "EditorFixture.h"
#include "HelpFakes.h"
#include "framework/WKApplication.h"
#include "framework/WKLocalizer.h"
#include "framework/qt/QtText.h"
#include "help/WKHelp.h"
#include "help/qt/QtDownloader.h"
#include "support/QtTestApplication.h"
#include "support/ShippedLanguages.h"

namespace {

using ::testing::_;
using ::testing::HasSubstr;
using ::testing::Return;

// Answers every request for the update file as Mode says; keeps the request lines.
class TUpdateServer : public QObject {
 public:
  enum class TMode { Answer, NotFound, Silent };
  TMode Mode = TMode::Answer;
  QByteArray Body;
  QStringList Requests;

  TUpdateServer() {
    Server_.listen(QHostAddress::LocalHost, 0);
    connect(&Server_, &QTcpServer::newConnection, this, [this] {
      while (QTcpSocket* socket = Server_.nextPendingConnection()) Serve(socket);
    });
  }
  std::string Url() const {
    return QStringLiteral("http://127.0.0.1:%1/update.ini").arg(Server_.serverPort()).toStdString();
  }

 private:
  void Serve(QTcpSocket* socket) {
    socket->setParent(this);
    connect(socket, &QTcpSocket::readyRead, this, [this, socket] {
      QByteArray& request = Pending_[socket];
      request += socket->readAll();
      if (!request.contains("\r\n\r\n")) return;
      Requests << QString::fromLatin1(request.left(request.indexOf("\r\n")));
      if (Mode == TMode::Silent) return;  // keeps the connection open and never answers
      const QByteArray status = Mode == TMode::NotFound ? "404 Not Found" : "200 OK";
      const QByteArray body = Mode == TMode::NotFound ? "<html>Not found</html>" : Body;
      socket->write("HTTP/1.1 " + status + "\r\nContent-Type: text/plain\r\nContent-Length: " +
                    QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
      socket->disconnectFromHost();
    });
  }

  QTcpServer Server_;
  QHash<QTcpSocket*, QByteArray> Pending_;
};

class UpdateServerTest : public ::testing::Test {
 protected:
  UpdateServerTest() {
    auto messages = std::make_unique<::testing::StrictMock<MockMessageBox>>();
    Messages = messages.get();
    App.SetMessageBoxService(std::move(messages));
    App.SetTitle("Quillmoor");
    Downloader.TimeoutMs = 400;
    Help = App.CreateModule<TWKHelp>(Window, Shell, Downloader);
    Help->ProductVersion = "0.1.0";
    Help->HomePage = "https://www.quillmoor.example/";
    Help->UpdateUrl = Server.Url();
  }

  void ExpectNoNewerVersion() {
    EXPECT_CALL(*Messages, MessageBox("No newer version is available.", "Update Check", MB_OK))
        .WillOnce(Return(IDOK));
  }
  bool TempIsEmpty() const { return Temp.IsEmpty(); }

  TShippedLanguages Languages;
  TTemporaryFolderInUse Temp;
  TUpdateServer Server;
  TWKApplication App;
  ::testing::StrictMock<MockMessageBox>* Messages = nullptr;
  TFakeMainWindow Window;
  TFakeShell Shell;
  TQtDownloader Downloader;
  TWKHelp* Help = nullptr;
};

TEST_F(UpdateServerTest, ANewerVersionIsOfferedWithTheWebSite) {
  Server.Body = "[Quillmoor-English]\r\nVersion = 0.10.0\r\n[Quillmoor]\r\nVersion=0.0.1\r\n";
  EXPECT_CALL(*Messages, MessageBox(HasSubstr("A new version (0.10.0) is available."), "Quillmoor", MB_OKCANCEL))
      .WillOnce(Return(IDOK));
  Help->CheckForUpdates();
  EXPECT_EQ(Shell.Urls, std::vector<std::string>{"https://www.quillmoor.example/"});
  ASSERT_EQ(Server.Requests.size(), 1);
  EXPECT_THAT(Server.Requests[0].toStdString(), ::testing::MatchesRegex("GET /update\\.ini\\?[0-9]{14} HTTP/1\\.1"));
  EXPECT_TRUE(TempIsEmpty());
}

TEST_F(UpdateServerTest, TheSameOrAnOlderVersionIsNotOffered) {
  Server.Body = "[Quillmoor]\nVersion=0.1.0\n";
  ExpectNoNewerVersion();
  Help->CheckForUpdates();
  Server.Body = "[Quillmoor]\nVersion=0.0.9\n";
  ExpectNoNewerVersion();
  Help->CheckForUpdates();
  EXPECT_TRUE(Shell.Urls.empty());
  EXPECT_TRUE(TempIsEmpty());
}

TEST_F(UpdateServerTest, AMissingFileFindsNoNewerVersion) {
  Server.Mode = TUpdateServer::TMode::NotFound;
  ExpectNoNewerVersion();
  Help->CheckForUpdates();
  EXPECT_EQ(Server.Requests.size(), 1);
  EXPECT_TRUE(TempIsEmpty());
}

TEST_F(UpdateServerTest, AClosedPortFindsNoNewerVersion) {
  QTcpServer closed;
  ASSERT_TRUE(closed.listen(QHostAddress::LocalHost, 0));
  const quint16 port = closed.serverPort();
  closed.close();
  Help->UpdateUrl = QStringLiteral("http://127.0.0.1:%1/update.ini").arg(port).toStdString();
  ExpectNoNewerVersion();
  Help->CheckForUpdates();
  EXPECT_TRUE(TempIsEmpty());
}

TEST_F(UpdateServerTest, AServerThatNeverAnswersIsGivenUpAfterTheTimeout) {
  EXPECT_EQ(TQtDownloader().TimeoutMs, 15000);
  Server.Mode = TUpdateServer::TMode::Silent;
  ExpectNoNewerVersion();
  QElapsedTimer clock;
  clock.start();
  Help->CheckForUpdates();
  EXPECT_GE(clock.elapsed(), 350);
  EXPECT_LT(clock.elapsed(), 5000);
  EXPECT_EQ(Server.Requests.size(), 1);
  EXPECT_TRUE(TempIsEmpty());
}

TEST_F(UpdateServerTest, AnAnswerFarTooLargeIsNotAnUpdateFile) {
  Server.Body = "[Quillmoor]\nVersion=9.0\n" + QByteArray(2 << 20, ';');
  ExpectNoNewerVersion();
  Help->CheckForUpdates();
  EXPECT_TRUE(TempIsEmpty());
}

TEST(Downloader, TakesOnlyWebAddresses) {
  TQtDownloader downloader;
  QTemporaryDir dir;
  const std::string file = ToStdString(dir.filePath("out"));
  for (const char* url : {"file:///etc/hostname", "ftp://127.0.0.1/x", "not a url", ""})
    EXPECT_FALSE(downloader.DownloadToFile(url, file)) << url;
}

}  // namespace
