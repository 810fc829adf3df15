#pragma once

#include "platform/Platform.h"
#include "settings/Settings.h"
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
// the per-user settings, the branding and the skin. The program owns it; windows read it and never
// reach the program itself.
struct WindowContext
{
    WindowContext(const Platform &seams, Settings &userSettings)
        : platform(seams)
        , settings(userSettings)
    {
    }

    Platform platform;
    Settings &settings;
    Branding branding;
    SkinState skin;
};

// Fills the branding values from the version information and switches
// skinning on.
void LoadBranding(WindowContext &context);
