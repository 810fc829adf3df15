#include "Program.h"
#include "platform/Clock.h"
#include "platform/DesktopLock.h"
#include "platform/DesktopPlatform.h"
#include "platform/ProcessPrivacy.h"
#include "platform/SettingsStore.h"
#include "platform/TerminationSignals.h"
#include "platform/VersionInfo.h"

#include <QApplication>
#include <QSessionManager>
#include <QStyleFactory>

int main(int argc, char *argv[])
{
    // Before any secret is read or typed.
    keepMemoryPrivate();
    QApplication app(argc, argv);
    // The skin colours every window through its palette, which the Fusion
    // style honours on every platform.
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    const VersionValues version = builtInVersionValues();
    QApplication::setApplicationName(version.productName);
    QApplication::setOrganizationName(version.companyName);
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2").arg(version.major).arg(version.minor));
    QApplication::setQuitOnLastWindowClosed(false);

    WidgetMessageBoxes messages;
    ApplicationEnder ender;
    DesktopUrlOpener urls;
    DesktopLocationStarter locations;
    QSettingsStore settings;
    ExecutableVersionInfo versionInfo;
    SystemClock clock;
    WidgetFileDialogs files;
    DesktopLock *desktopLock = createDesktopLock(&app);
    const Platform platform {&messages,    &ender, &urls,  &locations, &settings,
                             &versionInfo, &clock, &files, desktopLock};

    Program program(QCoreApplication::applicationDirPath(), platform);
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
