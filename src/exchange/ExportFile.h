#pragma once

#include <QByteArrayView>
#include <QString>

// Writes an export whole, the way the vault is saved: the content goes to a
// file beside the target, is put on the disk, and only then renamed over it,
// so a full disk or a refused write leaves whatever was there before and no
// part of the export. The file is readable by its owner only, whatever an
// older file of that name allowed. What an earlier export to that name left
// when it ended part-way goes. False with the system's reason when it could
// not be written.
bool writeExportFile(const QString &path, QByteArrayView content, QString *reason);
