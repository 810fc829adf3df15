#pragma once

#include <QString>

// Per-user settings, addressed by application name, section and key.
class SettingsStore
{
public:
    virtual ~SettingsStore() = default;
    virtual QString value(const QString &application, const QString &section, const QString &key,
                          const QString &defaultValue) const = 0;
    virtual void setValue(const QString &application, const QString &section, const QString &key,
                          const QString &value)
        = 0;
    // The file that holds the settings of an application; empty when they
    // are not kept in a file.
    virtual QString file(const QString &application) const
    {
        Q_UNUSED(application);
        return QString();
    }
};

// The real store: the registry on Windows, the platform's usual settings file
// elsewhere (~/.config/<application>/<application>.conf). A settings file
// that is not a regular file (a named pipe, a device) is not read, which
// would wait for good or never end, and nothing is written to it: every
// value is its default.
class QSettingsStore : public SettingsStore
{
public:
    QString value(const QString &application, const QString &section, const QString &key,
                  const QString &defaultValue) const override;
    void setValue(const QString &application, const QString &section, const QString &key,
                  const QString &value) override;
    QString file(const QString &application) const override;

    // Where the settings of an application are kept: a registry key on
    // Windows, a file elsewhere.
    static QString location(const QString &application);
};
