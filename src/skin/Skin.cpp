#include "Skin.h"

#include <QColor>
#include <QPalette>
#include <QWidget>

Skin::Skin(SkinDefinition definition, QObject *parent)
    : QObject(parent)
    , m_definition(std::move(definition))
{
}

void Skin::applyTo(QWidget *window) const
{
    const SkinColours &c = m_definition.colours;
    const QColor back = QColor::fromRgb(c.back);
    const QColor fore = QColor::fromRgb(c.fore);
    const QColor panel = QColor::fromRgb(c.panel);
    const QColor panelText = QColor::fromRgb(c.panelText);

    // Roles a control set for itself are kept: a widget's palette only
    // inherits the roles it has not set.
    QPalette palette = window->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Window, panel);
        palette.setColor(group, QPalette::WindowText, panelText);
        palette.setColor(group, QPalette::Button, back);
        palette.setColor(group, QPalette::ButtonText, fore);
        palette.setColor(group, QPalette::Base, back.lighter(115));
        palette.setColor(group, QPalette::AlternateBase, back);
        palette.setColor(group, QPalette::Text, fore);
        // A deep shade of the panel colour: selected rows and the focus mark
        // stand out clearly against both the light buttons and the list.
        palette.setColor(group, QPalette::Highlight, panel.darker(150));
        palette.setColor(group, QPalette::HighlightedText, fore);
        palette.setColor(group, QPalette::ToolTipBase, panel);
        palette.setColor(group, QPalette::ToolTipText, panelText);
        palette.setColor(group, QPalette::Light, back.lighter(140));
        palette.setColor(group, QPalette::Midlight, back.lighter(120));
        palette.setColor(group, QPalette::Mid, panel);
        palette.setColor(group, QPalette::Dark, panel.darker(130));
        palette.setColor(group, QPalette::Shadow, panel.darker(200));
    }
    palette.setColor(QPalette::Disabled, QPalette::Window, panel);
    palette.setColor(QPalette::Disabled, QPalette::Button, back.darker(115));
    palette.setColor(QPalette::Disabled, QPalette::WindowText, panelText.darker(150));
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, fore.darker(150));
    window->setPalette(palette);
    window->setAutoFillBackground(true);
    window->setProperty("skinned", true);
}
