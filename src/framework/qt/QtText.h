// The one conversion between the core's UTF-8 text and Qt's strings.
#pragma once

#include <QString>
#include <string>

inline QString ToQString(const std::string& text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline std::string ToStdString(const QString& text) { return text.toUtf8().toStdString(); }
