#include "SkinLabel.h"

SkinLabel::SkinLabel(QWidget *parent)
    : SkinLabel(QString(), parent)
{
}

SkinLabel::SkinLabel(const QString &text, QWidget *parent)
    : QLabel(text, parent)
{
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // No background of its own: the label shows the window's surface.
    setAutoFillBackground(false);
    setForegroundRole(QPalette::WindowText);
}
