#include "Skin.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QColor>
#include <QEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPalette>
#include <QPushButton>
#include <QToolButton>
#include <QWidget>

namespace {

QString cssColour(const QColor &colour)
{
    return colour.name(QColor::HexRgb);
}

// Marks the keyboard focus where Qt's own mark is hardly seen on the skin's
// colours: a text box's caret, which Qt draws by inverting what lies under
// it (about 1.4:1 on the mid-tone fields), becomes a solid bar in the box's
// text colour; a check box or a list with the focus gets a white frame
// (Qt's is a faint tint, about 1.3:1, and a list has none).
class FocusMarks : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *control = qobject_cast<QWidget *>(watched);
        if (!control || event->type() != QEvent::Paint)
            return QObject::eventFilter(watched, event);
        // The control paints itself first; the mark goes over it.
        static_cast<QObject *>(control)->event(event);
        if (!control->hasFocus())
            return true;
        QPainter painter(control);
        if (auto *box = qobject_cast<QLineEdit *>(control)) {
            if (box->isReadOnly() || box->hasSelectedText())
                return true;
            // The rectangle Qt reports has a margin on each side of the
            // caret, which stands in its middle.
            const QRect around = box->inputMethodQuery(Qt::ImCursorRectangle).toRect();
            painter.fillRect(
                QRect(around.left() + around.width() / 2, around.top(), 2, around.height()),
                box->palette().color(QPalette::Text));
        } else {
            painter.setPen(QColor(Qt::white));
            painter.drawRect(control->rect().adjusted(0, 0, -1, -1));
        }
        return true;
    }
};

} // namespace

QString Skin::buttonStyleSheet(const SkinColours &c)
{
    const QColor back = QColor::fromRgb(c.back);
    const QColor panel = QColor::fromRgb(c.panel);
    // Drawn flat in the back colour, so that the caption stands out from a
    // face of exactly that colour: white on it reaches 4.5:1, the skin's own
    // light fore colour does not quite. The keyboard focus shows as a white
    // frame, which stands out against the face and the window alike.
    return QStringLiteral("QToolButton, QPushButton { background-color: %1; color: #ffffff;"
                          " border: 2px solid %2; border-radius: 3px; padding: 0px; }"
                          "QToolButton:hover, QPushButton:hover { background-color: %3; }"
                          "QToolButton:pressed, QPushButton:pressed { background-color: %4; }"
                          "QToolButton:focus, QPushButton:focus { border-color: #ffffff; }")
        .arg(cssColour(back), cssColour(panel.darker(130)), cssColour(back.darker(112)),
             cssColour(panel));
}

QString Skin::headerStyleSheet(const SkinColours &c)
{
    // Column headers take the window's panel colours, as its labels do.
    return QStringLiteral("QHeaderView::section { background-color: %1; color: %2; border: none;"
                          " border-right: 1px solid %3; border-bottom: 1px solid %3;"
                          " padding: 2px 4px; }")
        .arg(cssColour(QColor::fromRgb(c.panel)), cssColour(QColor::fromRgb(c.panelText)),
             cssColour(QColor::fromRgb(c.back)));
}

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
        // Menus draw their face from a tint of it: on the panel colour,
        // as the menu bar, their text reads.
        palette.setColor(group, QPalette::Base,
                         qobject_cast<QMenu *>(window) ? panel : back.lighter(115));
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
    // Only the controls that need it get a style sheet: one on the window
    // would stop its palette from reaching the other controls.
    const QString buttons = buttonStyleSheet(c);
    for (QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
        if (qobject_cast<QToolButton *>(button) || qobject_cast<QPushButton *>(button))
            button->setStyleSheet(buttons);
    }
    const QString headers = headerStyleSheet(c);
    for (QHeaderView *header : window->findChildren<QHeaderView *>())
        header->setStyleSheet(headers);
    // Menus on the panel colour, as the menu bar: their text reads on it.
    for (QMenu *menu : window->findChildren<QMenu *>()) {
        QPalette menuPalette = menu->palette();
        menuPalette.setColor(QPalette::Base, panel);
        menu->setPalette(menuPalette);
    }
    QList<QWidget *> marked;
    for (QLineEdit *box : window->findChildren<QLineEdit *>())
        marked.append(box);
    for (QCheckBox *box : window->findChildren<QCheckBox *>())
        marked.append(box);
    for (QAbstractItemView *list : window->findChildren<QAbstractItemView *>())
        marked.append(list);
    for (QWidget *control : marked) {
        if (control->property("skinFocusMarks").toBool())
            continue;
        control->installEventFilter(new FocusMarks(control));
        control->setProperty("skinFocusMarks", true);
    }
    window->setProperty("skinned", true);
}
