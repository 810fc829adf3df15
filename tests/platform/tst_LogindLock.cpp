#include "platform/LogindDesktopLock.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

const QString kService = QStringLiteral("org.freedesktop.login1");
const QString kOurs = QStringLiteral("/org/freedesktop/login1/session/c1");
const QString kOther = QStringLiteral("/org/freedesktop/login1/session/c2");

// logind's Manager as far as the listener asks it: our session is "c1", by
// its id or by our process id.
class FakeManager : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

public slots:
    QDBusObjectPath GetSession(const QString &id)
    {
        if (id != u"c1")
            sendErrorReply(QStringLiteral("org.freedesktop.login1.NoSuchSession"),
                           QStringLiteral("No session '%1' known").arg(id));
        return QDBusObjectPath(kOurs);
    }
    QDBusObjectPath GetSessionByPID(uint pid)
    {
        return QDBusObjectPath(pid == uint(getpid()) ? kOurs : kOther);
    }
};

} // namespace

// The listener on a private bus daemon that stands in for the system bus, with
// logind's signals sent as logind sends them.
class TestLogindLock : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void locksForOurSessionAndSleepOnly_data();
    void locksForOurSessionAndSleepOnly();

private:
    void send(const QString &path, const QString &interface, const QString &name,
              const QVariantList &arguments = {});

    QTemporaryDir m_dir;
    QProcess m_daemon;
    FakeManager m_manager;
};

void TestLogindLock::initTestCase()
{
    const QString config = m_dir.filePath(QStringLiteral("bus.conf"));
    QFile file(config);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(
        QStringLiteral(
            R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=%1</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
  </policy>
</busconfig>
)")
            .arg(m_dir.filePath(QStringLiteral("bus")))
            .toUtf8());
    file.close();
    m_daemon.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                    QStringLiteral("--print-address")});
    if (!m_daemon.waitForStarted())
        QSKIP("dbus-daemon is not installed (Debian: dbus-daemon)");
    QTRY_VERIFY(m_daemon.canReadLine());
    const QByteArray address = m_daemon.readLine().trimmed();
    // Before anything in this process opens the system bus.
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", address);

    QDBusConnection logind
        = QDBusConnection::connectToBus(QString::fromUtf8(address), QStringLiteral("logind"));
    QVERIFY(logind.isConnected());
    QVERIFY(logind.registerService(kService));
    QVERIFY(logind.registerObject(QStringLiteral("/org/freedesktop/login1"), &m_manager,
                                  QDBusConnection::ExportAllSlots));
}

void TestLogindLock::cleanupTestCase()
{
    QDBusConnection::disconnectFromBus(QStringLiteral("logind"));
    m_daemon.kill();
    m_daemon.waitForFinished();
}

void TestLogindLock::send(const QString &path, const QString &interface, const QString &name,
                          const QVariantList &arguments)
{
    QDBusMessage signal = QDBusMessage::createSignal(path, interface, name);
    signal.setArguments(arguments);
    QVERIFY(QDBusConnection(QStringLiteral("logind")).send(signal));
}

void TestLogindLock::locksForOurSessionAndSleepOnly_data()
{
    QTest::addColumn<QByteArray>("sessionId");
    QTest::newRow("by $XDG_SESSION_ID") << QByteArray("c1");
    QTest::newRow("by process, no session id") << QByteArray();
    QTest::newRow("by process, an id logind does not know") << QByteArray("c2");
}

void TestLogindLock::locksForOurSessionAndSleepOnly()
{
    QFETCH(QByteArray, sessionId);
    if (sessionId.isEmpty())
        qunsetenv("XDG_SESSION_ID");
    else
        qputenv("XDG_SESSION_ID", sessionId);
    LogindDesktopLock listener;
    QSignalSpy locking(&listener, &DesktopLock::locking);
    QTRY_COMPARE(listener.sessionPath(), kOurs);

    // None of these is a lock of ours: another session's lock, the end of a
    // sleep, a screensaver that starts.
    send(kOther, QStringLiteral("org.freedesktop.login1.Session"), QStringLiteral("Lock"));
    send(QStringLiteral("/org/freedesktop/login1"),
         QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"),
         {false});
    send(QStringLiteral("/org/freedesktop/ScreenSaver"),
         QStringLiteral("org.freedesktop.ScreenSaver"), QStringLiteral("ActiveChanged"), {true});
    // These are, in this order; a signal wrongly taken above would come first.
    send(kOurs, QStringLiteral("org.freedesktop.login1.Session"), QStringLiteral("Lock"));
    send(QStringLiteral("/org/freedesktop/login1"),
         QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"),
         {true});
    QTRY_COMPARE(locking.count(), 2);
    QCOMPARE(locking.at(0).at(0).value<DesktopLock::Reason>(), DesktopLock::Reason::SessionLocked);
    QCOMPARE(locking.at(1).at(0).value<DesktopLock::Reason>(), DesktopLock::Reason::Sleep);
}

QTEST_GUILESS_MAIN(TestLogindLock)
#include "tst_LogindLock.moc"
