#pragma once
// File names as the command line takes them. An argument's bytes are the file
// system's bytes, whatever they are: bytes that are no UTF-8 (a name from an
// old archive in Latin-1 or Shift_JIS) are carried through the QString as the
// code points U+DC80 to U+DCFF, which UTF-8 never yields, and given back as
// the same bytes when the file is opened or made. Every name a message shows
// goes through printableName, so that a newline in a name cannot fake a line
// of the program's output.

#include <QByteArray>
#include <QString>

namespace vastrel::cli {

// An argument's bytes as text, losing none of them.
QString argumentText(const QByteArray& bytes);

// The file system's bytes of a name made from argumentText.
QByteArray fileSystemName(const QString& name);

// The name for a message: each control character as \n, \t, \r or \xNN, and
// each byte that is no UTF-8 as \xNN.
QString printableName(const QString& name);

}  // namespace vastrel::cli
