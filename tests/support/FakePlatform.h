#pragma once

#include "platform/Clock.h"
#include "platform/ColumnDialogs.h"
#include "platform/DesktopLock.h"
#include "platform/FileDialogs.h"
#include "platform/LocationStarter.h"
#include "platform/MessageBoxes.h"
#include "platform/PasswordPrompts.h"
#include "platform/Platform.h"
#include "platform/ProgramEnder.h"
#include "platform/SettingsStore.h"
#include "platform/UrlOpener.h"
#include "platform/VersionInfo.h"

#include <QMap>
#include <QQueue>
#include <QStringList>

#include <functional>

// Message boxes answered from a script; every box shown is recorded.
class FakeMessageBoxes : public MessageBoxes
{
public:
    struct Shown
    {
        QString text;
        int style;
        QString title;
    };

    int show(const QString &text, int style, const QString &title) override;

    // The answers to the next boxes, in order; when none is left a box is
    // answered with OK (Cancel or No when OK is not one of its buttons).
    QQueue<int> answers;
    // Runs while a box is up, before it is answered (to look at the screen
    // behind it).
    std::function<void(const Shown &)> onShow;
    QList<Shown> shown;
};

class FakeEnder : public ProgramEnder
{
public:
    void endProgram() override { ++endCount; }
    int endCount = 0;
};

class FakeUrlOpener : public UrlOpener
{
public:
    void openUrl(const QString &address) override { opened.append(address); }
    QStringList opened;
};

class FakeLocationStarter : public LocationStarter
{
public:
    void startLocation(const QString &location) override { started.append(location); }
    QStringList started;
};

class FakeSettings : public SettingsStore
{
public:
    QString value(const QString &application, const QString &section, const QString &key,
                  const QString &defaultValue) const override;
    void setValue(const QString &application, const QString &section, const QString &key,
                  const QString &value) override;

    static QString path(const QString &application, const QString &section, const QString &key);
    QMap<QString, QString> values;
    int writes = 0;
};

class FakeVersionInfo : public VersionInfo
{
public:
    VersionValues read() const override { return values; }
    VersionValues values = builtInVersionValues();
};

class FakeClock : public Clock
{
public:
    QDateTime now() const override { return time; }
    QDateTime time = QDateTime(QDate(2026, 3, 14), QTime(15, 9, 26));
};

// File dialogs answered from a script; every dialog asked for is recorded.
class FakeFileDialogs : public FileDialogs
{
public:
    QString openFileName(const QString &caption, const QString &filter) override;
    QString saveFileName(const QString &caption, const QString &suggested,
                         const QString &filter) override;

    // The paths the next dialogs give; an empty one (or none left) cancels.
    QQueue<QString> answers;
    // Caption and suggested name of each dialog, in order.
    QStringList asked;
};

// The desktop's lock and sleep, when a test says so.
class FakeDesktopLock : public DesktopLock
{
public:
    void lockSession() { emit locking(Reason::SessionLocked); }
    void sleep() { emit locking(Reason::Sleep); }
};

// Password prompts answered from a script: a prompt offers the passwords
// typed, one try each, until one is confirmed, and is cancelled when none is
// left. What the command answered and did is recorded.
class FakePasswordPrompts : public PasswordPrompts
{
public:
    struct Typed
    {
        QString password;
        QString newPassword;
    };

    PasswordPrompt *ask(Kind kind, const QString &caption, const QString &intro,
                        Handlers handlers) override;

    QQueue<Typed> typed;
    // The captions of the prompts opened, and what was done to them in turn:
    // "refused", "confirmed", "working", "idle", "finished", "cancelled".
    QStringList asked;
    QStringList events;
};

// The column question answered from a script; every header asked about is
// recorded with the guess it came with.
class FakeColumnDialogs : public ColumnDialogs
{
public:
    std::optional<Choice> chooseColumns(const QStringList &header, const Choice &guess) override
    {
        asked.append(header);
        guesses.append(guess);
        return answer;
    }

    // The answer to every question; none cancels.
    std::optional<Choice> answer;
    QList<QStringList> asked;
    QList<Choice> guesses;
};

// One of each, wired into a Platform.
struct FakePlatform
{
    FakeMessageBoxes messages;
    FakeEnder ender;
    FakeUrlOpener urls;
    FakeLocationStarter locations;
    FakeSettings settings;
    FakeVersionInfo version;
    FakeClock clock;
    FakeFileDialogs files;
    FakeDesktopLock desktopLock;
    FakeColumnDialogs columns;

    Platform platform()
    {
        return Platform {&messages, &ender, &urls,  &locations,   &settings,
                         &version,  &clock, &files, &desktopLock, &columns};
    }
};
