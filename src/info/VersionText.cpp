#include "VersionText.h"

QString versionText(const VersionValues &version)
{
    return QString::number(version.major) + QLatin1Char('.') + QString::number(version.minor);
}
