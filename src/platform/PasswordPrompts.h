#pragma once

#include <QObject>
#include <QString>

#include <functional>

class MasterPassword;

// A window on the screen that asks for the master password for a command
// that rewrites the vault. It hands over what was typed; the command answers,
// works, and finishes it. It goes when it closes, by the user's Cancel or by
// finish(): hold it in a QPointer.
class PasswordPrompt : public QObject
{
public:
    using QObject::QObject;

    // The answer to the password handed over. Wrong: the user is told, and
    // may type another. Right: the prompt goes on (a new password is checked
    // against the rules of master passwords now) and hands over what it
    // asked for.
    virtual void refuse() = 0;
    virtual void confirm() = 0;
    // The command works on (a key is derived): the prompt says so, takes no
    // input and cannot be closed.
    virtual void setWorking(bool working) = 0;
    // The command is over: the prompt goes.
    virtual void finish() = 0;
};

// Asks the user for the master password, for the commands that rewrite the
// vault; the program opens its password window, a test answers from a
// script.
class PasswordPrompts
{
public:
    enum class Kind {
        Confirm, // the master password once
        Change, // the current master password, then a new one twice
    };
    struct Handlers
    {
        // A master password typed, to be answered with confirm() or
        // refuse().
        std::function<void(const MasterPassword &password)> offered;
        // After confirm(): the master password and, for Change, the new one
        // (empty otherwise), which passed the rules.
        std::function<void(const MasterPassword &password, const MasterPassword &newPassword)>
            accepted;
    };

    virtual ~PasswordPrompts() = default;
    // Opens the prompt and returns it; null while one is open already, which
    // is brought forward instead: one command at a time.
    virtual PasswordPrompt *ask(Kind kind, const QString &caption, const QString &intro,
                                Handlers handlers)
        = 0;
};
