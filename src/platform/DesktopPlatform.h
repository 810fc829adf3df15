#pragma once

#include "FileDialogs.h"
#include "LocationStarter.h"
#include "MessageBoxes.h"
#include "ProgramEnder.h"
#include "UrlOpener.h"

class DesktopLock;
class QObject;

// The real implementations of the seams that need the window system.

class WidgetMessageBoxes : public MessageBoxes
{
public:
    int show(const QString &text, int style, const QString &title) override;
};

class ApplicationEnder : public ProgramEnder
{
public:
    void endProgram() override;
};

class DesktopUrlOpener : public UrlOpener
{
public:
    void openUrl(const QString &address) override;
};

class DesktopLocationStarter : public LocationStarter
{
public:
    void startLocation(const QString &location) override;
};

class WidgetFileDialogs : public FileDialogs
{
public:
    QString openFileName(const QString &caption, const QString &filter) override;
    QString saveFileName(const QString &caption, const QString &suggested,
                         const QString &filter) override;
};

// The desktop lock listener of this platform: logind on Linux, the session
// and power notifications on Windows, the silent base class elsewhere.
DesktopLock *createDesktopLock(QObject *parent);
