#pragma once

#include "vault/VaultFormat.h"

#include <QByteArray>
#include <QString>

#include <span>

// Taking the entries out as a CSV file in the shape Chrome writes
// (name,url,username,password,note), the shape that Firefox, Bitwarden and
// KeePassXC all read: UTF-8, CR LF line ends, a cell quoted when it holds a
// comma, a quote, a line break or a space at either end.
namespace CsvExport {

// The header row and a row per entry, in list order.
QByteArray content(std::span<const VaultEntry> entries);

// The name an entry goes by in the file: its location's host where the
// location is a web address, otherwise the location itself.
QString entryName(const QString &location);

// The warning shown before the file is written.
QString warning();

} // namespace CsvExport
