#pragma once

#include "vault/MasterPassword.h"
#include "vault/VaultFile.h"
#include "vault/VaultSession.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <QDir>

#include <memory>
#include <optional>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

// A fresh program folder per test case with the vault's path in it, and the
// bytes of a file read and written as they stand.
class VaultFolderFixture
{
protected:
    void setUp()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_path = VaultFile::pathIn(m_dir->path());
    }
    void tearDown() { m_dir.reset(); }

    static QByteArray read(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }
    static void write(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(bytes), bytes.size());
    }

    // The answer to a question of the session, once it comes (a key is
    // derived off this thread).
    static VaultOutcome answerOf(const std::function<void(VaultSession::Answer)> &ask)
    {
        std::optional<VaultOutcome> answered;
        ask([&answered](const VaultOutcome &outcome) { answered = outcome; });
        if (!QTest::qWaitFor([&answered] { return answered.has_value(); }, 120000))
            qFatal("the session never answered");
        return *answered;
    }
    // Whether a typed password is the master password: the vault opens with
    // the right one.
    static VaultOutcome offer(VaultSession &session, const QString &typed)
    {
        return answerOf([&](VaultSession::Answer answer) {
            session.askMasterPassword(MasterPassword::fromText(typed), &session, answer);
        });
    }

#ifdef Q_OS_UNIX
    // While it lives, the test acts as an ordinary user, so that folder
    // permissions bind: as root it hands the folder and its files to the
    // user "nobody" and takes that user's ids; otherwise it changes nothing.
    class AsOrdinaryUser
    {
    public:
        explicit AsOrdinaryUser(const QString &folder)
        {
            if (::geteuid() != 0)
                return;
            const QDir dir(folder);
            bool handed = ::chown(QFile::encodeName(folder).constData(), kNobody, kNobody) == 0;
            for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden))
                handed = handed
                    && ::chown(QFile::encodeName(dir.filePath(name)).constData(), kNobody, kNobody)
                        == 0;
            m_switched = handed && ::setegid(kNobody) == 0 && ::seteuid(kNobody) == 0;
        }
        ~AsOrdinaryUser()
        {
            if (m_switched) {
                [[maybe_unused]] const int user = ::seteuid(0);
                [[maybe_unused]] const int group = ::setegid(0);
            }
        }
        // Whether folder permissions bind for the test now.
        bool binds() const { return m_switched || ::geteuid() != 0; }

    private:
        static constexpr uid_t kNobody = 65534;
        bool m_switched = false;
    };
#endif

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};
