#pragma once

#include <QString>
#include <QStringView>

// The rules the master password dialog applies, and the texts it shows.
namespace PasswordRules {

// A new master password must have at least this many characters.
inline constexpr qsizetype kMinimumLength = 4;

// Wrong passwords answered with Retry before the program gives up.
inline constexpr qint16 kMaximumTries = 3;

enum class NewPasswordCheck {
    TooShort, // the first box holds fewer than kMinimumLength characters
    Mismatch, // the two boxes differ (exactly, case and spaces count)
    Unstorable, // the vault file cannot hold the password unchanged
    Accepted,
};

// Checks a new master password as typed into the two boxes. Only the first
// box is measured; the length comes first, then the comparison, then whether
// the vault can hold it.
NewPasswordCheck checkNewPassword(QStringView typed, QStringView retyped);

// Whether a typed password is the stored one: exact, case-sensitive, nothing
// trimmed.
bool matchesStored(QStringView typed, QStringView stored);

// The 0-based position of the first character the vault cannot hold, or -1.
qsizetype firstUnstorable(QStringView password);

QString firstRunText(const QString &productName);
QString enterText();
// Shown in place of enterText() while the key of an encrypted vault is
// derived from the password typed.
QString checkingText();
QString tooShortText();
QString mismatchText();
QString unstorableText(qsizetype position);
QString wrongPasswordText();
QString wrongPasswordTitle();
QString tooManyTriesText();

} // namespace PasswordRules
