#include "PrivacySettings.h"

#include "info/ShowHelpSetting.h"
#include "platform/SettingsStore.h"

namespace PrivacySettings {

namespace {

constexpr int kDefaultClipboardSeconds = 30;

} // namespace

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

} // namespace PrivacySettings
