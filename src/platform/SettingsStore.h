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
};

// The real store: the registry on Windows, the platform's usual settings file
// elsewhere.
class QSettingsStore : public SettingsStore
{
public:
    QString value(const QString &application, const QString &section, const QString &key,
                  const QString &defaultValue) const override;
    void setValue(const QString &application, const QString &section, const QString &key,
                  const QString &value) override;

    // Where the settings of an application are kept: a registry key on
    // Windows, a file elsewhere.
    static QString location(const QString &application);
};
