#pragma once

#include <QLabel>

// A text label drawn in the skin's style: the skin's panel text on the
// window's surface.
class SkinLabel : public QLabel
{
    Q_OBJECT

public:
    explicit SkinLabel(QWidget *parent = nullptr);
    explicit SkinLabel(const QString &text, QWidget *parent = nullptr);
};
