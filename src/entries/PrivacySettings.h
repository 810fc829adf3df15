#pragma once

#include <QString>

class SettingsStore;

// The choices that keep passwords from being seen or kept: whether the
// windows hide passwords, and how long a copied text stays on the
// clipboard. They are stored beside "showHelp", in section "Settings" of the
// application named like the product.
namespace PrivacySettings {

// "HidePasswords": "1" hides the passwords, anything else (or nothing)
// shows them.
QString hidePasswordsKey();
bool hidePasswords(const SettingsStore &store, const QString &application);
void setHidePasswords(SettingsStore &store, const QString &application, bool hide);

// "ClipboardSeconds": after this many seconds a copied text is taken off
// the clipboard again; 0 leaves it there. Missing or not a whole number of
// seconds counts as 30.
QString clipboardSecondsKey();
int clipboardSeconds(const SettingsStore &store, const QString &application);

// What a hidden password is shown as: eight bullets whatever its length, and
// nothing for an empty one.
QString maskedPassword(const QString &password);

} // namespace PrivacySettings
