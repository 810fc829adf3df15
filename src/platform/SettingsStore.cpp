#include "SettingsStore.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <memory>

namespace {

#ifndef Q_OS_WIN
// Where QSettings keeps a program's settings in its native format when the
// program and its organisation share one name.
QString settingsFile(const QString &application)
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/'
        + application + u'/' + application + QStringLiteral(".conf");
}
#endif

// The settings of an application; none when they cannot be read. QSettings
// reads its file the moment it is made, so the file is looked at first.
std::unique_ptr<QSettings> openSettings(const QString &application)
{
#ifdef Q_OS_WIN
    // Where Windows programs of this kind have always kept their settings.
    return std::make_unique<QSettings>(
        QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\") + application,
        QSettings::NativeFormat);
#else
    // That one file only: the shared defaults that QSettings also reads
    // (/etc/xdg) are none of this program's.
    const QString file = settingsFile(application);
    const QFileInfo info(file);
    if (info.exists() && !info.isFile())
        return nullptr;
    return std::make_unique<QSettings>(file, QSettings::IniFormat);
#endif
}

QString settingsKey(const QString &section, const QString &key)
{
    return section + QLatin1Char('/') + key;
}

} // namespace

QString QSettingsStore::value(const QString &application, const QString &section,
                              const QString &key, const QString &defaultValue) const
{
    const auto settings = openSettings(application);
    return settings ? settings->value(settingsKey(section, key), defaultValue).toString()
                    : defaultValue;
}

void QSettingsStore::setValue(const QString &application, const QString &section,
                              const QString &key, const QString &value)
{
    const auto settings = openSettings(application);
    if (!settings)
        return;
    settings->setValue(settingsKey(section, key), value);
    settings->sync();
}

QString QSettingsStore::file(const QString &application) const
{
#ifdef Q_OS_WIN
    Q_UNUSED(application);
    return QString();
#else
    return settingsFile(application);
#endif
}

QString QSettingsStore::location(const QString &application)
{
#ifdef Q_OS_WIN
    // The registry key, without the leading backslash Qt gives it.
    const QString name = openSettings(application)->fileName();
    return name.startsWith(QLatin1Char('\\')) ? name.mid(1) : name;
#else
    return QDir::toNativeSeparators(settingsFile(application));
#endif
}
