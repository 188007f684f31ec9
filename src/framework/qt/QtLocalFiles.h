// Local file names from what file managers, launchers and dialogs hand over: file:// addresses
// (from a dropped URI list or a desktop entry's %U), plain paths, and the names the file dialog
// shows. Names are the file system's bytes: a name that is not valid UTF-8 keeps its bytes.
#pragma once

#include <QList>
#include <QMimeData>
#include <QString>
#include <QUrl>

#include <string>

// The decoded path bytes of a file:// address whose host is empty or "localhost"; "" for any
// other address, which names no local file.
std::string LocalFileOf(const QUrl& url);
// A command-line argument (its bytes as given) as a file name: a "file:" address as LocalFileOf
// gives it, any other argument as a path, made absolute when the file exists (so that it names
// the same file wherever the program starts next).
std::string LocalFileFromArgument(const std::string& argument);
// The file system's name of a path as Qt shows it. Qt shows bytes that are not UTF-8 as U+FFFD,
// which names no file; such a name is found again among the folder's entries, each compared as
// Qt shows it. The path as UTF-8 when nothing matches.
std::string FileSystemName(const QString& path);
// The addresses of dropped data in order. A text/uri-list is read by its own rules (one
// address a line, blank lines and "#" comment lines skipped), which Qt's reading does not
// follow for comments.
QList<QUrl> DroppedUrls(const QMimeData& data);
