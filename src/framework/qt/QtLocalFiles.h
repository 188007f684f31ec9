// Local file names from what file managers and launchers hand over: file:// addresses (from a
// dropped URI list or a desktop entry's %U) and plain paths.
#pragma once

#include <QList>
#include <QMimeData>
#include <QString>
#include <QUrl>

#include <string>

// The decoded path of a file:// address whose host is empty or "localhost"; "" for any other
// address, which names no local file.
std::string LocalFileOf(const QUrl& url);
// A command-line argument as a file name: a "file:" address as LocalFileOf gives it, any other
// argument as a path, made absolute when the file exists (so that it names the same file
// wherever the program starts next).
std::string LocalFileFromArgument(const QString& argument);
// The addresses of dropped data in order. A text/uri-list is read by its own rules (one
// address a line, blank lines and "#" comment lines skipped), which Qt's reading does not
// follow for comments.
QList<QUrl> DroppedUrls(const QMimeData& data);
