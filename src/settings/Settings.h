#pragma once

#include <QObject>
#include <QString>

#include <array>
#include <optional>

class SettingsStore;

// The per-user settings of the program, read once from the store and held:
// every window and command reads them here, and every change is written
// through to the store at once. They live in section "Settings" of the
// application named like the product.
//
// A new value is one more Key, one more row in the table of keys in
// Settings.cpp (its stored key and the text a missing value counts as), and
// a typed getter and setter over text() and setText().
class Settings : public QObject
{
    Q_OBJECT

public:
    enum class Key {
        // "showHelp": whether the help window opens after start-up, kept as
        // the text the "Show at Startup" box stored.
        ShowHelp,
        // "HidePasswords": "1" hides the passwords, anything else shows them.
        HidePasswords,
        // "ClipboardSeconds": how long a copied text stays on the clipboard.
        ClipboardSeconds,
        // "GeneratorLength": how many characters the password generator
        // draws, 20 unless set.
        GeneratorLength,
        // "GeneratorLetters", "GeneratorDigits", "GeneratorSymbols": "1"
        // (the default) when the generator uses that class of characters,
        // "0" when not.
        GeneratorLetters,
        GeneratorDigits,
        GeneratorSymbols,
        // "LockAfterMinutes": minutes without input before the program locks.
        LockAfterMinutes,
        // "LockWithDesktop": "1" locks the program when the desktop session
        // locks or the computer goes to sleep.
        LockWithDesktop,
    };
    Q_ENUM(Key)
    static constexpr int kKeyCount = 9;

    explicit Settings(SettingsStore &store, QObject *parent = nullptr);

    // Reads every value from the settings of this application. Until then
    // each value is its default.
    void load(const QString &application);
    const QString &application() const { return m_application; }

    // A value as stored, or its default when nothing is stored.
    QString text(Key key) const;
    // Stores a value (written even when it is the same text) and tells
    // whoever listens when it changed.
    void setText(Key key, const QString &text);

    // The stored text of "showHelp", "1" unless set.
    QString showHelp() const { return text(Key::ShowHelp); }
    void setShowHelp(const QString &stored) { setText(Key::ShowHelp, stored); }

    bool hidePasswords() const;
    void setHidePasswords(bool hide);

    // Seconds until a copied text is taken off the clipboard again; 0 leaves
    // it there. Missing or not a whole number of seconds counts as 30.
    int clipboardSeconds() const;

    // The password generator's length as stored (20 when it is not a
    // number), and whether it uses a class of characters: a flag is off
    // only when stored as "0".
    int generatorLength() const;
    void setGeneratorLength(int length);
    bool generatorUses(Key flag) const;
    void setGeneratorUses(Key flag, bool used);

    // Minutes without key or mouse input before the program locks; 0 never.
    // Missing or not a whole number of minutes counts as 10.
    int lockAfterMinutes() const;
    void setLockAfterMinutes(int minutes);

    // Whether the program locks with the desktop session and before sleep;
    // on unless "0".
    bool lockWithDesktop() const;
    void setLockWithDesktop(bool on);

signals:
    void changed(Settings::Key key);

private:
    // The key's text as a whole number, if it is one.
    std::optional<int> number(Key key) const;
    // Stores a flag as "1" or "0".
    void setFlag(Key key, bool on);

    SettingsStore &m_store;
    QString m_application;
    std::array<QString, kKeyCount> m_values;
};
