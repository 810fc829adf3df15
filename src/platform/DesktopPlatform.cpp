#include "DesktopPlatform.h"

#include "VersionInfo.h"

#ifdef Q_OS_WIN
#include "WindowsDesktopLock.h"
#elif defined(Q_OS_LINUX)
#include "LogindDesktopLock.h"
#else
#include "DesktopLock.h"
#endif

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>
#include <QWidget>

#ifdef Q_OS_WIN
#include <QProcess>
#include <qt_windows.h>
// <windows.h> maps MessageBox to MessageBoxW, which hides our MessageBox
// style numbers.
#undef MessageBox
#endif

namespace {

// A window of ours that is showing in the band kept above all others, if any.
QWidget *shownTopmostWindow()
{
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
            return window;
    }
    return nullptr;
}

// The parent of a file dialog: a window kept on top while one shows, since a
// modal dialog underneath it would leave the program seeming frozen (a
// dialog stands above its parent); the active window otherwise.
QWidget *fileDialogParent()
{
    QWidget *topmost = shownTopmostWindow();
    return topmost ? topmost : QApplication::activeWindow();
}

} // namespace

int WidgetMessageBoxes::show(const QString &text, int style, const QString &title)
{
    // Parent the box to the active window so that it stands above it.
    QWidget *parent = QApplication::activeWindow();
    QWidget *topmost = shownTopmostWindow();
    // Right after another box closed no window is active yet: stand above a
    // window that is kept on top, if one is showing.
    if (!parent)
        parent = topmost;
    QMessageBox box(parent);
    box.setWindowTitle(title.isEmpty() ? applicationTitle() : title);
    box.setText(text);
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(Qt::ApplicationModal);
    // A modal box underneath a window kept on top would leave the program
    // seeming frozen: whichever window is active, the box joins the topmost
    // band while any window of ours is in it.
    // A box that asks for the topmost band gets it whatever of ours shows: a
    // window of another copy kept on top may stand over it otherwise.
    if (topmost || (style & MessageBox::Topmost))
        box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    switch (style & 0x70) {
    case MessageBox::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case MessageBox::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case MessageBox::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case MessageBox::Information:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        box.setIcon(QMessageBox::NoIcon);
        break;
    }

    // Enter presses the default button: the first, or the second when the
    // style asks for it.
    const auto setDefault = [&box, style](QPushButton *first, QPushButton *second) {
        box.setDefaultButton(style & MessageBox::DefaultButton2 ? second : first);
    };
    switch (style & 0x0F) {
    case MessageBox::OkCancel: {
        QPushButton *ok = box.addButton(QMessageBox::Ok);
        setDefault(ok, box.addButton(QMessageBox::Cancel));
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    }
    case MessageBox::YesNoCancel: {
        QPushButton *yes = box.addButton(QMessageBox::Yes);
        setDefault(yes, box.addButton(QMessageBox::No));
        box.addButton(QMessageBox::Cancel);
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    }
    case MessageBox::YesNo: {
        QPushButton *yes = box.addButton(QMessageBox::Yes);
        setDefault(yes, box.addButton(QMessageBox::No));
        box.setEscapeButton(QMessageBox::No);
        break;
    }
    case MessageBox::RetryCancel: {
        QPushButton *retry = box.addButton(QMessageBox::Retry);
        setDefault(retry, box.addButton(QMessageBox::Cancel));
        box.setEscapeButton(QMessageBox::Cancel);
        break;
    }
    default:
        box.setDefaultButton(box.addButton(QMessageBox::Ok));
        break;
    }

    box.exec();
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Ok:
        return MessageBox::Ok;
    case QMessageBox::Retry:
        return MessageBox::Retry;
    case QMessageBox::Yes:
        return MessageBox::Yes;
    case QMessageBox::No:
        return MessageBox::No;
    default:
        // Closing an OK-only box counts as OK, every other closing as Cancel.
        return (style & 0x0F) == MessageBox::OkOnly ? MessageBox::Ok : MessageBox::Cancel;
    }
}

void ApplicationEnder::endProgram()
{
    // Leaves every running event loop, nested ones (message boxes) included;
    // the caller returns straight away, so nothing else of ours runs.
    for (QWidget *window : QApplication::topLevelWidgets())
        window->hide();
    QCoreApplication::exit(0);
}

void DesktopUrlOpener::openUrl(const QString &address)
{
    QDesktopServices::openUrl(QUrl(address, QUrl::TolerantMode));
}

void DesktopLocationStarter::startLocation(const QString &location)
{
#ifdef Q_OS_WIN
    // Explorer opens web addresses in the browser and folders in a window,
    // which starts minimised. The location is one argument, quoted as Windows
    // programs expect; an empty location starts Explorer with no argument.
    QProcess explorer;
    explorer.setProgram(QStringLiteral("explorer"));
    if (!location.isEmpty())
        explorer.setArguments({location});
    explorer.setCreateProcessArgumentsModifier([](QProcess::CreateProcessArguments *args) {
        args->startupInfo->dwFlags |= STARTF_USESHOWWINDOW;
        args->startupInfo->wShowWindow = SW_SHOWMINIMIZED;
    });
    explorer.startDetached();
#else
    const QUrl url(location, QUrl::TolerantMode);
    const bool hasScheme = url.isValid() && url.scheme().size() > 1;
    if (hasScheme) {
        QDesktopServices::openUrl(url);
        return;
    }
    // A location without a scheme is a path: open it as a local file or
    // folder (relative paths are taken from the home folder).
    const QString path
        = QDir::isAbsolutePath(location) ? location : QDir::home().filePath(location);
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()));
#endif
}

QString WidgetFileDialogs::openFileName(const QString &caption, const QString &filter)
{
    return QFileDialog::getOpenFileName(fileDialogParent(), caption, QString(), filter);
}

QString WidgetFileDialogs::saveFileName(const QString &caption, const QString &suggested,
                                        const QString &filter)
{
    return QFileDialog::getSaveFileName(fileDialogParent(), caption, suggested, filter);
}

DesktopLock *createDesktopLock(QObject *parent)
{
#ifdef Q_OS_WIN
    return new WindowsDesktopLock(parent);
#elif defined(Q_OS_LINUX)
    return new LogindDesktopLock(parent);
#else
    return new DesktopLock(parent);
#endif
}
