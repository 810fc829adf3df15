#pragma once

#include "platform/Platform.h"
#include "skin/Skinning.h"

#include <QString>

// The branding values, copied from the executable's version information.
struct Branding
{
    QString strProductName;
    QString strCompanyName;
    // The publisher's web address.
    QString strComments;
};

// What every window may use of the program: the seams to the outside world,
// the branding and the skin. The program owns it; windows read it and never
// reach the program itself.
struct WindowContext
{
    explicit WindowContext(const Platform &seams)
        : platform(seams)
    {
    }

    Platform platform;
    Branding branding;
    SkinState skin;

    // The product name as the version information gives it now: the
    // application name of the per-user settings.
    QString settingsApplication() const;
};

// Fills the branding values from the version information and switches
// skinning on.
void LoadBranding(WindowContext &context);
