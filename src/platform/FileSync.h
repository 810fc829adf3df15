#pragma once

#include <QFileDevice>
#include <QString>

// Asks the system to put what was written to an open file on the disk, and
// reports whether it could: some file systems (network shares, full thin
// volumes) report a failed write only here. On failure the system's reason
// goes to *reason.
bool syncToDisk(QFileDevice &file, QString *reason);
