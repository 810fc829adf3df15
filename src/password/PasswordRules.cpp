#include "PasswordRules.h"

#include "vault/VaultFormat.h"

namespace PasswordRules {

NewPasswordCheck checkNewPassword(QStringView typed, QStringView retyped)
{
    if (typed.size() < kMinimumLength)
        return NewPasswordCheck::TooShort;
    if (typed != retyped)
        return NewPasswordCheck::Mismatch;
    if (!VaultFormat::canStore(typed))
        return NewPasswordCheck::Unstorable;
    return NewPasswordCheck::Accepted;
}

bool matchesStored(QStringView typed, QStringView stored)
{
    return typed == stored;
}

qsizetype firstUnstorable(QStringView password)
{
    for (qsizetype i = 0; i < password.size(); ++i) {
        if (!VaultFormat::canStore(password.sliced(i, 1)))
            return i;
    }
    return -1;
}

QString firstRunText(const QString &productName)
{
    return QStringLiteral("Because this is the first time you have used ") + productName
        + QStringLiteral(", you will need to create a master password.  This password will "
                         "be required to open the program from now on, and can not be "
                         "reset.\r\n\r\nPlease enter a password that you will not forget.");
}

QString enterText()
{
    return QStringLiteral("Please enter your password");
}

QString checkingText()
{
    return QStringLiteral("Checking the password...");
}

QString tooShortText()
{
    return QStringLiteral("You must enter a password that is at least 4 characters long");
}

QString mismatchText()
{
    return QStringLiteral("Your passwords did not match.  Please try again.");
}

QString unstorableText(qsizetype position)
{
    // The character itself is not shown: it is part of a password.
    return QStringLiteral("Character %1 of your password cannot be stored in the vault file.  "
                          "Please use only letters, digits, spaces and the punctuation of "
                          "Western European languages.")
        .arg(position + 1);
}

QString wrongPasswordText()
{
    return QStringLiteral("Sorry, the password you entered was not correct.");
}

QString wrongPasswordTitle()
{
    return QStringLiteral("Incorrect Password");
}

QString tooManyTriesText()
{
    return QStringLiteral("Only 3 tries allowed.  Click Ok to close.");
}

} // namespace PasswordRules
