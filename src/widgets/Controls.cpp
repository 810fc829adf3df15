#include "Controls.h"

#include "Accessible.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>
#include <QToolButton>
#include <QTreeView>

namespace {

// Drops the key presses that Alt turns into text, for every box it watches.
class AltTypingFilter : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress) {
            const auto *key = static_cast<QKeyEvent *>(event);
            const Qt::KeyboardModifiers held
                = key->modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier);
            if (held == Qt::AltModifier && !key->text().isEmpty())
                return true;
        }
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

namespace Controls {

QString withoutMnemonic(const QString &caption)
{
    QString spoken;
    spoken.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && i + 1 < caption.size())
            ++i;
        spoken += caption[i];
    }
    return spoken;
}

void refuseAltTyping(QLineEdit *box)
{
    box->installEventFilter(new AltTypingFilter(box));
}

QFont verdana(double points, bool bold)
{
    QFont font(QStringLiteral("Verdana"));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

void centreOnScreen(QWidget *window)
{
    QScreen *screen = window->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

QToolButton *pictureButton(QWidget *parent, const QString &name, const QString &caption,
                           const QString &icon, const QRect &geometry)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(caption);
    button->setAccessibleName(withoutMnemonic(caption));
    button->setIcon(QIcon(QStringLiteral(":/icons/%1.png").arg(icon)));
    button->setIconSize(QSize(32, 32));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setFocusPolicy(Qt::StrongFocus);
    button->setGeometry(geometry);
    return button;
}

QTreeView *reportList(QWidget *parent, const QString &name, const QString &accessibleName)
{
    auto *list = new QTreeView(parent);
    Accessible::givePressableHeaders(list);
    list->setObjectName(name);
    list->setAccessibleName(accessibleName);
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QHeaderView *header = list->header();
    header->setSectionsClickable(true);
    header->setSectionsMovable(false);
    header->setSortIndicatorShown(false);
    header->setStretchLastSection(true);
    return list;
}

} // namespace Controls
