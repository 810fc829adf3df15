#pragma once

class QMimeData;

// Marks clipboard data as a secret, so that clipboard managers and history
// services that honour the mark do not keep it: on Windows the formats that
// keep it out of the clipboard history, cloud sync and monitoring programs;
// elsewhere the KDE hint that Klipper and other managers read.
void markAsSecret(QMimeData &data);
