#pragma once

#include <QString>

// What one vault operation came to: the status text to show, and when it
// did not go through, why, in words the user can act on.
struct VaultOutcome
{
    enum class Result {
        Done,
        Failed, // `error` says why
        WrongPassword, // not the master password: a wrong try
        Cancelled, // dropped before it was answered: the program ends
    };

    Result result = Result::Done;
    QString status;
    QString error;
    // Something the user must know although the operation went through
    // (saving is off, the file looks cut short).
    QString notice = QString();
    // The check failed with a question in `error`: take over the claim of a
    // copy on another computer? Answered by check(..., true).
    bool offersTakeOver = false;

    bool ok() const { return result == Result::Done; }

    static VaultOutcome done(const QString &status) { return {Result::Done, status, QString()}; }
    static VaultOutcome failed(const QString &error, const QString &status = QString())
    {
        return {Result::Failed, status, error};
    }
    static VaultOutcome wrongPassword() { return {Result::WrongPassword, QString(), QString()}; }
    static VaultOutcome cancelled() { return {Result::Cancelled, QString(), QString()}; }
};
