#pragma once

#include <QString>

class SettingsStore;

// The choices that keep passwords from being kept: how long a copied text
// stays on the clipboard. They are stored beside "showHelp", in section "Settings" of the
// application named like the product.
namespace PrivacySettings {

// "ClipboardSeconds": after this many seconds a copied text is taken off
// the clipboard again; 0 leaves it there. Missing or not a whole number of
// seconds counts as 30.
QString clipboardSecondsKey();
int clipboardSeconds(const SettingsStore &store, const QString &application);

} // namespace PrivacySettings
