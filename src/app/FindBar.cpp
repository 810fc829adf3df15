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
    if (watched == txtFind && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        emit closeRequested();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void FindBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int labelWidth = Twips::toPixels(kLabelWidth);
    lblFind->setGeometry(0, 0, labelWidth, height());
    txtFind->setGeometry(labelWidth, 0, std::max(0, width() - labelWidth), height());
}
