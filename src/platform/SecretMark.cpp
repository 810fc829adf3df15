#include "SecretMark.h"

#include <QMimeData>

void markAsSecret(QMimeData &data)
{
#ifdef Q_OS_WIN
    // Registered clipboard formats, passed through by Qt under this prefix.
    // The two "Can..." formats hold a DWORD; 0 says no. The exclusion
    // format counts by its presence alone.
    const auto format = [](const char *name) {
        return QStringLiteral("application/x-qt-windows-mime;value=\"%1\"")
            .arg(QLatin1String(name));
    };
    const QByteArray no(4, '\0');
    data.setData(format("ExcludeClipboardContentFromMonitorProcessing"), QByteArray(1, '\0'));
    data.setData(format("CanIncludeInClipboardHistory"), no);
    data.setData(format("CanUploadToCloudClipboard"), no);
#else
    data.setData(QStringLiteral("x-kde-passwordManagerHint"), QByteArrayLiteral("secret"));
#endif
}
