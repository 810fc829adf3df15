#pragma once

#include "SkinColours.h"

#include <QObject>

class QWidget;

// The program's skin: it holds the skin definition and paints windows in it.
// One lives on the splash window for the whole run; every window is skinned
// through it.
class Skin : public QObject
{
    Q_OBJECT

public:
    explicit Skin(SkinDefinition definition, QObject *parent = nullptr);

    const SkinDefinition &definition() const { return m_definition; }
    // The colour set, in the order back, fore, panel, panel text.
    SkinColours colours() const { return m_definition.colours; }

    // Draws the window in the skin's style from now on: its surface in the
    // panel colours, its buttons and text with the skin's light text.
    // Controls coloured one by one keep their own colours.
    void applyTo(QWidget *window) const;

    // How the skin draws command buttons (with their keyboard focus mark)
    // and column headers.
    static QString buttonStyleSheet(const SkinColours &colours);
    static QString headerStyleSheet(const SkinColours &colours);

    // The object the skin companion attaches to.
    QObject *object() { return this; }

private:
    SkinDefinition m_definition;
};
