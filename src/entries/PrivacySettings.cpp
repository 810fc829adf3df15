#include "PrivacySettings.h"

#include "info/ShowHelpSetting.h"
#include "platform/SettingsStore.h"

namespace PrivacySettings {

namespace {

constexpr int kDefaultClipboardSeconds = 30;

} // namespace

QString hidePasswordsKey()
{
    return QStringLiteral("HidePasswords");
}

bool hidePasswords(const SettingsStore &store, const QString &application)
{
    return store.value(application, ShowHelpSetting::section(), hidePasswordsKey(),
                       QStringLiteral("0"))
        == u"1";
}

void setHidePasswords(SettingsStore &store, const QString &application, bool hide)
{
    store.setValue(application, ShowHelpSetting::section(), hidePasswordsKey(),
                   hide ? QStringLiteral("1") : QStringLiteral("0"));
}

QString clipboardSecondsKey()
{
    return QStringLiteral("ClipboardSeconds");
}

int clipboardSeconds(const SettingsStore &store, const QString &application)
{
    const QString text = store.value(application, ShowHelpSetting::section(), clipboardSecondsKey(),
                                     QString::number(kDefaultClipboardSeconds));
    bool ok = false;
    const int seconds = text.trimmed().toInt(&ok);
    return ok && seconds >= 0 ? seconds : kDefaultClipboardSeconds;
}

QString maskedPassword(const QString &password)
{
    return password.isEmpty() ? QString() : QString(8, QChar(0x2022));
}

} // namespace PrivacySettings
