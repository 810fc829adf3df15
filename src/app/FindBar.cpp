#include "FindBar.h"

#include "widgets/Twips.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace {

constexpr double kLabelWidth = 600;

} // namespace

FindBar::FindBar(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("findBar"));
    lblFind = new QLabel(QStringLiteral("Find:"), this);
    lblFind->setObjectName(QStringLiteral("lblFind"));
    txtFind = new QLineEdit(this);
    txtFind->setObjectName(QStringLiteral("txtFind"));
    lblFind->setBuddy(txtFind);
    txtFind->setAccessibleName(lblFind->text());
    txtFind->installEventFilter(this);
    connect(txtFind, &QLineEdit::textChanged, this, &FindBar::textChanged);
}

bool FindBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != txtFind
        || (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride))
        return QWidget::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    if (event->type() == QEvent::ShortcutOverride && !txtFind->hasSelectedText()
        && m_windowKeys.contains(QKeySequence(key->keyCombination()))) {
        // Not taken by the box: the window's shortcut runs.
        event->ignore();
        return true;
    }
    if (event->type() != QEvent::KeyPress
        || (key->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return QWidget::eventFilter(watched, event);
    switch (key->key()) {
    case Qt::Key_Escape:
        emit closeRequested();
        return true;
    case Qt::Key_Down:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit firstMatchRequested();
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void FindBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int labelWidth = Twips::toPixels(kLabelWidth);
    lblFind->setGeometry(0, 0, labelWidth, height());
    txtFind->setGeometry(labelWidth, 0, std::max(0, width() - labelWidth), height());
}
