#pragma once

#include "SkinColours.h"

#include <QString>

#include <memory>

class QObject;
class QWidget;
class Skin;
class SkinCompanion;

// The program-wide skinning values.
struct SkinState
{
    bool bUseSkin = false;
    // The splash window's skin; set when the splash loads.
    Skin *objSkin = nullptr;
    std::unique_ptr<SkinCompanion> objSkinCompanion;

    SkinState();
    ~SkinState();
    // The companion, created on first use.
    SkinCompanion &companion();
};

// The classic type name of a control, by which the skin decides its colours.
QString controlTypeName(const QObject *control);

// Skins a window: colours its controls from the skin, gives it a plain
// rectangular outline on systems that need it, and has the skin paint it.
// A failing step is skipped.
void ApplySkinToForm(SkinState &state, QWidget *window);

// Colours every control of the window by its type.
void ColorControlsFromSkin(QWidget *window, quint32 back, quint32 fore, quint32 panel,
                           quint32 panelText);

// Removes any non-rectangular outline from the window.
void ResetWindowRegion(QWidget *window);

// The first step of the main window's load: on newer Windows the companion
// is not needed once the main window exists.
void InitSkinForMainWindow(SkinState &state);

// Run by the splash window's load: takes its skin as the program's, skins
// the splash and starts the companion.
void startSkin(SkinState &state, Skin *skin, QWidget *splash);

// Run at shutdown: stops the companion.
void stopSkin(SkinState &state);
