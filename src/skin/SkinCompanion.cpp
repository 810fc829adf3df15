#include "SkinCompanion.h"

#include "Skin.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

SkinCompanion::SkinCompanion(QObject *parent)
    : QObject(parent)
{
}

SkinCompanion::~SkinCompanion()
{
    stop();
}

bool SkinCompanion::attach(QObject *skinObject)
{
    m_skin = qobject_cast<Skin *>(skinObject);
    return !m_skin.isNull();
}

bool SkinCompanion::start()
{
    if (!m_skin || !qApp)
        return false;
    if (!m_started)
        qApp->installEventFilter(this);
    m_started = true;
    return true;
}

bool SkinCompanion::stop()
{
    if (m_started && qApp)
        qApp->removeEventFilter(this);
    m_started = false;
    return true;
}

bool SkinCompanion::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show && m_skin) {
        auto *widget = qobject_cast<QWidget *>(watched);
        if (widget && widget->isWindow() && !widget->property("skinned").toBool())
            m_skin->applyTo(widget);
    }
    return QObject::eventFilter(watched, event);
}
