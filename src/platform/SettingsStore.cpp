#include "SettingsStore.h"

#include <QDir>
#include <QSettings>

#include <memory>

namespace {

std::unique_ptr<QSettings> openSettings(const QString &application)
{
#ifdef Q_OS_WIN
    // Where Windows programs of this kind have always kept their settings.
    return std::make_unique<QSettings>(
        QStringLiteral("HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\") + application,
        QSettings::NativeFormat);
#else
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, application,
                                       application);
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
    return settings->value(settingsKey(section, key), defaultValue).toString();
}

void QSettingsStore::setValue(const QString &application, const QString &section,
                              const QString &key, const QString &value)
{
    const auto settings = openSettings(application);
    settings->setValue(settingsKey(section, key), value);
    settings->sync();
}

QString QSettingsStore::location(const QString &application)
{
    const QString name = openSettings(application)->fileName();
#ifdef Q_OS_WIN
    // The registry key, without the leading backslash Qt gives it.
    return name.startsWith(QLatin1Char('\\')) ? name.mid(1) : name;
#else
    return QDir::toNativeSeparators(name);
#endif
}
