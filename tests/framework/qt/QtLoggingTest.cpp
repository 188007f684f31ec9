#include <gtest/gtest.h>

#include <QLoggingCategory>

#include <string>
#include <vector>

#include "framework/WKLog.h"
#include "framework/qt/QtLogging.h"

namespace {

constexpr TWKLogCategory kRedEye{"quillmoor.redeye"};
constexpr TWKLogCategory kOther{"quillmoor.other"};

std::vector<std::string> gMessages;

void Record(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  gMessages.push_back(std::to_string(type) + " " + context.category + " " + text.toStdString());
}

}  // namespace

TEST(QtLogging, CoreCategoriesAreQtCategoriesWhoseDebugOutputIsOffUntilARuleSwitchesItOn) {
  const TWKLogBackend previous = SetLogBackend({});
  InstallQtLogging();
  gMessages.clear();
  const QtMessageHandler handler = qInstallMessageHandler(Record);
  EXPECT_FALSE(LogEnabled(kRedEye));
  LogLine(kRedEye, "off by default");
  QLoggingCategory::setFilterRules("quillmoor.redeye.debug=true");
  EXPECT_TRUE(LogEnabled(kRedEye));
  EXPECT_FALSE(LogEnabled(kOther));
  LogLine(kRedEye, "Stack iterations: 5 Time: 0");
  LogLine(kOther, "still off");
  QLoggingCategory::setFilterRules("quillmoor.*.debug=true");
  EXPECT_TRUE(LogEnabled(kOther));
  QLoggingCategory::setFilterRules(QString());
  EXPECT_FALSE(LogEnabled(kRedEye));
  qInstallMessageHandler(handler);
  SetLogBackend(previous);
  EXPECT_EQ(gMessages, (std::vector<std::string>{std::to_string(QtDebugMsg) + " quillmoor.redeye Stack iterations: 5 Time: 0"}));
}
