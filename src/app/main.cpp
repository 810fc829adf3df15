#include "CommandLine.h"
#include "Program.h"
#include "exchange/frmColumns.h"
#include "platform/Clock.h"
#include "platform/Console.h"
#include "platform/DesktopPlatform.h"
#include "platform/ProcessPrivacy.h"
#include "platform/SettingsStore.h"
#include "platform/TerminationSignals.h"
#include "platform/VersionInfo.h"
#include "vault/VaultFile.h"
#include "vault/VaultLocation.h"

#include <QApplication>
#include <QFileInfo>
#include <QSessionManager>
#include <QStandardPaths>
#include <QStyleFactory>

namespace {

// The user's data folder: ~/.local/share/Vorsell, %APPDATA%\Vorsell.
QString userDataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

// Answers --help or --version on the console; no window opens.
int answerOnConsole(CommandLine::Request request, int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const VersionValues version = ExecutableVersionInfo().read();
    QString text;
    if (request == CommandLine::Request::Version) {
        text = CommandLine::versionText(version) + u'\n';
    } else {
        const QString programFolder = QCoreApplication::applicationDirPath();
        const QString vaultFolder = VaultLocation::folder(programFolder, userDataFolder());
        text = CommandLine::helpText(QFileInfo(QCoreApplication::applicationFilePath()).baseName(),
                                     version, VaultFile::pathIn(vaultFolder),
                                     QSettingsStore::location(version.productName));
    }
    return writeToConsole(text) ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    // Before any secret is read or typed.
    keepMemoryPrivate();

    const VersionValues version = builtInVersionValues();
    // No organisation name: the user's data folder is ~/.local/share/Vorsell
    // or %APPDATA%\Vorsell.
    QCoreApplication::setApplicationName(version.productName);
    QCoreApplication::setApplicationVersion(
        QStringLiteral("%1.%2").arg(version.major).arg(version.minor));

    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    if (const auto request = CommandLine::parse(arguments); request != CommandLine::Request::Run)
        return answerOnConsole(request, argc, argv);

    QApplication app(argc, argv);
    // The skin colours every window through its palette, which the Fusion
    // style honours on every platform.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setQuitOnLastWindowClosed(false);
    // The desktop's menu entry, which names the icon (Wayland matches the
    // window to it by this name).
    QGuiApplication::setDesktopFileName(QStringLiteral("example.drummet.vorsell"));

    WidgetMessageBoxes messages;
    ApplicationEnder ender;
    DesktopUrlOpener urls;
    DesktopLocationStarter locations;
    QSettingsStore settings;
    ExecutableVersionInfo versionInfo;
    SystemClock clock;
    WidgetFileDialogs files;
    DesktopLock *desktopLock = createDesktopLock(&app);
    WidgetColumnDialogs columns;
    const Platform platform {&messages,    &ender, &urls,  &locations,  &settings,
                             &versionInfo, &clock, &files, desktopLock, &columns};

    Program program(QCoreApplication::applicationDirPath(), userDataFolder(), platform);
    // Shutdown and logout end the program in good order, not on the spot.
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::endRequested, &program,
                     &Program::endOnRequest);
#ifndef QT_NO_SESSIONMANAGER
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &program,
                     [&program](QSessionManager &manager) {
                         const bool mayAsk = manager.allowsInteraction();
                         if (!program.commitData(mayAsk))
                             manager.cancel();
                         if (mayAsk)
                             manager.release();
                     });
#endif
    program.start();
    return QApplication::exec();
}
